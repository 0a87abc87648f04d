#include "WindowLog.h"

#include <gtest/gtest.h>

using tavrin::test::WindowLog;

namespace {

RECT Rect(int l, int t, int r, int b)
{
    return RECT{l, t, r, b};
}

// The hooks under test write what they see here.
std::vector<std::string> g_calls;
HHOOK g_first, g_second, g_third;

} // namespace

TEST(Hooks, NewestFirstAndCallNextHookExWalksTheChain)
{
    g_calls.clear();
    g_first = SetWindowsHookExA(
        WH_GETMESSAGE,
        [](int code, WPARAM wParam, LPARAM lParam) {
            g_calls.push_back("first");
            return CallNextHookEx(g_first, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    g_second = SetWindowsHookExA(
        WH_GETMESSAGE,
        [](int code, WPARAM wParam, LPARAM lParam) {
            g_calls.push_back("second");
            auto* msg = reinterpret_cast<MSG*>(lParam);
            if (msg->message == WM_USER + 1)
                msg->wParam = 42; // get-message hooks may change the message
            return CallNextHookEx(g_second, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 1, 1, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 42u);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"second", "first"}));
    UnhookWindowsHookEx(g_first);
    UnhookWindowsHookEx(g_second);
    EXPECT_FALSE(UnhookWindowsHookEx(g_second));
}

TEST(Hooks, UnhookingAndHookingInsideAHookIsSafe)
{
    g_calls.clear();
    g_first = SetWindowsHookExA(
        WH_GETMESSAGE,
        [](int code, WPARAM wParam, LPARAM lParam) {
            g_calls.push_back("first");
            return CallNextHookEx(g_first, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    g_second = SetWindowsHookExA(
        WH_GETMESSAGE,
        [](int code, WPARAM wParam, LPARAM lParam) {
            g_calls.push_back("second");
            // Removes itself and the next one, and adds a new one: the chain
            // being called skips the removed one and leaves the new one out.
            UnhookWindowsHookEx(g_second);
            UnhookWindowsHookEx(g_first);
            g_third = SetWindowsHookExA(
                WH_GETMESSAGE,
                [](int c, WPARAM w, LPARAM l) {
                    g_calls.push_back("third");
                    return CallNextHookEx(g_third, c, w, l);
                },
                nullptr, GetCurrentThreadId());
            return CallNextHookEx(g_second, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    PostThreadMessageA(GetCurrentThreadId(), WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(g_calls, (std::vector<std::string>{"second"}));
    g_calls.clear();
    PostThreadMessageA(GetCurrentThreadId(), WM_USER, 0, 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(g_calls, (std::vector<std::string>{"third"}));
    UnhookWindowsHookEx(g_third);
}

TEST(Hooks, CallWindowProcedureHookSeesSendsButNotPosts)
{
    WindowLog log;
    HWND hwnd = log.Create("w", WS_POPUP, Rect(0, 0, 10, 10));
    static std::vector<UINT> seen;
    seen.clear();
    g_first = SetWindowsHookExA(
        WH_CALLWNDPROC,
        [](int code, WPARAM wParam, LPARAM lParam) {
            auto* cwp = reinterpret_cast<CWPSTRUCT*>(lParam);
            if (cwp->message >= WM_USER)
                seen.push_back(cwp->message);
            return CallNextHookEx(g_first, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    SendMessageA(hwnd, WM_USER + 1, 0, 0);
    PostMessageA(hwnd, WM_USER + 2, 0, 0);
    tavrin::test::Pump();
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 1}));
    EXPECT_EQ(log.Of(WM_USER + 2).size(), 1u);
    UnhookWindowsHookEx(g_first);
    DestroyWindow(hwnd);
}

TEST(Hooks, KeyboardAndMouseHooksSwallowInput)
{
    WindowLog log;
    HWND frame = log.Create("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(0, 0, 300, 300));
    SetFocus(frame);
    static std::vector<std::pair<int, WPARAM>> keys;
    keys.clear();
    g_first = SetWindowsHookExA(
        WH_KEYBOARD,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            keys.emplace_back(code, wParam);
            if (code == HC_ACTION && wParam == 'X' && !(lParam & (1u << 31)))
                return 1; // swallow the press of X
            return CallNextHookEx(g_first, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    g_second = SetWindowsHookExA(
        WH_MOUSE,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            auto* info = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam);
            if (code == HC_ACTION && wParam == WM_RBUTTONDOWN) {
                EXPECT_EQ(info->wHitTestCode, static_cast<UINT>(HTCLIENT));
                EXPECT_EQ(info->pt.x, 100); // screen coordinates
                return 1;
            }
            return CallNextHookEx(g_second, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    log.Clear();
    tavrin::win::InjectKey('X', true);
    tavrin::win::InjectKey('X', false);
    tavrin::win::InjectKey('Y', true);
    tavrin::win::InjectClick(100, 100, tavrin::win::MouseButton::Right);
    tavrin::test::Pump();
    EXPECT_TRUE(log.Of(WM_KEYDOWN).size() == 1 && log.Of(WM_KEYDOWN)[0].wParam == 'Y');
    EXPECT_EQ(log.Of(WM_KEYUP).size(), 1u);
    EXPECT_TRUE(log.Of(WM_RBUTTONDOWN).empty());
    EXPECT_EQ(log.Of(WM_RBUTTONUP).size(), 1u);
    EXPECT_EQ(keys.size(), 3u);
    // The thread's key state follows the keys it took from its queue.
    EXPECT_EQ(GetKeyState('X') & 0x8000, 0);
    EXPECT_NE(GetKeyState('Y') & 0x8000, 0);
    UnhookWindowsHookEx(g_first);
    UnhookWindowsHookEx(g_second);
    DestroyWindow(frame);
}

TEST(Subclassing, ChainsRunNewestFirstAndUnwindInOrder)
{
    WindowLog log;
    HWND hwnd = log.Create("w", WS_POPUP, Rect(0, 0, 10, 10));
    static WNDPROC original, middle;
    static std::vector<std::string> order;
    order.clear();
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == WM_USER + 7)
                order.push_back("inner");
            return CallWindowProcA(original, h, m, w, l);
        })));
    middle = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == WM_USER + 7) {
                order.push_back("outer");
                return CallWindowProcA(middle, h, m, w + 1, l) * 10; // may change arguments and result
            }
            if (m == WM_USER + 8)
                return 5; // consumed: the inner ones never see it
            return CallWindowProcA(middle, h, m, w, l);
        })));
    ASSERT_NE(original, nullptr);
    ASSERT_NE(middle, nullptr);
    log.m_handler = [](HWND, UINT m, WPARAM, LPARAM, LRESULT* result) {
        *result = 3;
        return m == WM_USER + 7;
    };
    log.Clear();
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 7, 0, 0), 30);
    EXPECT_EQ(order, (std::vector<std::string>{"outer", "inner"}));
    ASSERT_EQ(log.Of(WM_USER + 7).size(), 1u);
    EXPECT_EQ(log.Of(WM_USER + 7)[0].wParam, 1u);
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 8, 0, 0), 5);
    EXPECT_TRUE(log.Of(WM_USER + 8).empty());
    // Unwinding puts each previous procedure back.
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(middle));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    order.clear();
    SendMessageA(hwnd, WM_USER + 7, 0, 0);
    EXPECT_TRUE(order.empty());
    DestroyWindow(hwnd);
}
