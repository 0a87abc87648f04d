// The tray icon window against the recorded tray model: icon states across
// taskbar restarts, the animation on the manual clock, the default menu and
// command, and moving a window to and from the tray.
#include "tests/toolkit/ToolkitTestSupport.h"

#include "platform/base/Clock.h"
#include "platform/win/ShellTray.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/User.h"
#include "res/resource.h"
#include "toolkit/controls/XTTrayIconWnd.h"

#include <functional>
#include <string>
#include <vector>

using namespace tavrin;

namespace {

// What the taskbar was asked to show or remove.
struct RecordingTray : win::TrayView {
    bool available = true;
    std::vector<std::string> calls;
    bool IsAvailable() override { return available; }
    void Show(const win::TrayIcon& icon) override { calls.push_back(icon.hidden ? "show-hidden" : "show"); }
    void Remove(HWND, UINT) override { calls.push_back("remove"); }
};

class Owner : public CWnd {
public:
    std::vector<UINT> commands;
    std::vector<std::pair<WPARAM, LPARAM>> notifications;
    LRESULT answer = 0;
    UINT menuDefault = static_cast<UINT>(-2);

    BOOL Make()
    {
        return CreateEx(0, AfxRegisterWndClass(0), "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                        nullptr, nullptr);
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_TRAY_NOTIFY:
            notifications.emplace_back(wParam, lParam);
            return answer;
        case WM_COMMAND:
            commands.push_back(LOWORD(wParam));
            return 0;
        case WM_INITMENUPOPUP:
            menuDefault = GetMenuDefaultItem(reinterpret_cast<HMENU>(wParam), FALSE, 0);
            break;
        default:
            break;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Frames and timer open to the test.
class TrayIcon : public CXTTrayIconWnd {
public:
    HICON Frame(size_t i) const { return m_arTrayIcons[i].hIcon; }
    size_t FrameCount() const { return m_arTrayIcons.size(); }
    bool ReAdd() const { return m_bAddIcon; }
};

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

class TrayIconTest : public test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        win::ClearTrayIcons();
        win::SetTrayView(&tray);
        ASSERT_TRUE(owner.Make());
    }
    void TearDown() override
    {
        icon.reset();
        owner.DestroyWindow();
        win::SetTrayView(nullptr);
        win::ClearTrayIcons();
        win::SetTaskbarRect(ABE_BOTTOM, RECT{});
        Pump();
        ToolkitTest::TearDown();
    }
    void Make(UINT menu = IDR_TRAY_MENU, UINT item = ID_SHOW_MAIN_WINDOW, BOOL byPos = FALSE)
    {
        icon = std::make_unique<TrayIcon>();
        ASSERT_TRUE(icon->Create("Tavrin", &owner, IDR_MAINFRAME, menu, item, byPos));
    }
    // The icon as the taskbar holds it; hwnd null when it holds none.
    win::TrayIcon Held()
    {
        for (const win::TrayIcon& i : win::GetTrayIcons())
            if (i.hwnd == icon->GetSafeHwnd())
                return i;
        return {};
    }
    // A taskbar that restarts holds no icons until they are added again.
    void RestartTaskbar()
    {
        win::ClearTrayIcons();
        tray.calls.clear();
        win::TaskbarCreated();
        Pump();
    }

public:
    RecordingTray tray;
    Owner owner;
    std::unique_ptr<TrayIcon> icon;
    clock::ManualScope manual{1000000};
};

} // namespace

TEST_F(TrayIconTest, CreatingRecordsButShowingAdds)
{
    Make();
    EXPECT_TRUE(icon->IsHidden());
    EXPECT_TRUE(win::GetTrayIcons().empty());
    EXPECT_EQ(icon->GetTooltipText(), "Tavrin");
    // Changes while hidden stay in the record until the icon is shown.
    EXPECT_TRUE(icon->SetTooltipText("更新中"));
    EXPECT_TRUE(win::GetTrayIcons().empty());
    ASSERT_TRUE(icon->ShowIcon());
    win::TrayIcon held = Held();
    ASSERT_TRUE(held.hwnd);
    EXPECT_EQ(held.tip, "更新中");
    EXPECT_EQ(held.icon, icon->GetIcon());
    EXPECT_TRUE(held.icon);
    EXPECT_EQ(held.callbackMessage, static_cast<UINT>(WM_TRAY_NOTIFY));
    EXPECT_EQ(held.id, static_cast<UINT>(IDR_TRAY_MENU));
    // Hiding keeps the icon registered, marked hidden; showing un-hides it.
    EXPECT_TRUE(icon->HideIcon());
    EXPECT_TRUE(Held().hidden);
    EXPECT_TRUE(icon->ShowIcon());
    EXPECT_FALSE(Held().hidden);
    EXPECT_TRUE(icon->RemoveIcon());
    EXPECT_FALSE(Held().hwnd);
    EXPECT_TRUE(icon->IsRemoved());
}

TEST_F(TrayIconTest, LongTooltipsAreCutAtWholeCharacters)
{
    struct Case {
        std::string tip;
        std::string kept;
    } cases[] = {
        {std::string(200, 'x'), std::string(126, 'x')},
        // The GBK character at bytes 125 and 126 does not fit: it goes whole.
        {std::string(125, 'x') + "中文", std::string(125, 'x')},
        {std::string(124, 'x') + "中文", std::string(124, 'x') + "中"},
    };
    for (const Case& c : cases) {
        TrayIcon t;
        ASSERT_TRUE(t.Create(c.tip.c_str(), &owner, IDR_MAINFRAME, IDR_TRAY_MENU, 0, FALSE));
        EXPECT_EQ(std::string(t.GetTooltipText()), c.kept) << c.tip.size();
        ASSERT_TRUE(t.ShowIcon());
        // Later texts stop at the tooltip's limit the same way.
        const std::string longer = std::string(125, 'y') + "中";
        EXPECT_TRUE(t.SetTooltipText(longer.c_str()));
        EXPECT_EQ(std::string(t.GetTooltipText()), std::string(125, 'y'));
    }
}

TEST_F(TrayIconTest, StatesAcrossTaskbarRestartsAndWorkAreaChanges)
{
    struct Case {
        const char* name;
        std::function<void(TrayIconTest&)> before;
        std::vector<std::string> calls; // by the restart
        bool heldAfter;
        bool hiddenAfter;
    } cases[] = {
        {"shown", [](TrayIconTest& t) { ASSERT_TRUE(t.icon->ShowIcon()); }, {"show"}, true, false},
        {"hidden", [](TrayIconTest& t) {
             ASSERT_TRUE(t.icon->ShowIcon());
             ASSERT_TRUE(t.icon->HideIcon());
         }, {}, false, true},
        {"first add failed", [](TrayIconTest& t) {
             t.tray.available = false;
             ASSERT_FALSE(t.icon->ShowIcon());
             t.tray.available = true;
         }, {"show"}, true, false},
        {"removed", [](TrayIconTest& t) {
             ASSERT_TRUE(t.icon->ShowIcon());
             ASSERT_TRUE(t.icon->RemoveIcon());
         }, {}, false, true},
        {"failed, then hidden by the program", [](TrayIconTest& t) {
             t.tray.available = false;
             ASSERT_FALSE(t.icon->ShowIcon());
             t.tray.available = true;
             ASSERT_TRUE(t.icon->HideIcon());
         }, {}, false, true},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        Make();
        c.before(*this);
        RestartTaskbar();
        EXPECT_EQ(tray.calls, c.calls);
        EXPECT_EQ(Held().hwnd != nullptr, c.heldAfter);
        EXPECT_EQ(icon->IsHidden() != FALSE, c.hiddenAfter);
        // Whatever the state, the next ShowIcon puts the icon on the new taskbar.
        EXPECT_TRUE(icon->ShowIcon());
        EXPECT_TRUE(Held().hwnd);
        EXPECT_FALSE(Held().hidden);
        icon.reset();
        EXPECT_TRUE(win::GetTrayIcons().empty());
    }
}

TEST_F(TrayIconTest, AReAddedIconIsNotAddedAgainByAWorkAreaChange)
{
    Make();
    tray.available = false;
    ASSERT_FALSE(icon->ShowIcon());
    EXPECT_TRUE(icon->ReAdd());
    // The work area changes while there is still no taskbar: nothing changes.
    icon->SendMessage(WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_TRUE(icon->ReAdd());
    tray.available = true;
    RestartTaskbar();
    ASSERT_TRUE(Held().hwnd);
    EXPECT_FALSE(icon->ReAdd());
    tray.calls.clear();
    icon->SendMessage(WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_TRUE(tray.calls.empty());
    EXPECT_FALSE(icon->IsHidden());
    // So hiding still works.
    EXPECT_TRUE(icon->HideIcon());
    EXPECT_TRUE(Held().hidden);
}

TEST_F(TrayIconTest, AWorkAreaChangeAddsAnIconWhoseAddFailed)
{
    Make();
    tray.available = false;
    ASSERT_FALSE(icon->ShowIcon());
    tray.available = true;
    icon->SendMessage(WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_TRUE(Held().hwnd);
    EXPECT_FALSE(icon->IsHidden());
}

TEST_F(TrayIconTest, AnimationCyclesFramesAndStopRestores)
{
    Make();
    ASSERT_TRUE(icon->ShowIcon());
    const HICON normal = icon->GetIcon();
    const UINT ids[] = {IDR_MAINFRAME, IDR_MAINFRAME, IDR_MAINFRAME};
    const CString tips[] = {"甲", "乙", ""};
    ASSERT_TRUE(icon->SetAnimationIcons(ids, 3, tips));
    ASSERT_EQ(icon->FrameCount(), 3u);
    icon->StartAnimation(500);
    struct Step {
        size_t frame;
        const char* tip;
    } steps[] = {{0, "甲"}, {1, "乙"}, {2, "乙"}, {0, "甲"}};
    for (const Step& s : steps) {
        clock::Advance(500);
        Pump();
        EXPECT_EQ(Held().icon, icon->Frame(s.frame)) << s.frame;
        EXPECT_EQ(Held().tip, s.tip) << s.frame;
    }
    icon->StopAnimation();
    EXPECT_EQ(Held().tip, "Tavrin");
    EXPECT_TRUE(Held().icon);
    EXPECT_NE(Held().icon, icon->Frame(0));
    EXPECT_NE(Held().icon, normal); // loaded afresh
    clock::Advance(5000);
    Pump();
    EXPECT_EQ(Held().tip, "Tavrin");
}

TEST_F(TrayIconTest, AnimationFramesFailOnAMissingIcon)
{
    Make();
    const UINT ids[] = {IDR_MAINFRAME, 4711, IDR_MAINFRAME};
    EXPECT_FALSE(icon->SetAnimationIcons(ids, 3, nullptr));
    EXPECT_EQ(icon->FrameCount(), 1u);
    EXPECT_TRUE(icon->SetAnimationIcons(ids, 0, nullptr));
    EXPECT_EQ(icon->FrameCount(), 0u);
    // No frames: a tick does nothing.
    icon->StartAnimation(100);
    clock::Advance(100);
    Pump();
}

TEST_F(TrayIconTest, DoubleClickSendsTheDefaultCommand)
{
    struct Case {
        UINT item;
        BOOL byPos;
        std::vector<UINT> commands;
    } cases[] = {
        {ID_SHOW_MAIN_WINDOW, FALSE, {ID_SHOW_MAIN_WINDOW}},
        {2, TRUE, {ID_ADD_ACCOUNT}}, // the third item
        {1, TRUE, {}},               // a separator names no command
        {3, TRUE, {}},               // nor does a submenu
    };
    for (const Case& c : cases) {
        Make(IDR_TRAY_MENU, c.item, c.byPos);
        ASSERT_TRUE(icon->ShowIcon());
        owner.commands.clear();
        owner.notifications.clear();
        ASSERT_TRUE(win::NotifyTrayIcon(icon->GetSafeHwnd(), IDR_TRAY_MENU, WM_LBUTTONDBLCLK));
        Pump();
        EXPECT_EQ(owner.commands, c.commands) << c.item;
        ASSERT_EQ(owner.notifications.size(), 1u);
        EXPECT_EQ(owner.notifications[0].first, static_cast<WPARAM>(IDR_TRAY_MENU));
        EXPECT_EQ(owner.notifications[0].second, static_cast<LPARAM>(WM_LBUTTONDBLCLK));
    }
}

TEST_F(TrayIconTest, NotificationsTheOwnerHandlesOrOfOtherIconsStopThere)
{
    Make();
    owner.answer = 1;
    EXPECT_EQ(icon->OnTrayNotification(IDR_TRAY_MENU, WM_LBUTTONDBLCLK), 1);
    EXPECT_TRUE(owner.commands.empty());
    owner.answer = 0;
    EXPECT_EQ(icon->OnTrayNotification(IDR_TRAY_MENU + 1, WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(owner.notifications.size(), 1u);
    EXPECT_EQ(icon->OnTrayNotification(IDR_TRAY_MENU, WM_MOUSEMOVE), 1);
}

TEST_F(TrayIconTest, RightClickShowsTheMenuWithItsDefaultAndFocusesTheIcon)
{
    Make(IDR_TRAY_MENU, ID_SHOW_MAIN_WINDOW, FALSE);
    ASSERT_TRUE(icon->ShowIcon());
    EXPECT_FALSE(Held().focused);
    // Down twice and Enter choose the third item; the menu runs its own loop.
    for (UINT key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
        win::InjectKey(key, true);
        win::InjectKey(key, false);
    }
    EXPECT_EQ(icon->OnTrayNotification(IDR_TRAY_MENU, WM_RBUTTONUP), 1);
    Pump();
    EXPECT_EQ(owner.menuDefault, static_cast<UINT>(ID_SHOW_MAIN_WINDOW));
    EXPECT_EQ(owner.commands, std::vector<UINT>{ID_ADD_ACCOUNT});
    EXPECT_TRUE(Held().focused);
    // Without its menu the icon shows none.
    Make(4711, 0, FALSE);
    EXPECT_EQ(icon->OnTrayNotification(4711, WM_CONTEXTMENU), 0);
}

TEST_F(TrayIconTest, MinimizeToTrayAndBackWithAndWithoutAnimation)
{
    Make();
    for (UINT animate : {0u, 1u}) {
        SCOPED_TRACE(animate);
        ANIMATIONINFO info{sizeof(ANIMATIONINFO), static_cast<int>(animate)};
        SystemParametersInfoA(SPI_SETANIMATION, sizeof info, &info, 0);
        HWND frame = owner.GetSafeHwnd();
        icon->MinimizeToTray(frame);
        EXPECT_FALSE(IsWindowVisible(frame));
        EXPECT_NE(GetAncestor(frame, GA_PARENT), GetDesktopWindow()); // parked off the taskbar
        icon->RestoreFromTray(frame);
        EXPECT_TRUE(IsWindowVisible(frame));
        EXPECT_EQ(GetAncestor(frame, GA_PARENT), GetDesktopWindow());
        EXPECT_EQ(GetActiveWindow(), frame);
    }
}

TEST_F(TrayIconTest, NotificationAreaByTaskbarEdge)
{
    struct Case {
        UINT edge;
        RECT bar;
        RECT expected;
    } cases[] = {
        {ABE_BOTTOM, {0, 738, 1024, 768}, {924, 738, 1008, 768}},
        {ABE_TOP, {0, 0, 1024, 30}, {924, 0, 1008, 30}},
        {ABE_LEFT, {0, 0, 60, 768}, {0, 668, 60, 752}},
        {ABE_RIGHT, {964, 0, 1024, 768}, {964, 668, 1024, 752}},
    };
    for (const Case& c : cases) {
        win::SetTaskbarRect(c.edge, c.bar);
        CRect r;
        ASSERT_TRUE(CXTTrayIconWnd::GetTrayWindowRect(r));
        EXPECT_EQ(r, CRect(c.expected)) << c.edge;
    }
    // No panel: the corner of the work area.
    win::SetTaskbarRect(ABE_BOTTOM, RECT{});
    win::SetWorkArea(RECT{0, 0, 800, 570});
    CRect r;
    ASSERT_TRUE(CXTTrayIconWnd::GetTrayWindowRect(r));
    EXPECT_EQ(r, CRect(650, 540, 800, 570));
}
