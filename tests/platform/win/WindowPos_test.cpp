#include "WindowLog.h"

#include <gtest/gtest.h>
#include <thread>

using tavrin::test::Step;
using tavrin::test::WindowLog;

namespace {

const std::set<UINT> kLifecycle = {WM_GETMINMAXINFO, WM_NCCREATE,   WM_NCCALCSIZE,      WM_CREATE,
                                   WM_SIZE,          WM_MOVE,       WM_PARENTNOTIFY,    WM_SHOWWINDOW,
                                   WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_ACTIVATEAPP, WM_NCACTIVATE,
                                   WM_ACTIVATE,      WM_SETFOCUS,   WM_KILLFOCUS,       WM_DESTROY,
                                   WM_NCDESTROY};

RECT Rect(int l, int t, int r, int b)
{
    return RECT{l, t, r, b};
}

} // namespace

TEST(WindowLifecycle, CreatingAVisibleFrameAndChildSendsTheDocumentedSequence)
{
    WindowLog log;
    HWND frame = log.Create("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(100, 100, 500, 400));
    HWND child = log.Create("child", WS_CHILD | WS_VISIBLE, Rect(10, 10, 110, 60), frame, 0, 7);
    ASSERT_TRUE(frame && child);
    std::vector<Step> expected = {
        {"?", WM_GETMINMAXINFO}, // before the window has a name in the log
        {"?", WM_NCCREATE},
        {"?", WM_NCCALCSIZE},
        {"?", WM_CREATE},
        {"?", WM_SIZE},
        {"?", WM_MOVE},
        {"?", WM_SHOWWINDOW},
        {"?", WM_WINDOWPOSCHANGING},
        {"?", WM_ACTIVATEAPP},
        {"?", WM_NCACTIVATE},
        {"?", WM_ACTIVATE},
        {"?", WM_SETFOCUS},
        {"?", WM_WINDOWPOSCHANGED},
        {"?", WM_NCCREATE},
        {"?", WM_NCCALCSIZE},
        {"?", WM_CREATE},
        {"?", WM_SIZE},
        {"?", WM_MOVE},
        {"frame", WM_PARENTNOTIFY},
        {"?", WM_SHOWWINDOW},
        {"?", WM_WINDOWPOSCHANGING},
        {"?", WM_WINDOWPOSCHANGED},
    };
    // Names are given after creation returns, so the log names the windows
    // by handle now.
    std::vector<Step> got;
    for (const auto& e : log.Entries())
        if (kLifecycle.count(e.message))
            got.push_back(Step{e.hwnd == frame && e.message == WM_PARENTNOTIFY ? "frame" : "?", e.message});
    EXPECT_EQ(got, expected);

    auto notify = log.Of(WM_PARENTNOTIFY);
    ASSERT_EQ(notify.size(), 1u);
    EXPECT_EQ(notify[0].wParam, MAKEWPARAM(WM_CREATE, 7));
    EXPECT_EQ(notify[0].lParam, reinterpret_cast<LPARAM>(child));
    // The first WM_SIZE carries the client size: the frame less its borders and caption.
    RECT client;
    GetClientRect(frame, &client);
    EXPECT_EQ(client.right, 400 - 2 * 4);
    EXPECT_EQ(client.bottom, 300 - 2 * 4 - 19);
    EXPECT_EQ(GetActiveWindow(), frame);
    EXPECT_EQ(GetFocus(), frame);
    EXPECT_EQ(GetForegroundWindow(), frame);

    log.Clear();
    SetFocus(child);
    log.Clear();
    DestroyWindow(frame);
    std::vector<Step> destroy = {
        {"frame", WM_WINDOWPOSCHANGING}, {"frame", WM_NCACTIVATE},      {"frame", WM_ACTIVATE},
        {"frame", WM_ACTIVATEAPP},       {"child", WM_KILLFOCUS},       {"frame", WM_WINDOWPOSCHANGED},
        {"frame", WM_DESTROY},           {"child", WM_DESTROY},         {"child", WM_NCDESTROY},
        {"frame", WM_NCDESTROY},
    };
    EXPECT_EQ(log.Steps(kLifecycle), destroy);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST(WindowLifecycle, DestroyingAChildNotifiesItsParentFirst)
{
    WindowLog log;
    HWND frame = log.Create("frame", WS_POPUP, Rect(0, 0, 200, 200));
    HWND child = log.Create("child", WS_CHILD, Rect(0, 0, 10, 10), frame, 0, 3);
    HWND quiet = log.Create("quiet", WS_CHILD, Rect(0, 0, 10, 10), frame, WS_EX_NOPARENTNOTIFY, 4);
    log.Clear();
    DestroyWindow(child);
    DestroyWindow(quiet);
    std::vector<Step> expected = {{"frame", WM_PARENTNOTIFY}, {"child", WM_DESTROY}, {"child", WM_NCDESTROY},
                                  {"quiet", WM_DESTROY},      {"quiet", WM_NCDESTROY}};
    EXPECT_EQ(log.Steps({WM_PARENTNOTIFY, WM_DESTROY, WM_NCDESTROY}), expected);
    EXPECT_EQ(log.Of(WM_PARENTNOTIFY)[0].wParam, MAKEWPARAM(WM_DESTROY, 3));
    DestroyWindow(frame);
}

TEST(WindowLifecycle, ACbtHookCanRefuseCreationBeforeAnyMessage)
{
    WindowLog log;
    static int calls;
    calls = 0;
    HHOOK hook = SetWindowsHookExA(
        WH_CBT,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (code == HCBT_CREATEWND) {
                ++calls;
                auto* cbt = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
                EXPECT_TRUE(IsWindow(reinterpret_cast<HWND>(wParam)));
                return std::string(cbt->lpcs->lpszName) == "refused" ? 1 : 0;
            }
            return CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    EXPECT_EQ(log.Create("refused", WS_POPUP, Rect(0, 0, 10, 10)), nullptr);
    EXPECT_TRUE(log.Entries().empty());
    HWND ok = log.Create("fine", WS_POPUP, Rect(0, 0, 10, 10));
    EXPECT_NE(ok, nullptr);
    EXPECT_EQ(calls, 2);
    UnhookWindowsHookEx(hook);
    DestroyWindow(ok);
}

struct PosCase {
    const char* name;
    int x, y, cx, cy;
    UINT flags;
    bool changing;
    bool ncCalcSize;
    bool move;
    bool size;
    RECT after; // in the parent's client coordinates
};

class SetWindowPosFlags : public ::testing::TestWithParam<PosCase> {};

TEST_P(SetWindowPosFlags, SendExactlyTheMessagesTheChangeCalls)
{
    const PosCase& c = GetParam();
    WindowLog log;
    HWND parent = log.Create("parent", WS_POPUP | WS_VISIBLE, Rect(0, 0, 300, 300));
    HWND child = log.Create("child", WS_CHILD | WS_VISIBLE | WS_BORDER, Rect(10, 20, 110, 70), parent);
    log.Clear();
    EXPECT_TRUE(SetWindowPos(child, nullptr, c.x, c.y, c.cx, c.cy, c.flags | SWP_NOZORDER));
    auto has = [&](UINT m) { return !log.Of(m).empty(); };
    EXPECT_EQ(has(WM_WINDOWPOSCHANGING), c.changing) << c.name;
    EXPECT_EQ(has(WM_NCCALCSIZE), c.ncCalcSize) << c.name;
    EXPECT_TRUE(has(WM_WINDOWPOSCHANGED)) << c.name;
    EXPECT_EQ(has(WM_MOVE), c.move) << c.name;
    EXPECT_EQ(has(WM_SIZE), c.size) << c.name;
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(EqualRect(&r, &c.after)) << c.name << ": " << r.left << "," << r.top << "," << r.right << ","
                                         << r.bottom;
    if (c.size) {
        auto size = log.Of(WM_SIZE).back();
        EXPECT_EQ(LOWORD(size.lParam), std::max(0, static_cast<int>(c.after.right - c.after.left) - 2))
            << c.name; // less the border
    }
    DestroyWindow(parent);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetWindowPosFlags,
    ::testing::Values(PosCase{"move", 30, 40, 0, 0, SWP_NOSIZE, true, false, true, false, {30, 40, 130, 90}},
                      PosCase{"size", 0, 0, 50, 60, SWP_NOMOVE, true, true, false, true, {10, 20, 60, 80}},
                      PosCase{"both", 5, 6, 70, 80, 0, true, true, true, true, {5, 6, 75, 86}},
                      PosCase{"same place", 10, 20, 100, 50, 0, true, false, false, false, {10, 20, 110, 70}},
                      PosCase{"no changing", 1, 2, 0, 0, SWP_NOSIZE | SWP_NOSENDCHANGING, false, false, true,
                              false, {1, 2, 101, 52}},
                      PosCase{"frame changed", 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED, true, true,
                              false, false, {10, 20, 110, 70}},
                      PosCase{"negative size", 0, 0, -5, -5, SWP_NOMOVE, true, true, false, true, {10, 20, 10, 20}}),
    [](const ::testing::TestParamInfo<PosCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == ' ')
                ch = '_';
        return name;
    });

TEST(SetWindowPos, ChangingCanAlterThePlacement)
{
    WindowLog log;
    HWND parent = log.Create("parent", WS_POPUP | WS_VISIBLE, Rect(0, 0, 300, 300));
    HWND child = log.Create("child", WS_CHILD | WS_VISIBLE, Rect(0, 0, 10, 10), parent);
    log.m_handler = [&](HWND hwnd, UINT message, WPARAM, LPARAM lParam, LRESULT*) {
        if (hwnd == child && message == WM_WINDOWPOSCHANGING) {
            auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
            wp->cx = std::min(wp->cx, 50); // a child with a maximum width
        }
        return false;
    };
    SetWindowPos(child, nullptr, 0, 0, 200, 20, SWP_NOMOVE | SWP_NOZORDER);
    RECT r;
    GetClientRect(child, &r);
    EXPECT_EQ(r.right, 50);
    EXPECT_EQ(r.bottom, 20);
    DestroyWindow(parent);
}

TEST(SetWindowPos, ShowAndHideFlagsChangeVisibilityAndNotify)
{
    WindowLog log;
    HWND parent = log.Create("parent", WS_POPUP | WS_VISIBLE, Rect(0, 0, 300, 300));
    HWND child = log.Create("child", WS_CHILD, Rect(0, 0, 10, 10), parent);
    std::vector<UINT> changedFlags;
    log.m_handler = [&](HWND, UINT message, WPARAM, LPARAM lParam, LRESULT*) {
        if (message == WM_WINDOWPOSCHANGED)
            changedFlags.push_back(reinterpret_cast<WINDOWPOS*>(lParam)->flags);
        return false;
    };
    log.Clear();
    SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    EXPECT_TRUE(IsWindowVisible(child));
    ASSERT_EQ(changedFlags.size(), 1u);
    EXPECT_TRUE(changedFlags[0] & SWP_SHOWWINDOW);
    EXPECT_TRUE(log.Of(WM_SHOWWINDOW).empty()); // only ShowWindow sends that
    // Showing a visible window again is no show at all.
    changedFlags.clear();
    SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    ASSERT_EQ(changedFlags.size(), 1u);
    EXPECT_FALSE(changedFlags[0] & SWP_SHOWWINDOW);
    log.Clear();
    EXPECT_TRUE(ShowWindow(child, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(child));
    ASSERT_EQ(log.Of(WM_SHOWWINDOW).size(), 1u);
    EXPECT_EQ(log.Of(WM_SHOWWINDOW)[0].wParam, 0u);
    EXPECT_FALSE(ShowWindow(child, SW_HIDE)); // was hidden already
    // A child of a hidden parent has WS_VISIBLE but is not visible.
    ShowWindow(child, SW_SHOW);
    ShowWindow(parent, SW_HIDE);
    EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(IsWindowVisible(child));
    DestroyWindow(parent);
}

TEST(ZOrder, TopBottomAfterAndTopmost)
{
    WindowLog log;
    HWND parent = log.Create("parent", WS_POPUP, Rect(0, 0, 300, 300));
    HWND a = log.Create("a", WS_CHILD, Rect(0, 0, 10, 10), parent);
    HWND b = log.Create("b", WS_CHILD, Rect(0, 0, 10, 10), parent);
    HWND c = log.Create("c", WS_CHILD, Rect(0, 0, 10, 10), parent);
    auto order = [&] {
        std::string s;
        for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            s += log.NameOf(h);
        return s;
    };
    EXPECT_EQ(order(), "abc"); // new children go to the bottom
    SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(order(), "cab");
    SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(order(), "abc");
    SetWindowPos(a, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(order(), "bac");
    SetWindowPos(c, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(order(), "bac");
    EXPECT_EQ(GetWindow(a, GW_HWNDFIRST), b);
    EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
    EXPECT_EQ(GetTopWindow(parent), b);

    // Top-level windows: topmost ones stay above the rest.
    HWND t1 = log.Create("1", WS_POPUP | WS_VISIBLE, Rect(0, 0, 10, 10));
    HWND t2 = log.Create("2", WS_POPUP | WS_VISIBLE, Rect(0, 0, 10, 10), nullptr, WS_EX_TOPMOST);
    HWND t3 = log.Create("3", WS_POPUP | WS_VISIBLE, Rect(0, 0, 10, 10));
    auto tops = [&] {
        std::string s;
        for (HWND h : tavrin::win::Window::TopLevelWindows())
            if (h == t1 || h == t2 || h == t3)
                s += log.NameOf(h);
        return s;
    };
    EXPECT_EQ(tops(), "231");
    SetWindowPos(t1, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(tops(), "213");
    SetWindowPos(t3, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(tops(), "321");
    EXPECT_TRUE(GetWindowLongA(t3, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SetWindowPos(t2, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(tops(), "321");
    EXPECT_FALSE(GetWindowLongA(t2, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SetWindowPos(t1, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(tops(), "312");
    for (HWND h : {t1, t2, t3, parent})
        DestroyWindow(h);
}

TEST(ZOrder, OwnedWindowsStayAboveTheirOwner)
{
    WindowLog log;
    HWND owner = log.Create("owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(0, 0, 200, 200));
    HWND popup = log.Create("popup", WS_POPUP | WS_VISIBLE, Rect(0, 0, 50, 50), owner);
    HWND other = log.Create("other", WS_POPUP | WS_VISIBLE, Rect(0, 0, 50, 50));
    EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
    SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    auto top = tavrin::win::Window::TopLevelWindows();
    ASSERT_GE(top.size(), 3u);
    EXPECT_EQ(top[0], popup);
    EXPECT_EQ(top[1], owner);
    EXPECT_EQ(top[2], other);
    DestroyWindow(other);
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(popup));
}

TEST(DeferWindowPos, BatchesApplyTogetherAndMergePerWindow)
{
    WindowLog log;
    HWND parent = log.Create("parent", WS_POPUP | WS_VISIBLE, Rect(0, 0, 300, 300));
    HWND a = log.Create("a", WS_CHILD | WS_VISIBLE, Rect(0, 0, 10, 10), parent);
    HWND b = log.Create("b", WS_CHILD | WS_VISIBLE, Rect(0, 0, 10, 10), parent);
    HDWP batch = BeginDeferWindowPos(2);
    ASSERT_NE(batch, nullptr);
    batch = DeferWindowPos(batch, a, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    batch = DeferWindowPos(batch, b, nullptr, 0, 0, 40, 30, SWP_NOMOVE | SWP_NOZORDER);
    batch = DeferWindowPos(batch, a, nullptr, 0, 0, 20, 20, SWP_NOMOVE | SWP_NOZORDER); // merges: move and size
    ASSERT_NE(batch, nullptr);
    RECT r;
    GetWindowRect(a, &r);
    EXPECT_EQ(r.left, 0); // nothing happens before the end of the batch
    EXPECT_TRUE(EndDeferWindowPos(batch));
    GetWindowRect(a, &r);
    EXPECT_TRUE(EqualRect(&r, &(const RECT&)RECT{5, 5, 25, 25}));
    GetWindowRect(b, &r);
    EXPECT_TRUE(EqualRect(&r, &(const RECT&)RECT{0, 0, 40, 30}));
    EXPECT_FALSE(EndDeferWindowPos(batch)); // used up

    // A failing entry loses the whole batch.
    batch = BeginDeferWindowPos(1);
    batch = DeferWindowPos(batch, a, nullptr, 1, 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(DeferWindowPos(batch, reinterpret_cast<HWND>(0x7777), nullptr, 0, 0, 0, 0, 0), nullptr);
    EXPECT_FALSE(EndDeferWindowPos(batch));
    GetWindowRect(a, &r);
    EXPECT_EQ(r.left, 5);
    DestroyWindow(parent);
}

TEST(Geometry, RectanglesFollowTheStylesAndMapBetweenWindows)
{
    WindowLog log;
    struct Case {
        DWORD style;
        DWORD exStyle;
        RECT insets; // left, top, right, bottom
    };
    const Case cases[] = {
        {WS_POPUP, 0, {0, 0, 0, 0}},
        {WS_POPUP | WS_BORDER, 0, {1, 1, 1, 1}},
        {WS_POPUP | WS_DLGFRAME, 0, {3, 3, 3, 3}},
        {WS_POPUP | WS_CAPTION, 0, {3, 3 + 19, 3, 3}},
        {WS_OVERLAPPEDWINDOW, 0, {4, 4 + 19, 4, 4}},
        {WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW, {3, 3 + 16, 3, 3}},
        {WS_POPUP, WS_EX_CLIENTEDGE, {2, 2, 2, 2}},
        {WS_POPUP | WS_BORDER, WS_EX_CLIENTEDGE, {3, 3, 3, 3}},
        {WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, {0, 0, 16, 16}},
        {WS_POPUP, WS_EX_STATICEDGE, {1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        HWND hwnd = log.Create("w", c.style, Rect(100, 50, 300, 250), nullptr, c.exStyle);
        RECT client{0, 0, 0, 0};
        GetClientRect(hwnd, &client);
        POINT origin{0, 0};
        ClientToScreen(hwnd, &origin);
        EXPECT_EQ(origin.x, 100 + c.insets.left) << c.style << "/" << c.exStyle;
        EXPECT_EQ(origin.y, 50 + c.insets.top) << c.style << "/" << c.exStyle;
        EXPECT_EQ(client.right, 200 - c.insets.left - c.insets.right) << c.style << "/" << c.exStyle;
        EXPECT_EQ(client.bottom, 200 - c.insets.top - c.insets.bottom) << c.style << "/" << c.exStyle;
        // AdjustWindowRectEx gives back the window rectangle (scroll bars aside).
        if (!(c.style & (WS_VSCROLL | WS_HSCROLL))) {
            RECT r{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
            DWORD style = GetWindowLongA(hwnd, GWL_STYLE);
            AdjustWindowRectEx(&r, style, FALSE, GetWindowLongA(hwnd, GWL_EXSTYLE));
            EXPECT_TRUE(EqualRect(&r, &(const RECT&)RECT{100, 50, 300, 250})) << c.style << "/" << c.exStyle;
        }
        DestroyWindow(hwnd);
    }

    HWND frame = log.Create("frame", WS_POPUP | WS_BORDER, Rect(100, 100, 300, 300));
    HWND child = log.Create("child", WS_CHILD | WS_BORDER, Rect(10, 20, 60, 70), frame);
    HWND grandchild = log.Create("grand", WS_CHILD, Rect(5, 5, 15, 15), child);
    POINT pt{0, 0};
    ClientToScreen(grandchild, &pt);
    EXPECT_EQ(pt.x, 101 + 10 + 1 + 5);
    EXPECT_EQ(pt.y, 101 + 20 + 1 + 5);
    ScreenToClient(frame, &pt);
    EXPECT_EQ(pt.x, 16);
    POINT pts[2] = {{0, 0}, {3, 4}};
    int offset = MapWindowPoints(grandchild, frame, pts, 2);
    EXPECT_EQ(pts[1].x, 19);
    EXPECT_EQ(pts[1].y, 30);
    EXPECT_EQ(static_cast<short>(LOWORD(offset)), 16);
    EXPECT_EQ(static_cast<short>(HIWORD(offset)), 26);
    DestroyWindow(frame);
}

TEST(Geometry, MaximiseMinimiseAndRestore)
{
    tavrin::win::ResetSystemProfile();
    WindowLog log;
    HWND frame = log.Create("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(100, 100, 500, 400));
    log.Clear();
    ShowWindow(frame, SW_SHOWMAXIMIZED);
    EXPECT_TRUE(IsZoomed(frame));
    RECT r;
    GetWindowRect(frame, &r);
    EXPECT_TRUE(EqualRect(&r, &(const RECT&)RECT{-4, -4, 1284, 998})); // the work area, frame outside it
    auto sizes = log.Of(WM_SIZE);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back().wParam, static_cast<WPARAM>(SIZE_MAXIMIZED));
    ShowWindow(frame, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(frame));
    EXPECT_FALSE(IsZoomed(frame));
    EXPECT_EQ(log.Of(WM_SIZE).back().wParam, static_cast<WPARAM>(SIZE_MINIMIZED));
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(WINDOWPLACEMENT);
    GetWindowPlacement(frame, &wp);
    EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
    EXPECT_TRUE(EqualRect(&wp.rcNormalPosition, &(const RECT&)RECT{100, 100, 500, 400}));
    ShowWindow(frame, SW_RESTORE);
    GetWindowRect(frame, &r);
    EXPECT_TRUE(EqualRect(&r, &(const RECT&)RECT{100, 100, 500, 400}));
    EXPECT_EQ(log.Of(WM_SIZE).back().wParam, static_cast<WPARAM>(SIZE_RESTORED));
    DestroyWindow(frame);
}

TEST(Styles, ChangesAreAnnouncedAndAdjustable)
{
    WindowLog log;
    HWND hwnd = log.Create("w", WS_POPUP, Rect(0, 0, 10, 10));
    log.m_handler = [](HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT*) {
        if (message == WM_STYLECHANGING && wParam == static_cast<WPARAM>(GWL_EXSTYLE))
            reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew |= WS_EX_TOOLWINDOW;
        return false;
    };
    log.Clear();
    LONG old = SetWindowLongA(hwnd, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    EXPECT_EQ(old & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(GetWindowLongA(hwnd, GWL_EXSTYLE), static_cast<LONG>(WS_EX_CLIENTEDGE | WS_EX_TOOLWINDOW));
    std::vector<Step> expected = {{"w", WM_STYLECHANGING}, {"w", WM_STYLECHANGED}};
    EXPECT_EQ(log.Steps({WM_STYLECHANGING, WM_STYLECHANGED}), expected);
    // The frame follows only when told so.
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 10);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 6);
    DestroyWindow(hwnd);
}

TEST(Queries, EnumerateFindAndDialogItems)
{
    WindowLog log;
    HWND frame = log.Create("frame", WS_POPUP, Rect(0, 0, 100, 100));
    HWND a = log.Create("a", WS_CHILD, Rect(0, 0, 10, 10), frame, 0, 101);
    HWND a1 = log.Create("a1", WS_CHILD, Rect(0, 0, 10, 10), a, 0, 102);
    HWND b = log.Create("b", WS_CHILD, Rect(0, 0, 10, 10), frame, 0, 103);
    std::vector<HWND> seen;
    EnumChildWindows(
        frame, [](HWND hwnd, LPARAM data) {
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen, (std::vector<HWND>{a, a1, b}));
    // Stopping early, and destroying windows while enumerating.
    seen.clear();
    EnumChildWindows(
        frame, [](HWND hwnd, LPARAM data) {
            auto* list = reinterpret_cast<std::vector<HWND>*>(data);
            list->push_back(hwnd);
            DestroyWindow(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen, (std::vector<HWND>{a, b})); // a1 went with a
    EXPECT_EQ(GetWindow(frame, GW_CHILD), nullptr);

    HWND c = log.Create("c", WS_CHILD, Rect(0, 0, 10, 10), frame, 0, 201);
    EXPECT_EQ(GetDlgItem(frame, 201), c);
    EXPECT_EQ(GetDlgItem(frame, 999), nullptr);
    EXPECT_EQ(GetDlgCtrlID(c), 201);
    EXPECT_TRUE(SetDlgItemTextA(frame, 201, "hello"));
    char text[16];
    EXPECT_EQ(GetDlgItemTextA(frame, 201, text, sizeof text), 5u);
    EXPECT_STREQ(text, "hello");
    EXPECT_EQ(FindWindowA("tavrinlogged", "frame"), frame);
    EXPECT_EQ(FindWindowA(nullptr, "nothing"), nullptr);
    EXPECT_EQ(FindWindowExA(frame, nullptr, "TavrinLogged", "hello"), c);

    // Properties by name and by atom.
    EXPECT_TRUE(SetPropA(frame, "Tavrin.Thing", reinterpret_cast<HANDLE>(5)));
    EXPECT_TRUE(SetPropA(frame, MAKEINTATOM(0xC123), reinterpret_cast<HANDLE>(6)));
    EXPECT_EQ(GetPropA(frame, "TAVRIN.THING"), reinterpret_cast<HANDLE>(5));
    EXPECT_EQ(GetPropA(frame, MAKEINTATOM(0xC123)), reinterpret_cast<HANDLE>(6));
    EXPECT_EQ(RemovePropA(frame, "tavrin.thing"), reinterpret_cast<HANDLE>(5));
    EXPECT_EQ(GetPropA(frame, "tavrin.thing"), nullptr);
    DestroyWindow(frame);
}

TEST(Queries, SetParentMovesAWindowBetweenParents)
{
    WindowLog log;
    HWND one = log.Create("one", WS_POPUP, Rect(0, 0, 100, 100));
    HWND two = log.Create("two", WS_POPUP, Rect(200, 0, 300, 100));
    HWND child = log.Create("child", WS_CHILD, Rect(10, 10, 20, 20), one);
    EXPECT_EQ(SetParent(child, two), one);
    EXPECT_EQ(GetParent(child), two);
    EXPECT_EQ(GetWindow(one, GW_CHILD), nullptr);
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 210);
    EXPECT_EQ(SetParent(child, child), nullptr);
    EXPECT_EQ(SetParent(two, child), nullptr); // no cycles
    DestroyWindow(two);
    EXPECT_FALSE(IsWindow(child));
    DestroyWindow(one);
}

TEST(Queries, CallsFromAnotherThreadRunOnTheWindowsThread)
{
    WindowLog log;
    HWND hwnd = log.Create("w", WS_POPUP, Rect(0, 0, 10, 10));
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread worker([&] {
        SetWindowPos(hwnd, nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetEvent(done);
    });
    // The worker waits until this thread serves its call.
    EXPECT_EQ(tavrin::WaitServingSends(done, INFINITE), WAIT_OBJECT_0);
    worker.join();
    CloseHandle(done);
    RECT r;
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_FALSE(log.Of(WM_WINDOWPOSCHANGED).empty());
    DestroyWindow(hwnd);
}
