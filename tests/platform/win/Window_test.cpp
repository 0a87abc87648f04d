#include "platform/win/SystemMetrics.h"

#include "TestWindow.h"

#include <gtest/gtest.h>
#include <thread>

using tavrin::test::CreateRecorderWindow;
using tavrin::test::Recorder;

TEST(Window, CreationKeepsClassStylesParentOwnerAndRectangle)
{
    Recorder recorder;
    HWND frame = CreateRecorderWindow(&recorder);
    HWND child = CreateWindowExA(WS_EX_CLIENTEDGE, tavrin::test::RecorderClass(), "child", WS_CHILD | WS_VISIBLE,
                                 5, 6, 70, 80, frame, reinterpret_cast<HMENU>(1001), nullptr, &recorder);
    HWND popup = CreateWindowExA(0, tavrin::test::RecorderClass(), "popup", WS_POPUP, 0, 0, 10, 10, child, nullptr,
                                 nullptr, &recorder);
    ASSERT_TRUE(frame && child && popup);

    EXPECT_EQ(GetParent(child), frame);
    EXPECT_EQ(GetAncestor(child, GA_ROOT), frame);
    // A popup created with a child as parent is owned by the child's top-level window.
    EXPECT_EQ(GetWindow(popup, GW_OWNER), frame);
    EXPECT_EQ(GetParent(popup), frame);
    EXPECT_EQ(GetParent(frame), nullptr);
    EXPECT_EQ(GetWindow(frame, GW_CHILD), child);
    EXPECT_TRUE(IsChild(frame, child));
    EXPECT_FALSE(IsChild(frame, popup));
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_ID), 1001);
    EXPECT_EQ(GetWindowLongA(child, GWL_STYLE), static_cast<LONG>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(GetWindowLongA(child, GWL_EXSTYLE), static_cast<LONG>(WS_EX_CLIENTEDGE));
    auto window = tavrin::win::Window::FromHandle(child);
    RECT r = window->GetRect();
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.bottom, 86);
    char name[64];
    EXPECT_EQ(GetClassNameA(child, name, sizeof name), 14);
    EXPECT_STREQ(name, "TavrinRecorder");
    EXPECT_EQ(GetWindowThreadProcessId(child, nullptr), GetCurrentThreadId());

    // Creation messages: WM_NCCREATE, the client area, then WM_CREATE.
    auto received = recorder.Take();
    ASSERT_GE(received.size(), 3u);
    EXPECT_EQ(received[0].message, static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(received[1].message, static_cast<UINT>(WM_NCCALCSIZE));
    EXPECT_EQ(received[2].message, static_cast<UINT>(WM_CREATE));

    DestroyWindow(frame);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(popup)); // owned windows go with their owner
}

TEST(Window, DestroyOrderParentsFirstThenNcDestroyChildrenFirst)
{
    static std::vector<std::pair<HWND, UINT>> order;
    order.clear();
    Recorder a, b, c;
    HWND parent = CreateRecorderWindow(&a);
    HWND child = CreateRecorderWindow(&b, parent, WS_CHILD);
    HWND grandchild = CreateRecorderWindow(&c, child, WS_CHILD);
    a.Take();
    b.Take();
    c.Take();
    auto record = [&](Recorder& r, HWND h) {
        r.m_handler = [h](HWND, UINT message, WPARAM, LPARAM, bool*) {
            if (message == WM_DESTROY || message == WM_NCDESTROY)
                order.emplace_back(h, message);
            return LRESULT{0};
        };
    };
    record(a, parent);
    record(b, child);
    record(c, grandchild);
    EXPECT_TRUE(DestroyWindow(parent));
    std::vector<std::pair<HWND, UINT>> expected = {
        {parent, WM_DESTROY},        {child, WM_DESTROY},    {grandchild, WM_DESTROY},
        {grandchild, WM_NCDESTROY}, {child, WM_NCDESTROY},  {parent, WM_NCDESTROY},
    };
    EXPECT_EQ(order, expected);
}

TEST(Window, FailedCreationReturnsNull)
{
    Recorder recorder;
    recorder.m_handler = [](HWND, UINT message, WPARAM, LPARAM, bool* handled) {
        *handled = message == WM_CREATE;
        return LRESULT{-1};
    };
    EXPECT_EQ(CreateRecorderWindow(&recorder), nullptr);
    auto received = recorder.Messages(WM_DESTROY);
    EXPECT_NE(std::find(received.begin(), received.end(), WM_NCDESTROY), received.end());
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(CreateWindowExA(0, tavrin::test::RecorderClass(), "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
}

TEST(Window, ClassesRegisterOnceAndStayWhileTheyHaveWindows)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "TavrinOnce";
    ATOM atom = RegisterClassA(&wc);
    ASSERT_NE(atom, 0);
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    HWND hwnd = CreateWindowExA(0, MAKEINTATOM(atom), "x", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_FALSE(UnregisterClassA("tavrinonce", nullptr));
    WNDCLASSA info;
    EXPECT_TRUE(GetClassInfoA(nullptr, "TAVRINONCE", &info));
    EXPECT_EQ(info.lpfnWndProc, &DefWindowProcA);
    DestroyWindow(hwnd);
    EXPECT_TRUE(UnregisterClassA("TavrinOnce", nullptr));
}

TEST(Window, SubclassingReplacesTheProcedure)
{
    Recorder recorder;
    HWND hwnd = CreateRecorderWindow(&recorder);
    static WNDPROC original;
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == WM_USER + 5)
                return 99;
            return CallWindowProcA(original, h, m, w, l);
        })));
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 5, 0, 0), 99);
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 6, 1, 0), 2);
    DestroyWindow(hwnd);
}

TEST(Window, TextIsCutAtCharacterBoundaries)
{
    Recorder recorder;
    HWND hwnd = CreateRecorderWindow(&recorder);
    EXPECT_TRUE(SetWindowTextA(hwnd, "ab\xc1\xf4\xd1\xd4")); // two GBK characters after "ab"
    EXPECT_EQ(GetWindowTextLengthA(hwnd), 6);
    char buffer[5];
    EXPECT_EQ(GetWindowTextA(hwnd, buffer, sizeof buffer), 4);
    EXPECT_STREQ(buffer, "ab\xc1\xf4");
    char small[4];
    EXPECT_EQ(GetWindowTextA(hwnd, small, sizeof small), 2);
    EXPECT_STREQ(small, "ab");
    DestroyWindow(hwnd);
}

TEST(Window, OnlyTheOwnerThreadDestroysAWindow)
{
    Recorder recorder;
    HWND hwnd = CreateRecorderWindow(&recorder);
    std::thread([&] {
        EXPECT_FALSE(DestroyWindow(hwnd));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }).join();
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(DestroyWindow(hwnd));
}

TEST(SystemMetrics, ScreenSizeHasADefaultAndASetter)
{
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    tavrin::win::SetSystemMetric(SM_CXSCREEN, 800);
    tavrin::win::SetSystemMetric(SM_CYSCREEN, 600);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), 600);
    EXPECT_EQ(GetSystemMetrics(-1), 0);
    tavrin::win::SetSystemMetric(SM_CXSCREEN, width);
    tavrin::win::SetSystemMetric(SM_CYSCREEN, height);
}
