#include "WindowLog.h"

#include "platform/base/Clock.h"
#include "platform/gdi/Surface.h"
#include "platform/win/Presenter.h"

#include <gtest/gtest.h>

using tavrin::test::Pump;
using tavrin::test::WindowLog;
using tavrin::win::InjectMouseButton;
using tavrin::win::InjectMouseMove;
using tavrin::win::MouseButton;
using tavrin::win::ScrollBarLayout;

namespace {

struct BarCase {
    const char* name;
    UINT mask;
    int min, max;
    UINT page;
    bool shown;
    bool thumb;
};

std::vector<std::pair<int, int>> Codes(const WindowLog& log, UINT message = WM_VSCROLL)
{
    std::vector<std::pair<int, int>> codes;
    for (const auto& e : log.Of(message))
        codes.push_back({LOWORD(e.wParam), HIWORD(e.wParam)});
    return codes;
}

} // namespace

TEST(ScrollBars, RangeAndPageDecideWhetherTheBarShowsAndTheClientAreaFollows)
{
    const BarCase cases[] = {
        {"page smaller than the range", SIF_RANGE | SIF_PAGE, 0, 99, 50, true, true},
        {"page as large as the range", SIF_RANGE | SIF_PAGE, 0, 99, 100, false, false},
        {"page larger than the range", SIF_RANGE | SIF_PAGE, 0, 99, 150, false, false},
        {"empty range", SIF_RANGE, 0, 0, 0, false, false},
        {"two positions", SIF_RANGE, 0, 1, 0, true, true},
        {"nothing to scroll, kept disabled", SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 99, 100, true, false},
        {"negative range", SIF_RANGE | SIF_PAGE, -50, 49, 10, true, true},
    };
    WindowLog log;
    for (const BarCase& c : cases) {
        SCOPED_TRACE(c.name);
        HWND w = log.Create("w", WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 150});
        SCROLLINFO info{sizeof(info), c.mask, c.min, c.max, c.page, 0, 0};
        SetScrollInfo(w, SB_VERT, &info, TRUE);
        RECT client;
        GetClientRect(w, &client);
        EXPECT_EQ((GetWindowLongA(w, GWL_STYLE) & WS_VSCROLL) != 0, c.shown);
        EXPECT_EQ(client.right, c.shown ? 200 - GetSystemMetrics(SM_CXVSCROLL) : 200);
        ScrollBarLayout layout;
        EXPECT_EQ(tavrin::win::GetScrollBarLayout(w, SB_VERT, &layout), c.shown);
        EXPECT_EQ(layout.thumbShown, c.thumb);
        SCROLLINFO back{sizeof(back), SIF_ALL, 0, 0, 0, 0, 0};
        ASSERT_TRUE(GetScrollInfo(w, SB_VERT, &back));
        EXPECT_EQ(back.nMin, c.min);
        EXPECT_LE(back.nPage, static_cast<UINT>(c.max - c.min + 1)) << "the page never exceeds the range";
        DestroyWindow(w);
    }
}

TEST(ScrollBars, PositionsStayWithinTheRangeAndRangeCallsShowAndHide)
{
    WindowLog log;
    HWND w = log.Create("w", WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 150});
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE, 0, 99, 50, 0, 0};
    SetScrollInfo(w, SB_HORZ, &info, TRUE);
    EXPECT_EQ(SetScrollPos(w, SB_HORZ, 80, TRUE), 0);
    EXPECT_EQ(GetScrollPos(w, SB_HORZ), 50) << "the last page is full";
    EXPECT_EQ(SetScrollPos(w, SB_HORZ, -5, TRUE), 50);
    EXPECT_EQ(GetScrollPos(w, SB_HORZ), 0);
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.bottom, 150 - GetSystemMetrics(SM_CYHSCROLL));

    ASSERT_TRUE(SetScrollRange(w, SB_HORZ, 5, 5, TRUE));
    EXPECT_FALSE(GetWindowLongA(w, GWL_STYLE) & WS_HSCROLL) << "an empty range hides the bar";
    ASSERT_TRUE(SetScrollRange(w, SB_HORZ, 0, 10, TRUE));
    EXPECT_TRUE(GetWindowLongA(w, GWL_STYLE) & WS_HSCROLL);
    int min = -1, max = -1;
    ASSERT_TRUE(GetScrollRange(w, SB_HORZ, &min, &max));
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 10);

    ASSERT_TRUE(ShowScrollBar(w, SB_BOTH, TRUE));
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 200 - GetSystemMetrics(SM_CXVSCROLL));
    ASSERT_TRUE(ShowScrollBar(w, SB_BOTH, FALSE));
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 150);
    EXPECT_FALSE(SetScrollRange(w, SB_CTL, 0, 5, TRUE)) << "not a scroll-bar control";
    DestroyWindow(w);
}

TEST(ScrollBars, EachMouseActionSendsItsCodes)
{
    tavrin::clock::ManualScope manual(1700000000);
    WindowLog log;
    HWND w = log.Create("w", WS_POPUP | WS_VISIBLE, RECT{100, 100, 300, 250});
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE, 0, 99, 10, 0, 0};
    SetScrollInfo(w, SB_VERT, &info, TRUE);
    ScrollBarLayout l;
    ASSERT_TRUE(tavrin::win::GetScrollBarLayout(w, SB_VERT, &l));
    EXPECT_EQ(l.bar.left, 200 - 16);
    EXPECT_EQ(l.arrow, 16);
    EXPECT_EQ(l.thumbSize, 12) << "10 of 100 positions of a 118-pixel track";
    const int x = (l.bar.left + l.bar.right) / 2;
    struct Action {
        const char* name;
        int pos;
        std::vector<POINT> points;
        std::vector<std::pair<int, int>> codes;
        bool outside = false; // the later points lie outside the window: injected once it has the capture
    };
    const std::vector<Action> actions = {
        {"up arrow", 50, {{x, 3}}, {{SB_LINEUP, 0}, {SB_ENDSCROLL, 0}}},
        {"down arrow", 50, {{x, 146}}, {{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}},
        {"above the thumb", 50, {{x, 20}}, {{SB_PAGEUP, 0}, {SB_ENDSCROLL, 0}}},
        {"below the thumb", 0, {{x, 120}}, {{SB_PAGEDOWN, 0}, {SB_ENDSCROLL, 0}}},
        // 53 of 106 pixels of travel are half of the 90 positions.
        {"thumb dragged", 0, {{x, 20}, {x, 73}}, {{SB_THUMBTRACK, 45}, {SB_THUMBPOSITION, 45}, {SB_ENDSCROLL, 0}}},
        {"thumb dragged past the end", 0, {{x, 20}, {x, 400}}, {{SB_THUMBTRACK, 90}, {SB_THUMBPOSITION, 90}, {SB_ENDSCROLL, 0}}, true},
        {"a second press at once", 50, {{x, 146}}, {{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}},
        {"and again", 50, {{x, 146}}, {{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}},
        {"arrow left before release", 50, {{x, 3}, {x, 60}}, {{SB_LINEUP, 0}, {SB_ENDSCROLL, 0}}},
    };
    int trackSeen = -1;
    const Action* current = nullptr;
    log.m_handler = [&](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT*) {
        if ((message == WM_NCLBUTTONDOWN || message == WM_NCLBUTTONDBLCLK) && current && current->outside) {
            // Where no window of ours is, only the capture gets the mouse.
            SetCapture(w);
            RECT r;
            GetWindowRect(w, &r);
            for (size_t i = 1; i < current->points.size(); ++i)
                InjectMouseMove(r.left + current->points[i].x, r.top + current->points[i].y);
            InjectMouseButton(MouseButton::Left, false);
        }
        if (message == WM_VSCROLL && LOWORD(wParam) == SB_THUMBTRACK) {
            SCROLLINFO now{sizeof(now), SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, 0};
            GetScrollInfo(w, SB_VERT, &now);
            trackSeen = now.nTrackPos;
            EXPECT_EQ(now.nPos, 0) << "the position moves only when the window says so";

        }
        return false;
    };
    for (const Action& a : actions) {
        SCOPED_TRACE(a.name);
        SetScrollPos(w, SB_VERT, a.pos, TRUE);
        log.Clear();
        RECT r;
        GetWindowRect(w, &r);
        current = &a;
        InjectMouseMove(r.left + a.points[0].x, r.top + a.points[0].y);
        InjectMouseButton(MouseButton::Left, true);
        for (size_t i = 1; i < a.points.size() && !a.outside; ++i)
            InjectMouseMove(r.left + a.points[i].x, r.top + a.points[i].y);
        if (!a.outside)
            InjectMouseButton(MouseButton::Left, false);
        Pump();
        EXPECT_EQ(Codes(log), a.codes);
        EXPECT_EQ(GetCapture(), nullptr);
    }
    EXPECT_EQ(trackSeen, 90);

    // Held down, an arrow repeats on the clock: first 200 ms after the press, then every 50 ms.
    SetScrollPos(w, SB_VERT, 50, TRUE);
    log.Clear();
    int repeats = 0;
    log.m_handler = [&](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT*) {
        if (message == WM_VSCROLL && LOWORD(wParam) == SB_LINEDOWN) {
            ++repeats;
            if (repeats == 1)
                tavrin::clock::Advance(200);
            else if (repeats < 4)
                tavrin::clock::Advance(50);
            else
                InjectMouseButton(MouseButton::Left, false);
        }
        return false;
    };
    RECT r;
    GetWindowRect(w, &r);
    InjectMouseMove(r.left + x, r.top + 146);
    InjectMouseButton(MouseButton::Left, true);
    Pump();
    EXPECT_EQ(repeats, 4);
    EXPECT_EQ(Codes(log).back().first, SB_ENDSCROLL);
    DestroyWindow(w);
}

namespace {

class ResizeRecorder : public tavrin::display::Presenter {
public:
    void WindowShown(HWND) override {}
    void WindowHidden(HWND) override {}
    void WindowDestroyed(HWND) override {}
    void WindowChanged(HWND) override {}
    void SurfaceDamaged(HWND, const tavrin::Surface&, const RECT&) override {}
    bool SetClipboardText(const std::string&) override { return false; }
    bool GetClipboardText(std::string&) override { return false; }
    bool BeginResize(HWND hwnd, int edge, POINT screen) override
    {
        m_calls.push_back({hwnd, edge, screen});
        return true;
    }
    struct Call {
        HWND hwnd;
        int edge;
        POINT pt;
    };
    std::vector<Call> m_calls;
};

} // namespace

TEST(ScrollBarControl, AnswersItsMessagesAndTellsItsParent)
{
    tavrin::clock::ManualScope manual(1700000000);
    WindowLog log;
    HWND parent = log.Create("parent", WS_POPUP | WS_VISIBLE, RECT{50, 50, 350, 250});
    HWND bar = CreateWindowExA(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 10, 10, 16, 120, parent,
                               reinterpret_cast<HMENU>(5), nullptr, nullptr);
    ASSERT_TRUE(bar);
    SendMessageA(bar, SBM_SETRANGE, 0, 20);
    EXPECT_EQ(SendMessageA(bar, SBM_SETPOS, 25, TRUE), 0);
    EXPECT_EQ(SendMessageA(bar, SBM_GETPOS, 0, 0), 20);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 20);
    SCROLLINFO info{sizeof(info), SIF_PAGE, 0, 0, 30, 0, 0};
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    EXPECT_TRUE(IsWindowVisible(bar)) << "a control stays when there is nothing to scroll";
    info = SCROLLINFO{sizeof(info), SIF_RANGE | SIF_PAGE, 0, 100, 10, 0, 0};
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    log.Clear();
    RECT r;
    GetWindowRect(bar, &r);
    InjectMouseMove(r.left + 8, r.bottom - 4);
    InjectMouseButton(MouseButton::Left, true);
    InjectMouseButton(MouseButton::Left, false);
    Pump();
    auto sent = log.Of(WM_VSCROLL);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(LOWORD(sent[0].wParam), SB_LINEDOWN);
    EXPECT_EQ(sent[0].lParam, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(LOWORD(sent[1].wParam), SB_ENDSCROLL);
    EXPECT_TRUE(EnableScrollBar(bar, SB_CTL, ESB_DISABLE_DOWN));
    log.Clear();
    InjectMouseButton(MouseButton::Left, true);
    InjectMouseButton(MouseButton::Left, false);
    Pump();
    EXPECT_TRUE(log.Of(WM_VSCROLL).empty()) << "a disabled arrow does nothing";
    DestroyWindow(parent);
}

TEST(ScrollBarControl, SizeGripStartsTheDesktopResizeOfASizableWindow)
{
    ResizeRecorder presenter;
    tavrin::display::InstallPresenter(&presenter);
    WindowLog log;
    for (bool sizable : {true, false}) {
        HWND top = log.Create("top", WS_POPUP | WS_VISIBLE | (sizable ? WS_THICKFRAME : WS_BORDER),
                              RECT{100, 100, 400, 300});
        RECT client;
        GetClientRect(top, &client);
        HWND grip = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, client.right - 16,
                                    client.bottom - 16, 16, 16, top, reinterpret_cast<HMENU>(32767), nullptr, nullptr);
        ASSERT_TRUE(grip);
        Pump();
        RECT r;
        GetWindowRect(grip, &r);
        InjectMouseMove(r.left + 8, r.top + 8);
        InjectMouseButton(MouseButton::Left, true);
        InjectMouseButton(MouseButton::Left, false);
        Pump();
        if (sizable) {
            ASSERT_EQ(presenter.m_calls.size(), 1u);
            EXPECT_EQ(presenter.m_calls[0].hwnd, top);
            EXPECT_EQ(presenter.m_calls[0].edge, HTBOTTOMRIGHT);
            EXPECT_EQ(presenter.m_calls[0].pt.x, r.left + 8);
        } else {
            EXPECT_EQ(presenter.m_calls.size(), 1u) << "nothing to resize";
        }
        DestroyWindow(top);
    }
    tavrin::display::InstallPresenter(nullptr);
}
