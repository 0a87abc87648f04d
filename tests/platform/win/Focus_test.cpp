#include "WindowLog.h"

#include <gtest/gtest.h>
#include <thread>

using tavrin::test::Step;
using tavrin::test::WindowLog;

namespace {

const std::set<UINT> kActivation = {WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS,
                                    WM_MOUSEACTIVATE, WM_CAPTURECHANGED, WM_CANCELMODE, WM_ENABLE};

RECT Rect(int l, int t, int r, int b)
{
    return RECT{l, t, r, b};
}

} // namespace

TEST(Activation, SwitchingBetweenTwoFramesDeactivatesBeforeActivating)
{
    WindowLog log;
    HWND a = log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(0, 0, 200, 200));
    HWND b = log.Create("b", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(300, 0, 500, 200));
    HWND edit = log.Create("edit", WS_CHILD | WS_VISIBLE, Rect(0, 0, 50, 20), a);
    EXPECT_EQ(GetActiveWindow(), b);
    SetActiveWindow(a);
    SetFocus(edit);
    log.Clear();

    EXPECT_EQ(SetActiveWindow(b), a);
    std::vector<Step> expected = {{"a", WM_NCACTIVATE}, {"a", WM_ACTIVATE}, {"b", WM_NCACTIVATE},
                                  {"b", WM_ACTIVATE},   {"edit", WM_KILLFOCUS}, {"b", WM_SETFOCUS}};
    EXPECT_EQ(log.Steps(kActivation), expected);
    auto activate = log.Of(WM_ACTIVATE);
    EXPECT_EQ(LOWORD(activate[0].wParam), WA_INACTIVE);
    EXPECT_EQ(activate[0].lParam, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(LOWORD(activate[1].wParam), WA_ACTIVE);
    EXPECT_EQ(activate[1].lParam, reinterpret_cast<LPARAM>(a));
    EXPECT_EQ(log.Of(WM_KILLFOCUS)[0].wParam, reinterpret_cast<WPARAM>(b));
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(GetForegroundWindow(), b);

    // Focusing a child of the inactive frame activates that frame first.
    log.Clear();
    EXPECT_EQ(SetFocus(edit), b);
    std::vector<Step> viaChild = {{"b", WM_NCACTIVATE}, {"b", WM_ACTIVATE}, {"a", WM_NCACTIVATE},
                                  {"a", WM_ACTIVATE},   {"b", WM_KILLFOCUS}, {"a", WM_SETFOCUS},
                                  {"a", WM_KILLFOCUS},  {"edit", WM_SETFOCUS}};
    EXPECT_EQ(log.Steps(kActivation), viaChild);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), edit);
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST(Activation, TheApplicationLosesAndRegainsActivation)
{
    WindowLog log;
    HWND a = log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(0, 0, 200, 200));
    HWND edit = log.Create("edit", WS_CHILD | WS_VISIBLE, Rect(0, 0, 50, 20), a);
    SetFocus(edit);
    log.Clear();
    tavrin::win::SetApplicationActive(false);
    std::vector<Step> expected = {{"a", WM_NCACTIVATE}, {"a", WM_ACTIVATE}, {"a", WM_ACTIVATEAPP},
                                  {"edit", WM_KILLFOCUS}};
    EXPECT_EQ(log.Steps(kActivation), expected);
    EXPECT_EQ(log.Of(WM_ACTIVATEAPP)[0].wParam, static_cast<WPARAM>(FALSE));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    log.Clear();
    tavrin::win::SetApplicationActive(true);
    EXPECT_EQ(GetActiveWindow(), a);
    ASSERT_FALSE(log.Of(WM_ACTIVATEAPP).empty());
    EXPECT_EQ(log.Of(WM_ACTIVATEAPP)[0].wParam, static_cast<WPARAM>(TRUE));
    DestroyWindow(a);
}

TEST(Activation, HidingTheActiveWindowActivatesItsOwner)
{
    WindowLog log;
    HWND owner = log.Create("owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(0, 0, 200, 200));
    HWND other = log.Create("other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(0, 0, 200, 200));
    HWND dialog = log.Create("dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE, Rect(0, 0, 100, 100), owner);
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(GetLastActivePopup(owner), dialog);
    ShowWindow(dialog, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), owner); // not the window that happens to be next
    EXPECT_EQ(GetLastActivePopup(owner), owner); // a hidden popup does not count
    (void)other;
    DestroyWindow(owner);
    DestroyWindow(other);
}

TEST(Activation, MouseActivationAsksTheWindowFirst)
{
    WindowLog log;
    HWND frame = log.Create("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(0, 0, 200, 200));
    HWND menu = log.Create("menu", WS_POPUP | WS_VISIBLE, Rect(300, 0, 400, 100), nullptr, WS_EX_TOOLWINDOW);
    SetActiveWindow(frame);
    log.m_handler = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT* result) {
        if (hwnd == menu && message == WM_MOUSEACTIVATE) {
            *result = MA_NOACTIVATE;
            return true;
        }
        return false;
    };
    log.Clear();
    tavrin::win::InjectClick(350, 50);
    tavrin::test::Pump();
    EXPECT_EQ(log.Of(WM_MOUSEACTIVATE).size(), 1u);
    EXPECT_EQ(GetActiveWindow(), frame); // the menu window stays inactive
    EXPECT_EQ(log.Of(WM_LBUTTONDOWN).size(), 1u);

    // The default answer activates, as a click.
    ShowWindow(frame, SW_HIDE);
    HWND plain = log.Create("plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(0, 0, 200, 200));
    SetActiveWindow(menu);
    log.Clear();
    tavrin::win::InjectClick(100, 100);
    tavrin::test::Pump();
    EXPECT_EQ(GetActiveWindow(), plain);
    ASSERT_FALSE(log.Of(WM_ACTIVATE).empty());
    EXPECT_EQ(LOWORD(log.Of(WM_ACTIVATE).back().wParam), WA_CLICKACTIVE);
    for (HWND h : {frame, menu, plain})
        DestroyWindow(h);
}

TEST(Activation, EatingTheClickDropsIt)
{
    WindowLog log;
    HWND frame = log.Create("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(0, 0, 200, 200));
    HWND other = log.Create("other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(300, 0, 500, 200));
    log.m_handler = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT* result) {
        if (hwnd == frame && message == WM_MOUSEACTIVATE) {
            *result = MA_ACTIVATEANDEAT;
            return true;
        }
        return false;
    };
    log.Clear();
    tavrin::win::InjectClick(100, 100);
    tavrin::test::Pump();
    EXPECT_EQ(GetActiveWindow(), frame);
    EXPECT_TRUE(log.Of(WM_LBUTTONDOWN).empty());
    EXPECT_EQ(log.Of(WM_LBUTTONUP).size(), 1u);
    DestroyWindow(frame);
    DestroyWindow(other);
}

TEST(Focus, RefusedForDisabledMinimisedAndOtherThreadsWindows)
{
    WindowLog log;
    HWND frame = log.Create("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(0, 0, 200, 200));
    HWND edit = log.Create("edit", WS_CHILD | WS_VISIBLE, Rect(0, 0, 50, 20), frame);
    HWND off = log.Create("off", WS_CHILD | WS_VISIBLE | WS_DISABLED, Rect(0, 0, 50, 20), frame);
    EXPECT_EQ(SetFocus(off), nullptr);
    EXPECT_EQ(GetFocus(), frame);
    SetFocus(edit);

    // Disabling the focus window takes the focus away.
    log.Clear();
    EXPECT_FALSE(EnableWindow(edit, FALSE));
    std::vector<Step> expected = {{"edit", WM_CANCELMODE}, {"edit", WM_KILLFOCUS}, {"edit", WM_ENABLE}};
    EXPECT_EQ(log.Steps(kActivation), expected);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_FALSE(IsWindowEnabled(edit));
    EXPECT_TRUE(EnableWindow(edit, TRUE));
    EXPECT_TRUE(IsWindowEnabled(edit));

    // Hiding the focus window hands the focus to its parent.
    SetFocus(edit);
    ShowWindow(edit, SW_HIDE);
    EXPECT_EQ(GetFocus(), frame);

    // A window of another thread cannot take this thread's focus.
    HWND foreign = nullptr;
    std::thread([&] {
        foreign = CreateWindowExA(0, "TavrinLogged", "x", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(SetFocus(edit), nullptr);
        DestroyWindow(foreign);
    }).join();
    EXPECT_EQ(SetFocus(nullptr), frame);
    EXPECT_EQ(GetFocus(), nullptr);
    DestroyWindow(frame);
}

TEST(Focus, AHandlerMayMoveTheFocusOnDuringKillFocus)
{
    WindowLog log;
    HWND frame = log.Create("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(0, 0, 200, 200));
    HWND one = log.Create("one", WS_CHILD | WS_VISIBLE, Rect(0, 0, 50, 20), frame);
    HWND two = log.Create("two", WS_CHILD | WS_VISIBLE, Rect(0, 30, 50, 50), frame);
    HWND three = log.Create("three", WS_CHILD | WS_VISIBLE, Rect(0, 60, 50, 80), frame);
    SetFocus(one);
    log.m_handler = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT*) {
        if (hwnd == one && message == WM_KILLFOCUS)
            SetFocus(three);
        return false;
    };
    SetFocus(two);
    EXPECT_EQ(GetFocus(), three);
    // "two" never heard WM_SETFOCUS: the focus moved on before it.
    for (const auto& e : log.Of(WM_SETFOCUS))
        EXPECT_NE(e.hwnd, two);
    DestroyWindow(frame);
}

TEST(Capture, ChangesAreAnnouncedToTheWindowLosingIt)
{
    WindowLog log;
    HWND frame = log.Create("frame", WS_POPUP | WS_VISIBLE, Rect(0, 0, 200, 200));
    HWND a = log.Create("a", WS_CHILD | WS_VISIBLE, Rect(0, 0, 50, 50), frame);
    HWND b = log.Create("b", WS_CHILD | WS_VISIBLE, Rect(100, 100, 150, 150), frame);
    log.Clear();
    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(GetCapture(), a);
    EXPECT_EQ(SetCapture(b), a);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    std::vector<Step> expected = {{"a", WM_CAPTURECHANGED}, {"b", WM_CAPTURECHANGED}};
    EXPECT_EQ(log.Steps(kActivation), expected);
    EXPECT_EQ(log.Of(WM_CAPTURECHANGED)[0].lParam, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(log.Of(WM_CAPTURECHANGED)[1].lParam, 0);

    // Every mouse message goes to the capture window, in its client coordinates.
    SetCapture(a);
    log.Clear();
    tavrin::win::InjectMouseMove(120, 130);
    tavrin::test::Pump();
    auto moves = log.Of(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].hwnd, a);
    EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 120);
    EXPECT_TRUE(log.Of(WM_NCHITTEST).empty()); // no hit-testing while captured

    // Disabling the capture window cancels its mode: the default releases it.
    log.Clear();
    EnableWindow(a, FALSE);
    std::vector<Step> cancel = {{"a", WM_CANCELMODE}, {"a", WM_CAPTURECHANGED}, {"a", WM_ENABLE}};
    EXPECT_EQ(log.Steps(kActivation), cancel);
    EXPECT_EQ(GetCapture(), nullptr);

    // Destroying the capture window releases it too.
    EnableWindow(a, TRUE);
    SetCapture(b);
    DestroyWindow(b);
    EXPECT_EQ(GetCapture(), nullptr);
    DestroyWindow(frame);
}
