#include "WindowLog.h"

#include "platform/base/Clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using tavrin::test::Pump;
using tavrin::test::Step;
using tavrin::test::WindowLog;
using tavrin::win::InjectClick;
using tavrin::win::InjectKey;
using tavrin::win::InjectMouseButton;
using tavrin::win::InjectMouseMove;
using tavrin::win::MouseButton;

namespace {

RECT Rect(int l, int t, int r, int b)
{
    return RECT{l, t, r, b};
}

} // namespace

TEST(MouseInput, AClickIsHitTestedAndArrivesInClientCoordinates)
{
    WindowLog log;
    HWND frame = log.Create("frame", WS_POPUP | WS_VISIBLE, Rect(100, 100, 400, 400));
    HWND child = log.Create("child", WS_CHILD | WS_VISIBLE | WS_BORDER, Rect(50, 50, 150, 150), frame);
    log.Clear();
    InjectMouseMove(160, 170);
    InjectMouseButton(MouseButton::Left, true);
    Pump();
    // The deepest window is asked for its part; the child's default cursor
    // handling asks its parent before it decides.
    std::vector<Step> expected = {{"child", WM_NCHITTEST}, {"child", WM_SETCURSOR}, {"frame", WM_SETCURSOR},
                                  {"child", WM_MOUSEMOVE}, {"child", WM_NCHITTEST}, {"child", WM_SETCURSOR},
                                  {"frame", WM_SETCURSOR}, {"child", WM_LBUTTONDOWN}};
    EXPECT_EQ(log.Steps({WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEMOVE, WM_LBUTTONDOWN}), expected);
    auto down = log.Of(WM_LBUTTONDOWN);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(down[0].lParam), 160 - 150 - 1);
    EXPECT_EQ(GET_Y_LPARAM(down[0].lParam), 170 - 150 - 1);
    EXPECT_EQ(down[0].wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_NE(GetKeyState(VK_LBUTTON) & 0x8000, 0);
    EXPECT_NE(GetAsyncKeyState(VK_LBUTTON) & 0x8000, 0);
    // The border is non-client: a press there is WM_NCLBUTTONDOWN with the hit code.
    InjectMouseButton(MouseButton::Left, false);
    log.Clear();
    InjectMouseMove(150, 160);
    InjectMouseButton(MouseButton::Left, true);
    InjectMouseButton(MouseButton::Left, false);
    Pump();
    auto nc = log.Of(WM_NCLBUTTONDOWN);
    ASSERT_EQ(nc.size(), 1u);
    EXPECT_EQ(nc[0].hwnd, child);
    EXPECT_EQ(nc[0].wParam, static_cast<WPARAM>(HTBORDER));
    EXPECT_EQ(GET_X_LPARAM(nc[0].lParam), 150);
    DestroyWindow(frame);
}

TEST(MouseInput, CursorShapesComeFromWmSetCursor)
{
    WindowLog log;
    HWND frame = log.Create("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(0, 0, 300, 300));
    InjectMouseMove(150, 150);
    Pump();
    EXPECT_EQ(tavrin::win::SystemCursorId(GetCursor()), 32512u); // the class cursor: an arrow
    InjectMouseMove(299, 150);                                   // the right sizing border
    Pump();
    EXPECT_EQ(tavrin::win::SystemCursorId(GetCursor()), 32644u);
    // A parent may decide for its child.
    log.m_handler = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT* result) {
        if (hwnd == frame && message == WM_SETCURSOR) {
            SetCursor(LoadCursorA(nullptr, IDC_HAND));
            *result = TRUE;
            return true;
        }
        return false;
    };
    InjectMouseMove(150, 150);
    Pump();
    EXPECT_EQ(tavrin::win::SystemCursorId(GetCursor()), 32649u);
    DestroyWindow(frame);
}

TEST(MouseInput, DoubleClicksOnlyForClassesThatAskWithinTimeAndDistance)
{
    tavrin::clock::ManualScope clock(1000000);
    WindowLog log;
    HWND plain = log.Create("plain", WS_POPUP | WS_VISIBLE, Rect(0, 0, 100, 100));
    HWND dbl = log.Create("dbl", WS_POPUP | WS_VISIBLE, Rect(200, 0, 300, 100), nullptr, 0, 0, true);
    struct Case {
        HWND target;
        int x2;
        int wait;
        UINT second;
    };
    const Case cases[] = {
        {plain, 50, 100, WM_LBUTTONDOWN},    // the class does not ask
        {dbl, 250, 100, WM_LBUTTONDBLCLK},   // within time and place
        {dbl, 250, 600, WM_LBUTTONDOWN},     // too slow
        {dbl, 260, 100, WM_LBUTTONDOWN},     // too far
    };
    for (const Case& c : cases) {
        RECT r;
        GetWindowRect(c.target, &r);
        const int x1 = r.left + 50;
        InjectClick(x1, 50);
        Pump();
        tavrin::clock::Advance(c.wait);
        log.Clear();
        InjectClick(c.x2, 50);
        Pump();
        auto steps = log.Steps({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK});
        ASSERT_EQ(steps.size(), 1u);
        EXPECT_EQ(steps[0].message, c.second) << c.x2 << "/" << c.wait;
        tavrin::clock::Advance(1000); // the next case starts afresh
    }
    // A third click after a double click is a plain press again.
    InjectClick(250, 50);
    InjectClick(250, 50);
    Pump();
    log.Clear();
    InjectClick(250, 50);
    Pump();
    EXPECT_EQ(log.Of(WM_LBUTTONDOWN).size(), 1u);
    DestroyWindow(plain);
    DestroyWindow(dbl);
}

TEST(MouseInput, ALookWithoutRemovingDoesNotMakeADoubleClick)
{
    // Message loops look at the queue (PM_NOREMOVE) before they take the
    // message; the look must not count as the first click of a pair.
    tavrin::clock::ManualScope clock(1000000);
    WindowLog log;
    HWND dbl = log.Create("dbl", WS_POPUP | WS_VISIBLE, Rect(0, 0, 100, 100), nullptr, 0, 0, true);
    InjectClick(50, 50);
    MSG msg{};
    std::vector<UINT> seen;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        seen.push_back(msg.message);
        DispatchMessageA(&msg);
    }
    EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_LBUTTONDOWN)), seen.end());
    EXPECT_EQ(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_LBUTTONDBLCLK)), seen.end());
    DestroyWindow(dbl);
}

TEST(MouseInput, HitTestingSkipsTransparentWindowsAndHonoursRegions)
{
    WindowLog log;
    HWND below = log.Create("below", WS_POPUP | WS_VISIBLE, Rect(0, 0, 200, 200));
    HWND shadow = log.Create("shadow", WS_POPUP | WS_VISIBLE, Rect(50, 50, 100, 100), nullptr, WS_EX_TOPMOST);
    HWND shaped = log.Create("shaped", WS_POPUP | WS_VISIBLE, Rect(100, 100, 200, 200), nullptr, WS_EX_TOPMOST);
    log.m_handler = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT* result) {
        if (hwnd == shadow && message == WM_NCHITTEST) {
            *result = HTTRANSPARENT;
            return true;
        }
        return false;
    };
    // The shaped window is only its top-left quarter.
    SetWindowRgn(shaped, CreateRectRgn(0, 0, 50, 50), FALSE);
    struct Case {
        POINT pt;
        HWND expected;
    };
    const Case cases[] = {{{60, 60}, below}, {{120, 120}, shaped}, {{170, 170}, below}, {{10, 10}, below}};
    for (const Case& c : cases) {
        EXPECT_EQ(WindowFromPoint(c.pt), c.expected) << c.pt.x << "," << c.pt.y;
        log.Clear();
        InjectClick(c.pt.x, c.pt.y);
        Pump();
        auto down = log.Of(WM_LBUTTONDOWN);
        ASSERT_EQ(down.size(), 1u);
        EXPECT_EQ(down[0].hwnd, c.expected) << c.pt.x << "," << c.pt.y;
    }
    EXPECT_EQ(WindowFromPoint(POINT{900, 900}), GetDesktopWindow());
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(shaped, copy), SIMPLEREGION);
    EXPECT_EQ(GetWindowRgn(below, copy), ERROR);
    DeleteObject(copy);

    // ChildWindowFromPointEx with its skip flags.
    HWND hidden = log.Create("hidden", WS_CHILD, Rect(0, 0, 50, 50), below);
    HWND disabled = log.Create("disabled", WS_CHILD | WS_VISIBLE | WS_DISABLED, Rect(0, 0, 50, 50), below);
    EXPECT_EQ(ChildWindowFromPoint(below, POINT{10, 10}), hidden);
    EXPECT_EQ(ChildWindowFromPointEx(below, POINT{10, 10}, CWP_SKIPINVISIBLE), disabled);
    EXPECT_EQ(ChildWindowFromPointEx(below, POINT{10, 10}, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED), below);
    EXPECT_EQ(ChildWindowFromPoint(below, POINT{-1, 10}), nullptr);
    // A disabled child passes clicks to its parent.
    log.Clear();
    InjectClick(10, 10);
    Pump();
    ASSERT_EQ(log.Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(log.Of(WM_LBUTTONDOWN)[0].hwnd, below);
    for (HWND h : {below, shadow, shaped})
        DestroyWindow(h);
}

TEST(MouseInput, SetCursorPosMakesAMouseMove)
{
    WindowLog log;
    HWND frame = log.Create("frame", WS_POPUP | WS_VISIBLE, Rect(0, 0, 100, 100));
    log.Clear();
    SetCursorPos(30, 40);
    POINT pt;
    GetCursorPos(&pt);
    EXPECT_EQ(pt.x, 30);
    Pump();
    auto moves = log.Of(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), 40);
    // Moves in a row collapse into the last.
    log.Clear();
    InjectMouseMove(1, 1);
    InjectMouseMove(2, 2);
    InjectMouseMove(3, 3);
    Pump();
    ASSERT_EQ(log.Of(WM_MOUSEMOVE).size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(log.Of(WM_MOUSEMOVE)[0].lParam), 3);
    DestroyWindow(frame);
}

TEST(MouseTracking, LeaveAndHoverOnTheManualClock)
{
    tavrin::clock::ManualScope clock(1000000);
    WindowLog log;
    HWND a = log.Create("a", WS_POPUP | WS_VISIBLE, Rect(0, 0, 100, 100));
    HWND b = log.Create("b", WS_POPUP | WS_VISIBLE, Rect(200, 0, 300, 100));
    InjectMouseMove(50, 50);
    Pump();
    TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_HOVER | TME_LEAVE, a, HOVER_DEFAULT};
    ASSERT_TRUE(TrackMouseEvent(&tme));
    TRACKMOUSEEVENT query{sizeof(TRACKMOUSEEVENT), TME_QUERY, nullptr, 0};
    TrackMouseEvent(&query);
    EXPECT_EQ(query.hwndTrack, a);
    EXPECT_EQ(query.dwHoverTime, 400u);
    log.Clear();
    tavrin::clock::Advance(399);
    Pump();
    EXPECT_TRUE(log.Of(WM_MOUSEHOVER).empty());
    // A small move stays in the hover rectangle; a larger one starts the time again.
    InjectMouseMove(51, 51);
    Pump();
    tavrin::clock::Advance(1);
    Pump();
    ASSERT_EQ(log.Of(WM_MOUSEHOVER).size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(log.Of(WM_MOUSEHOVER)[0].lParam), 51);
    tavrin::clock::Advance(1000);
    Pump();
    EXPECT_EQ(log.Of(WM_MOUSEHOVER).size(), 1u); // once per request

    // GetMessage waits for the hover time, not for ever.
    TRACKMOUSEEVENT again{sizeof(TRACKMOUSEEVENT), TME_HOVER, a, 100};
    TrackMouseEvent(&again);
    InjectMouseMove(70, 70);
    Pump();
    tavrin::clock::Advance(100);
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_MOUSEHOVER));

    // Leaving for another window posts WM_MOUSELEAVE once.
    log.Clear();
    InjectMouseMove(250, 50);
    Pump();
    InjectMouseMove(50, 50);
    InjectMouseMove(250, 50);
    Pump();
    ASSERT_EQ(log.Of(WM_MOUSELEAVE).size(), 1u);
    EXPECT_EQ(log.Of(WM_MOUSELEAVE)[0].hwnd, a);

    // Asking while the cursor is elsewhere answers at once.
    log.Clear();
    TRACKMOUSEEVENT away{sizeof(TRACKMOUSEEVENT), TME_LEAVE, a, 0};
    TrackMouseEvent(&away);
    Pump();
    EXPECT_EQ(log.Of(WM_MOUSELEAVE).size(), 1u);
    // Leaving to the desktop counts too.
    TRACKMOUSEEVENT onB{sizeof(TRACKMOUSEEVENT), TME_LEAVE, b, 0};
    TrackMouseEvent(&onB);
    log.Clear();
    InjectMouseMove(900, 900);
    Pump();
    EXPECT_EQ(log.Of(WM_MOUSELEAVE).size(), 1u);
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST(Keyboard, MessagesCarryTheirLParamBits)
{
    WindowLog log;
    HWND frame = log.Create("frame", WS_POPUP | WS_VISIBLE, Rect(0, 0, 100, 100));
    SetFocus(frame);
    struct Case {
        std::vector<std::pair<UINT, bool>> keys;
        std::vector<std::pair<UINT, DWORD>> expected; // message, lParam
    };
    const Case cases[] = {
        {{{'A', true}, {'A', false}}, {{WM_KEYDOWN, 0x001E0001}, {WM_KEYUP, 0xC01E0001}}},
        {{{'A', true}, {'A', true}, {'A', false}},
         {{WM_KEYDOWN, 0x001E0001}, {WM_KEYDOWN, 0x401E0001}, {WM_KEYUP, 0xC01E0001}}},
        {{{VK_MENU, true}, {'X', true}, {'X', false}, {VK_MENU, false}},
         {{WM_SYSKEYDOWN, 0x20380001}, {WM_SYSKEYDOWN, 0x202D0001}, {WM_SYSKEYUP, 0xE02D0001},
          {WM_SYSKEYUP, 0xE0380001}}},
        {{{VK_LEFT, true}, {VK_LEFT, false}}, {{WM_KEYDOWN, 0x014B0001}, {WM_KEYUP, 0xC14B0001}}},
        {{{VK_F10, true}, {VK_F10, false}}, {{WM_SYSKEYDOWN, 0x00440001}, {WM_SYSKEYUP, 0xC0440001}}},
    };
    for (const Case& c : cases) {
        log.Clear();
        for (auto [key, down] : c.keys)
            InjectKey(key, down);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg); // no TranslateMessage: only key messages
        std::vector<std::pair<UINT, DWORD>> got;
        for (const auto& e : log.Entries())
            if (e.message >= WM_KEYFIRST && e.message <= WM_KEYLAST)
                got.emplace_back(e.message, static_cast<DWORD>(e.lParam));
        EXPECT_EQ(got, c.expected);
    }
    DestroyWindow(frame);
}

TEST(Keyboard, TranslateMessageUsesTheShiftStateAndKeysGoToTheFocus)
{
    WindowLog log;
    HWND frame = log.Create("frame", WS_POPUP | WS_VISIBLE, Rect(0, 0, 100, 100));
    HWND edit = log.Create("edit", WS_CHILD | WS_VISIBLE, Rect(0, 0, 50, 20), frame);
    SetFocus(edit);
    log.Clear();
    InjectKey('H', true);
    InjectKey('H', false);
    InjectKey(VK_SHIFT, true);
    InjectKey('I', true);
    InjectKey('I', false);
    InjectKey('1', true);
    InjectKey(VK_SHIFT, false);
    InjectKey(VK_CONTROL, true);
    InjectKey('C', true);
    InjectKey(VK_CONTROL, false);
    tavrin::win::InjectText("\xc4\xe3"); // one GBK character: two bytes
    Pump();
    std::string typed;
    for (const auto& e : log.Of(WM_CHAR)) {
        EXPECT_EQ(e.hwnd, edit);
        typed += static_cast<char>(e.wParam);
    }
    EXPECT_EQ(typed, std::string("hI!\x03\xc4\xe3"));
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
    EXPECT_NE(GetKeyState('1') & 0x8000, 0);
    // Without a focus window keys go to the active window as system keys.
    SetFocus(nullptr);
    log.Clear();
    InjectKey('Q', true);
    Pump();
    ASSERT_EQ(log.Of(WM_SYSKEYDOWN).size(), 1u);
    EXPECT_EQ(log.Of(WM_SYSKEYDOWN)[0].hwnd, frame);
    DestroyWindow(frame);
}

TEST(Keyboard, KeyNamesAndMappings)
{
    char name[32];
    EXPECT_GT(GetKeyNameTextA(static_cast<LONG>(MapVirtualKeyA(VK_CONTROL, 0) << 16 | 1), name, sizeof name), 0);
    EXPECT_STREQ(name, "Ctrl");
    GetKeyNameTextA(static_cast<LONG>(MapVirtualKeyA('N', 0) << 16 | 1), name, sizeof name);
    EXPECT_STREQ(name, "N");
    GetKeyNameTextA(static_cast<LONG>(MapVirtualKeyA(VK_F5, 0) << 16 | 1), name, sizeof name);
    EXPECT_STREQ(name, "F5");
    GetKeyNameTextA(static_cast<LONG>((MapVirtualKeyA(VK_DELETE, 0) << 16) | (1 << 24) | 1), name, sizeof name);
    EXPECT_STREQ(name, "Delete");
    EXPECT_EQ(MapVirtualKeyA('A', 2), static_cast<UINT>('A'));
    EXPECT_EQ(MapVirtualKeyA(VK_OEM_2, 2), static_cast<UINT>('/'));
    EXPECT_EQ(MapVirtualKeyA(VK_SHIFT, 2), 0u);
    EXPECT_EQ(MapVirtualKeyA(0x1E, 1), static_cast<UINT>('A'));
    EXPECT_EQ(VkKeyScanA('a'), 'A');
    EXPECT_EQ(VkKeyScanA('A'), 0x100 | 'A');
    EXPECT_EQ(VkKeyScanA('?'), 0x100 | VK_OEM_2);
}
