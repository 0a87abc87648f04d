#include "platform/controls/Static.h"
#include "platform/controls/UpDown.h"
#include "tests/platform/controls/ControlHost.h"

#include "platform/base/Clock.h"

#include <gtest/gtest.h>

using namespace tavrin::test;

TEST(UpDown, MessageTable)
{
    ControlHost host;
    HWND u = host.Create(UPDOWN_CLASS, "", WS_CHILD | WS_VISIBLE, {10, 10, 30, 40}, 1);
    EXPECT_EQ(SendMessageA(u, UDM_GETRANGE, 0, 0), MAKELONG(0, 100)); // upper 0, lower 100
    SendMessageA(u, UDM_SETRANGE, 0, MAKELPARAM(10, 0));
    EXPECT_EQ(SendMessageA(u, UDM_GETRANGE, 0, 0), MAKELONG(10, 0));
    EXPECT_EQ(SendMessageA(u, UDM_SETPOS, 0, MAKELPARAM(4, 0)), 0);
    EXPECT_EQ(SendMessageA(u, UDM_GETPOS, 0, 0), 4);
    EXPECT_EQ(SendMessageA(u, UDM_SETPOS, 0, MAKELPARAM(40, 0)), 4);
    EXPECT_EQ(LOWORD(SendMessageA(u, UDM_GETPOS, 0, 0)), 10);
    SendMessageA(u, UDM_SETRANGE32, static_cast<WPARAM>(-5), 70000);
    int low = 0, high = 0;
    SendMessageA(u, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, -5);
    EXPECT_EQ(high, 70000);
    SendMessageA(u, UDM_SETPOS32, 0, 65000);
    BOOL error = TRUE;
    EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)), 65000);
    EXPECT_FALSE(error);
    EXPECT_EQ(SendMessageA(u, UDM_SETBASE, 16, 0), 10);
    EXPECT_EQ(SendMessageA(u, UDM_SETBASE, 7, 0), 0);
    EXPECT_EQ(SendMessageA(u, UDM_GETBASE, 0, 0), 16);
}

TEST(UpDown, ArrowsStepAndReportToTheParent)
{
    tavrin::clock::ManualScope clock{1000000};
    ControlHost host;
    HWND horz = host.Create(UPDOWN_CLASS, "", WS_CHILD | WS_VISIBLE | UDS_HORZ, {10, 10, 50, 30}, 3);
    SendMessageA(horz, UDM_SETRANGE, 0, MAKELPARAM(2, 0));
    host.Clear();
    ClickAt(horz, 30, 10); // right arrow: up
    ClickAt(horz, 30, 10);
    ClickAt(horz, 30, 10); // at the end: nothing moves
    ClickAt(horz, 5, 10);  // left arrow: down
    std::vector<Notice> scrolls;
    for (const Notice& n : host.Take())
        if (n.message != WM_NOTIFY)
            scrolls.push_back(n);
    std::vector<Notice> expected = {
        {WM_HSCROLL, horz, 0, 4, 1}, {WM_HSCROLL, horz, 0, 8, 1}, {WM_HSCROLL, horz, 0, 4, 2},
        {WM_HSCROLL, horz, 0, 8, 2}, {WM_HSCROLL, horz, 0, 8, 2}, {WM_HSCROLL, horz, 0, 4, 1},
        {WM_HSCROLL, horz, 0, 8, 1},
    };
    EXPECT_EQ(scrolls, expected);
}

TEST(UpDown, TheParentMayRefuseAStepAndWrapGoesRound)
{
    ControlHost host;
    HWND u = host.Create(UPDOWN_CLASS, "", WS_CHILD | WS_VISIBLE | UDS_WRAP, {10, 10, 30, 50}, 4);
    SendMessageA(u, UDM_SETRANGE, 0, MAKELPARAM(3, 0));
    SendMessageA(u, UDM_SETPOS, 0, 3);
    ClickAt(u, 5, 5); // up past 3 wraps to 0
    EXPECT_EQ(SendMessageA(u, UDM_GETPOS, 0, 0), 0);
    int deltas = 0;
    host.m_handler = [&](UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
        if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != UDN_DELTAPOS)
            return false;
        auto* nm = reinterpret_cast<NMUPDOWN*>(lParam);
        EXPECT_EQ(nm->iPos, 0);
        EXPECT_EQ(nm->iDelta, 1);
        ++deltas;
        *result = TRUE;
        return true;
    };
    ClickAt(u, 5, 5);
    EXPECT_EQ(deltas, 1);
    EXPECT_EQ(SendMessageA(u, UDM_GETPOS, 0, 0), 0);
}

TEST(UpDown, HeldDownRepeatsOnTheClock)
{
    tavrin::clock::ManualScope clock{1000000};
    ControlHost host;
    HWND u = host.Create(UPDOWN_CLASS, "", WS_CHILD | WS_VISIBLE, {10, 10, 30, 50}, 4);
    SendMessageA(u, UDM_SETRANGE32, 0, 100);
    POINT pt = ScreenPoint(u, 5, 5);
    tavrin::win::InjectMouseMove(pt.x, pt.y);
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, true);
    PumpAll();
    EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, 0), 1);
    tavrin::clock::Advance(500);
    PumpAll();
    tavrin::clock::Advance(100);
    PumpAll();
    EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, 0), 3);
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, false);
    PumpAll();
    tavrin::clock::Advance(1000);
    PumpAll();
    EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, 0), 3);
}

TEST(UpDown, BuddyIntegerFollowsThePosition)
{
    ControlHost host;
    HWND buddy = host.Create(WC_STATIC, "", WS_CHILD | WS_VISIBLE, {10, 10, 110, 30}, 5);
    HWND u = host.Create(UPDOWN_CLASS, "", WS_CHILD | WS_VISIBLE | UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT,
                         {0, 0, 16, 20}, 6);
    EXPECT_EQ(SendMessageA(u, UDM_GETBUDDY, 0, 0), reinterpret_cast<LRESULT>(buddy));
    RECT b, s;
    GetWindowRect(buddy, &b);
    GetWindowRect(u, &s);
    EXPECT_EQ(s.right, b.right + 16);
    SendMessageA(u, UDM_SETRANGE32, 0, 50);
    SendMessageA(u, UDM_SETPOS32, 0, 12);
    char text[16] = {};
    GetWindowTextA(buddy, text, sizeof(text));
    EXPECT_STREQ(text, "12");
    SetWindowTextA(buddy, "x");
    EXPECT_EQ(HIWORD(SendMessageA(u, UDM_GETPOS, 0, 0)), 1); // not a number
}
