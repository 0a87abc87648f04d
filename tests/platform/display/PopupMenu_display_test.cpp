// The popup menu on a real display: the X server's test extension moves the
// pointer, clicks and types from a thread of its own while our thread runs
// the menu's loop; the screen's pixels show the highlight.
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/win/User.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

// Last: the X headers define macros (None, Bool, Status) others trip over.
#include "tests/support/XTestClient.h"

using namespace tavrin;

namespace {

std::vector<MSG> g_commands;

int64_t NowMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        g_commands.push_back(MSG{hwnd, message, wParam, lParam, 0, {0, 0}});
    if (message == WM_APP) { // the helper gave up: the menu must not hang the test
        EndMenu();
        return 0;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

using XClient = tavrin::test::XTestClient;

uint32_t Rgb(COLORREF c)
{
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

bool WaitFor(const std::function<bool()>& done, int ms = 10000)
{
    const int64_t end = NowMs() + ms;
    while (NowMs() < end) {
        if (done())
            return true;
        const timespec pause{0, 20 * 1000000};
        nanosleep(&pause, nullptr);
    }
    return done();
}

// Runs the helper's script while this thread tracks the menu.
UINT TrackWith(HWND frame, HMENU menu, UINT flags, int x, int y, const std::function<bool(XClient&)>& script,
               bool* scriptOk)
{
    std::atomic<bool> ok{false};
    std::thread helper([&] {
        XClient x11;
        ok = x11.Ok() && script(x11);
        if (!ok)
            PostMessageA(frame, WM_APP, 0, 0);
    });
    const UINT result = static_cast<UINT>(TrackPopupMenu(menu, flags, x, y, 0, frame, nullptr));
    helper.join();
    *scriptOk = ok;
    return result;
}

// The menu's popup as it shows: its item's screen rectangle, once on screen.
bool ItemShown(XClient& x11, HWND frame, HMENU menu, UINT index, RECT& item)
{
    return WaitFor([&] {
        if (!GetMenuItemRect(frame, menu, index, &item))
            return false;
        return x11.Pixel(item.right - 4, (item.top + item.bottom) / 2) == Rgb(GetSysColor(COLOR_MENU));
    });
}

void Pump(int ms)
{
    const int64_t end = NowMs() + ms;
    MSG msg;
    while (NowMs() < end) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

} // namespace

TEST(PopupMenuDisplay, TrackedByRealMouseAndKeys)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);
    WNDCLASSA wc{};
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "TavrinPopupFrame";
    RegisterClassA(&wc);
    HWND frame = CreateWindowExA(0, "TavrinPopupFrame", "菜单测试", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 400,
                                 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(frame);
    HMENU root = LoadMenuA(nullptr, MAKEINTRESOURCEA(157));
    HMENU tray = GetSubMenu(root, 0);
    SetMenuDefaultItem(tray, 32865, FALSE);
    // The frame on screen and holding the keyboard.
    bool shown = false;
    for (int i = 0; i < 200 && !shown; ++i) {
        Pump(50);
        presenter->Flush();
        auto shot = presenter->CaptureWindow(frame);
        shown = shot && shot->Width() > 100;
    }
    ASSERT_TRUE(shown);
    ASSERT_TRUE(presenter->SimulateClick(frame, 20, 20, 1));
    Pump(300);
    RECT frameRect;
    GetWindowRect(frame, &frameRect);

    // Hovering highlights the item; a click sends its command after the call.
    bool ok = false;
    RECT item{};
    g_commands.clear();
    std::unique_ptr<Surface> picture;
    UINT result = TrackWith(frame, tray, 0, frameRect.left + 100, frameRect.top + 80, [&](XClient& x11) {
        if (!ItemShown(x11, frame, tray, 2, item))
            return false;
        x11.Move(item.left + 30, (item.top + item.bottom) / 2);
        const bool lit = WaitFor([&] {
            return x11.Pixel(item.right - 4, (item.top + item.bottom) / 2) == Rgb(GetSysColor(COLOR_HIGHLIGHT));
        });
        RECT popup;
        GetWindowRect(FindWindowA(POPUPMENU_CLASS, nullptr), &popup);
        picture = x11.Grab(popup.left, popup.top, popup.right, popup.bottom);
        if (!lit)
            return false;
        x11.Click(item.left + 30, (item.top + item.bottom) / 2);
        return true;
    }, &ok);
    if (picture)
        SavePng(*picture, "popup-menu-display.png");
    EXPECT_TRUE(ok) << "the hovered item was highlighted on screen";
    EXPECT_EQ(result, static_cast<UINT>(TRUE));
    EXPECT_TRUE(g_commands.empty()) << "posted, not sent";
    Pump(200);
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0].wParam, MAKEWPARAM(32773, 0));

    // TPM_RETURNCMD gives the id of the clicked item.
    result = TrackWith(frame, tray, TPM_RETURNCMD, frameRect.left + 100, frameRect.top + 80, [&](XClient& x11) {
        if (!ItemShown(x11, frame, tray, 9, item))
            return false;
        x11.Click(item.left + 20, (item.top + item.bottom) / 2);
        return true;
    }, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(result, 57665u);

    // Esc, and a click outside the menu, dismiss it.
    g_commands.clear();
    result = TrackWith(frame, tray, TPM_RETURNCMD, frameRect.left + 100, frameRect.top + 80, [&](XClient& x11) {
        if (!ItemShown(x11, frame, tray, 0, item))
            return false;
        x11.Key("Escape");
        return WaitFor([&] { return !FindWindowA(POPUPMENU_CLASS, nullptr); });
    }, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(result, 0u);
    result = TrackWith(frame, tray, 0, frameRect.left + 100, frameRect.top + 80, [&](XClient& x11) {
        if (!ItemShown(x11, frame, tray, 0, item))
            return false;
        x11.Click(frameRect.right - 30, frameRect.bottom - 30);
        return WaitFor([&] { return !FindWindowA(POPUPMENU_CLASS, nullptr); });
    }, &ok);
    EXPECT_TRUE(ok);
    Pump(200);
    EXPECT_TRUE(g_commands.empty());

    // Opened at the screen's corner it stays on the work area.
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT popup{};
    result = TrackWith(frame, tray, TPM_RETURNCMD, work.right - 3, work.bottom - 3, [&](XClient& x11) {
        if (!ItemShown(x11, frame, tray, 0, item))
            return false;
        GetWindowRect(FindWindowA(POPUPMENU_CLASS, nullptr), &popup);
        const bool onScreen = x11.Pixel(popup.left + 1, popup.bottom - 5) != 0xFFFFFFFF;
        x11.Key("Escape");
        return onScreen;
    }, &ok);
    EXPECT_TRUE(ok);
    EXPECT_GE(popup.left, work.left);
    EXPECT_GE(popup.top, work.top);
    EXPECT_LE(popup.right, work.right);
    EXPECT_LE(popup.bottom, work.bottom);
    EXPECT_GT(popup.bottom - popup.top, 100);

    DestroyMenu(root);
    DestroyWindow(frame);
}
