// The popup menu's modal loop driven by injected mouse and keys: each stage
// of a script runs inside the loop once the input before it was handled.
#include "platform/base/Clock.h"
#include "platform/win/User.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace tavrin;
using win::InjectClick;
using win::InjectKey;
using win::InjectMouseMove;

namespace {

constexpr UINT_PTR kStageTimer = 77;

std::vector<std::function<void()>> g_stages;
size_t g_next = 0;
std::vector<MSG> g_seen;

void RunNextStage(HWND owner)
{
    if (g_next >= g_stages.size())
        return;
    auto stage = g_stages[g_next++];
    stage();
    // Timers come after input: the next stage runs once this one's input is handled.
    if (g_next < g_stages.size()) {
        SetTimer(owner, kStageTimer, 10, nullptr);
        clock::Advance(10);
    }
}

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_APP:
        RunNextStage(hwnd);
        return 0;
    case WM_TIMER:
        if (wParam == kStageTimer) {
            KillTimer(hwnd, kStageTimer);
            RunNextStage(hwnd);
            return 0;
        }
        break;
    case WM_INITMENUPOPUP:
    case WM_MENUSELECT:
    case WM_COMMAND:
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
        g_seen.push_back(MSG{hwnd, message, wParam, lParam, 0, {0, 0}});
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Keys(std::initializer_list<UINT> keys)
{
    for (UINT k : keys) {
        InjectKey(k, true);
        InjectKey(k, false);
    }
}

POINT Centre(HWND owner, HMENU menu, UINT index)
{
    RECT r{};
    EXPECT_TRUE(GetMenuItemRect(owner, menu, index, &r)) << "item " << index;
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class PopupMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        win::SetWorkArea(RECT{0, 0, 800, 560});
        WNDCLASSA wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.lpszClassName = "TavrinMenuOwner";
        RegisterClassA(&wc);
        m_owner = CreateWindowExA(0, "TavrinMenuOwner", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(m_owner);
        SetFocus(m_owner);
        m_root = LoadMenuA(nullptr, MAKEINTRESOURCEA(157));
        m_tray = GetSubMenu(m_root, 0);
        ASSERT_TRUE(m_tray);
        g_seen.clear();
        g_stages.clear();
        g_next = 0;
    }
    void TearDown() override
    {
        DestroyMenu(m_root);
        DestroyWindow(m_owner);
        win::ResetSystemProfile();
        g_stages.clear();
    }
    BOOL Track(UINT flags, std::vector<std::function<void()>> stages, int x = 200, int y = 150)
    {
        g_stages = std::move(stages);
        g_next = 0;
        g_seen.clear();
        PostMessageA(m_owner, WM_APP, 0, 0);
        return TrackPopupMenu(m_tray, flags, x, y, 0, m_owner, nullptr);
    }
    std::vector<MSG> Seen(UINT message)
    {
        std::vector<MSG> out;
        for (const MSG& m : g_seen)
            if (m.message == message)
                out.push_back(m);
        return out;
    }
    void Drain()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

    clock::ManualScope m_clock{1000000};
    HWND m_owner = nullptr;
    HMENU m_root = nullptr;
    HMENU m_tray = nullptr;
};

} // namespace

TEST_F(PopupMenuTest, KeysChooseAndReturnTheCommand)
{
    const struct {
        const char* what;
        std::vector<UINT> keys;
        UINT command;
    } cases[] = {
        {"down, down, enter (the separator is skipped)", {VK_DOWN, VK_DOWN, VK_RETURN}, 32773},
        {"up wraps to the end", {VK_UP, VK_RETURN}, 57665},
        {"a mnemonic", {'O'}, 32771},
        {"a mnemonic opens its submenu", {'G', 'P'}, 32868},
        {"right opens, left closes", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_LEFT, VK_DOWN, VK_RETURN}, 32771},
        {"escape closes the submenu first", {'G', VK_ESCAPE, VK_DOWN, VK_RETURN}, 32771},
        {"escape", {VK_ESCAPE}, 0},
        {"alt ends the menu", {VK_MENU}, 0},
    };
    for (const auto& c : cases) {
        const std::vector<UINT> keys = c.keys;
        const BOOL got = Track(TPM_RETURNCMD, {[keys] {
                                   for (UINT k : keys)
                                       Keys({k});
                               }});
        EXPECT_EQ(static_cast<UINT>(got), c.command) << c.what;
        Drain();
        EXPECT_TRUE(Seen(WM_COMMAND).empty()) << "TPM_RETURNCMD posts nothing: " << c.what;
        EXPECT_FALSE(FindWindowA(POPUPMENU_CLASS, nullptr)) << "the popups are gone: " << c.what;
    }
}

TEST_F(PopupMenuTest, NotificationsAndThePostedCommand)
{
    SetMenuDefaultItem(m_tray, 32865, FALSE);
    const BOOL result = Track(0, {[] { Keys({'G'}); }, [] { Keys({'M'}); }, [] {}});
    EXPECT_TRUE(result);
    EXPECT_TRUE(Seen(WM_COMMAND).empty()) << "posted, not yet dispatched";
    auto init = Seen(WM_INITMENUPOPUP);
    ASSERT_EQ(init.size(), 2u);
    EXPECT_EQ(init[0].wParam, reinterpret_cast<WPARAM>(m_tray));
    EXPECT_EQ(init[1].wParam, reinterpret_cast<WPARAM>(GetSubMenu(m_tray, 3)));
    EXPECT_EQ(LOWORD(init[1].lParam), 3) << "its position in the parent";
    auto select = Seen(WM_MENUSELECT);
    ASSERT_GE(select.size(), 2u);
    EXPECT_EQ(LOWORD(select[0].wParam), 3) << "a submenu item is named by position";
    EXPECT_TRUE(HIWORD(select[0].wParam) & MF_POPUP);
    EXPECT_EQ(select.back().wParam, MAKEWPARAM(0, 0xFFFF)) << "the menu closed";
    EXPECT_EQ(select.back().lParam, 0);
    EXPECT_EQ(Seen(WM_ENTERMENULOOP).size(), 1u);
    EXPECT_EQ(Seen(WM_EXITMENULOOP).size(), 1u);
    Drain();
    auto command = Seen(WM_COMMAND);
    ASSERT_EQ(command.size(), 1u);
    EXPECT_EQ(command[0].wParam, MAKEWPARAM(32867, 0));

    // TPM_NONOTIFY: no notifications, the command still comes.
    Track(TPM_NONOTIFY, {[] { Keys({'O'}); }});
    EXPECT_TRUE(Seen(WM_INITMENUPOPUP).empty());
    EXPECT_TRUE(Seen(WM_MENUSELECT).empty());
    Drain();
    ASSERT_EQ(Seen(WM_COMMAND).size(), 1u);
}

TEST_F(PopupMenuTest, MouseChoosesAndClicksOutsideDismiss)
{
    HWND owner = m_owner;
    HMENU tray = m_tray;
    // A click on an item chooses it.
    EXPECT_EQ(static_cast<UINT>(Track(TPM_RETURNCMD, {[=] {
                  POINT p = Centre(owner, tray, 2);
                  InjectClick(p.x, p.y);
              }})),
              32773u);
    auto select = Seen(WM_MENUSELECT);
    ASSERT_FALSE(select.empty());
    EXPECT_EQ(LOWORD(select[0].wParam), 32773);
    EXPECT_TRUE(HIWORD(select[0].wParam) & MF_MOUSESELECT);
    // Hovering opens a submenu; its item is clicked.
    EXPECT_EQ(static_cast<UINT>(Track(TPM_RETURNCMD, {[=] {
                                          POINT p = Centre(owner, tray, 3);
                                          InjectMouseMove(p.x, p.y);
                                      },
                                      [=] {
                                          POINT p = Centre(owner, GetSubMenu(tray, 3), 5);
                                          InjectClick(p.x, p.y);
                                      }})),
              32870u);
    // A click outside the menu, or on a separator then outside, chooses nothing.
    EXPECT_EQ(Track(TPM_RETURNCMD, {[] { InjectClick(5, 5); }}), 0);
    EXPECT_EQ(Track(TPM_RETURNCMD, {[=] {
                                        POINT p = Centre(owner, tray, 1);
                                        InjectClick(p.x, p.y);
                                    },
                                    [] { InjectClick(790, 550); }}),
              0);
    // A grey item cannot be chosen.
    EnableMenuItem(tray, 32773, MF_GRAYED);
    EXPECT_EQ(Track(TPM_RETURNCMD, {[=] {
                                        POINT p = Centre(owner, tray, 2);
                                        InjectClick(p.x, p.y);
                                    },
                                    [] { Keys({VK_ESCAPE}); }}),
              0);
}

TEST_F(PopupMenuTest, RightButtonOnlyWithItsFlag)
{
    HWND owner = m_owner;
    HMENU tray = m_tray;
    auto rightClick = [=] {
        POINT p = Centre(owner, tray, 0);
        InjectClick(p.x, p.y, win::MouseButton::Right);
    };
    EXPECT_EQ(Track(TPM_RETURNCMD | TPM_RIGHTBUTTON, {rightClick}), 32865);
    EXPECT_EQ(Track(TPM_RETURNCMD, {rightClick, [] { Keys({VK_ESCAPE}); }}), 0);
}

TEST_F(PopupMenuTest, KeptOnTheWorkArea)
{
    const RECT work{0, 0, 800, 560};
    const struct {
        int x, y;
        UINT flags;
    } cases[] = {{795, 555, 0}, {0, 0, TPM_RIGHTALIGN | TPM_BOTTOMALIGN}, {400, 300, TPM_CENTERALIGN | TPM_VCENTERALIGN},
                 {-50, 900, 0}};
    for (const auto& c : cases) {
        RECT shown{};
        Track(TPM_RETURNCMD | c.flags, {[&] {
                  GetWindowRect(FindWindowA(POPUPMENU_CLASS, nullptr), &shown);
                  Keys({VK_ESCAPE});
              }},
              c.x, c.y);
        EXPECT_GE(shown.left, work.left) << c.x << "," << c.y;
        EXPECT_GE(shown.top, work.top) << c.x << "," << c.y;
        EXPECT_LE(shown.right, work.right) << c.x << "," << c.y;
        EXPECT_LE(shown.bottom, work.bottom) << c.x << "," << c.y;
        EXPECT_GT(shown.right - shown.left, 60);
    }
    // Near the bottom right corner it flips to end at the point.
    RECT shown{};
    Track(TPM_RETURNCMD, {[&] {
              GetWindowRect(FindWindowA(POPUPMENU_CLASS, nullptr), &shown);
              Keys({VK_ESCAPE});
          }},
          700, 500);
    EXPECT_EQ(shown.right, 700);
    EXPECT_EQ(shown.bottom, 500);
    // A submenu that would leave the screen opens on the other side.
    RECT parent{}, child{};
    HWND owner = m_owner;
    HMENU tray = m_tray;
    Track(TPM_RETURNCMD, {[] { Keys({'G'}); },
                          [&] {
                              RECT item{};
                              GetMenuItemRect(owner, tray, 3, &item);
                              GetMenuItemRect(owner, GetSubMenu(tray, 3), 0, &child);
                              parent = item;
                              Keys({VK_ESCAPE, VK_ESCAPE});
                          }},
          790, 10);
    EXPECT_LT(child.right, parent.left + 10) << "the submenu went left of its parent";
}

TEST_F(PopupMenuTest, QuitEndsTheLoopAndIsPostedAgain)
{
    EXPECT_EQ(Track(TPM_RETURNCMD, {[] { PostQuitMessage(7); }}), 0);
    EXPECT_FALSE(FindWindowA(POPUPMENU_CLASS, nullptr));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(PopupMenuTest, RefusedCalls)
{
    EXPECT_FALSE(TrackPopupMenu(m_tray, 0, 0, 0, 0, nullptr, nullptr));
    EXPECT_FALSE(TrackPopupMenu(reinterpret_cast<HMENU>(3), 0, 0, 0, 0, m_owner, nullptr));
    // Inside a menu, a second one waits for TPM_RECURSE; EndMenu ends the first.
    BOOL nested = TRUE;
    HWND owner = m_owner;
    HMENU tray = m_tray;
    Track(TPM_RETURNCMD, {[&] {
              nested = TrackPopupMenu(tray, TPM_RETURNCMD, 0, 0, 0, owner, nullptr);
              EndMenu();
          }});
    EXPECT_FALSE(nested);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_POPUP_ALREADY_ACTIVE));
    EXPECT_FALSE(EndMenu());
}

TEST_F(PopupMenuTest, ExclusionRectangleStaysClear)
{
    TPMPARAMS params{sizeof(TPMPARAMS), RECT{190, 140, 260, 180}};
    RECT shown{};
    g_stages = {[&] {
        GetWindowRect(FindWindowA(POPUPMENU_CLASS, nullptr), &shown);
        Keys({VK_ESCAPE});
    }};
    g_next = 0;
    PostMessageA(m_owner, WM_APP, 0, 0);
    EXPECT_TRUE(TrackPopupMenuEx(m_tray, TPM_VERTICAL, 200, 150, m_owner, &params));
    RECT overlap;
    EXPECT_FALSE(IntersectRect(&overlap, &shown, &params.rcExclude));
    EXPECT_EQ(shown.top, 180) << "below the rectangle";
}
