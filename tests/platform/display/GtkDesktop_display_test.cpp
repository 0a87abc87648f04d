// Our windows as the desktop sees them: what the window manager does to a
// frame reaches the program as its messages, shaped windows let clicks
// through, the screen and work area come from the display, the tray and the
// clipboard are shared with other clients, and message boxes nest. The test
// plays the other clients (a pager, a tray, a clipboard owner) itself over its
// own connection to the display server.
#include "platform/base/CodePage.h"
#include "platform/display/GtkPresenter.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Focus.h"
#include "platform/win/Input.h"
#include "platform/win/MessageBox.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/Painting.h"
#include "platform/gdi/RegionObject.h"
#include "platform/win/ShellTray.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/Timer.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowPos.h"
#include "tests/support/DisplayPump.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace tavrin;
using tavrin::test::PumpUntil;

namespace {

constexpr WPARAM kScMinimize = 0xF020;
constexpr WPARAM kScMaximize = 0xF030;
constexpr WPARAM kScClose = 0xF060;
constexpr WPARAM kScRestore = 0xF120;

std::vector<MSG> g_log;
bool g_refuseMinimize = false;
COLORREF g_fill = RGB(0xC0, 0xC0, 0xC0);
LONG g_transparentFrom = -1; // client x from which the popup is HTTRANSPARENT

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSCOMMAND:
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case WM_CLOSE:
    case WM_LBUTTONDOWN:
        g_log.push_back(MSG{hwnd, message, wParam, lParam, 0, {0, 0}});
        break;
    default:
        break;
    }
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == kScMinimize && g_refuseMinimize)
        return 0;
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        HBRUSH brush = CreateSolidBrush(g_fill);
        FillRect(hdc, &client, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK RedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCHITTEST && g_transparentFrom >= 0) {
        POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ScreenToClient(hwnd, &pt);
        if (pt.x >= g_transparentFrom)
            return HTTRANSPARENT;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        HBRUSH red = CreateSolidBrush(RGB(0xFF, 0, 0));
        FillRect(hdc, &client, red);
        DeleteObject(red);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return RecordingProc(hwnd, message, wParam, lParam);
}

bool Logged(HWND hwnd, UINT message, WPARAM wParam)
{
    for (const MSG& m : g_log)
        if (m.hwnd == hwnd && m.message == message && (message == WM_WINDOWPOSCHANGED || message == WM_CLOSE ||
                                                       message == WM_LBUTTONDOWN || m.wParam == wParam))
            return true;
    return false;
}

// The test's own connection: a pager, a tray, a clipboard owner.
class OtherClient {
public:
    OtherClient() : m_display(XOpenDisplay(nullptr)) {}
    ~OtherClient()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    Display* Get() const { return m_display; }
    Atom Intern(const char* name) { return XInternAtom(m_display, name, False); }

    // A request to the window manager about a client window, as a pager sends it.
    void SendToManager(Window window, const char* type, long a, long b = 0, long c = 0, long d = 0, long e = 0)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = Intern(type);
        event.xclient.format = 32;
        event.xclient.data.l[0] = a;
        event.xclient.data.l[1] = b;
        event.xclient.data.l[2] = c;
        event.xclient.data.l[3] = d;
        event.xclient.data.l[4] = e;
        XSendEvent(m_display, DefaultRootWindow(m_display), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XFlush(m_display);
    }

    bool Viewable(Window window)
    {
        XWindowAttributes attributes;
        return XGetWindowAttributes(m_display, window, &attributes) && attributes.map_state == IsViewable;
    }

    // A pixel of the screen as shown (0x00RRGGBB).
    uint32_t ScreenPixel(int x, int y)
    {
        XImage* image = XGetImage(m_display, DefaultRootWindow(m_display), x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image)
            return 0xFFFFFFFF;
        const uint32_t pixel = static_cast<uint32_t>(XGetPixel(image, 0, 0)) & 0x00FFFFFF;
        XDestroyImage(image);
        return pixel;
    }

private:
    Display* m_display;
};

display::GtkPresenter* Start()
{
    if (!std::getenv("DISPLAY"))
        return nullptr;
    return display::StartGtkPresenter();
}

HWND MakeWindow(const char* className, WNDPROC proc, DWORD style, int x, int y, int w, int h, HWND owner = nullptr)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowExA(0, className, "桌面测试", style, x, y, w, h, owner, nullptr, nullptr, nullptr);
}

} // namespace

TEST(GtkDesktopDisplay, ScreenTrayAndLayeredWindowsFollowTheDesktop)
{
    display::GtkPresenter* presenter = Start();
    if (!presenter)
        GTEST_SKIP() << "no display";
    OtherClient other;
    ASSERT_TRUE(other.Get());
    Display* x = other.Get();

    // Screen size and work area come from the display; with no panel there
    // is no taskbar to report.
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), DisplayWidth(x, DefaultScreen(x)));
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), DisplayHeight(x, DefaultScreen(x)));
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    APPBARDATA bar{};
    bar.cbSize = sizeof bar;
    const bool panel = SHAppBarMessage(ABM_GETTASKBARPOS, &bar) != FALSE;
    EXPECT_EQ(panel, work.right - work.left < GetSystemMetrics(SM_CXSCREEN) ||
                         work.bottom - work.top < GetSystemMetrics(SM_CYSCREEN));

    // Per-pixel alpha needs a compositor; without one the lookup says so.
    const bool composited = XGetSelectionOwner(x, other.Intern("_NET_WM_CM_S0")) != None;
    const FARPROC update = GetProcAddress(GetModuleHandleA("user32"), "UpdateLayeredWindow");
    EXPECT_EQ(update != nullptr, composited);
    EXPECT_TRUE(GetProcAddress(GetModuleHandleA("user32"), "SetLayeredWindowAttributes"));

    // No tray on the desktop: the service says so and adds nothing.
    HWND owner = MakeWindow("TavrinTrayOwner", RecordingProc, WS_POPUP, 0, 0, 10, 10);
    ASSERT_TRUE(owner);
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    const Atom traySelection = other.Intern(("_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(x))).c_str());
    ASSERT_EQ(XGetSelectionOwner(x, traySelection), static_cast<Window>(None)) << "a desktop without a tray";
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = owner;
    icon.uID = 7;
    icon.uFlags = NIF_MESSAGE | NIF_TIP;
    icon.uCallbackMessage = WM_USER + 7;
    std::strcpy(icon.szTip, "同学录");
    EXPECT_FALSE(win::IsTrayAvailable());
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &icon));

    // A tray appears: "TaskbarCreated" goes round and icons can be added.
    bool announced = false;
    test::SetPumpFilter([&](const MSG& m) {
        announced = announced || (m.message == taskbarCreated && m.hwnd == owner);
        return false;
    });
    Window tray = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(x, traySelection, tray, CurrentTime);
    XFlush(x);
    EXPECT_TRUE(PumpUntil([&] { return announced; }, 5000));
    test::SetPumpFilter(nullptr);
    EXPECT_TRUE(win::IsTrayAvailable());
    EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &icon));
    EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon));
    XDestroyWindow(x, tray);
    XFlush(x);
    EXPECT_TRUE(PumpUntil([] { return !win::IsTrayAvailable(); }, 5000));
    DestroyWindow(owner);
}

TEST(GtkDesktopDisplay, DesktopActionsArriveAsSystemCommands)
{
    display::GtkPresenter* presenter = Start();
    if (!presenter)
        GTEST_SKIP() << "no display";
    OtherClient other;
    ASSERT_TRUE(other.Get());
    g_log.clear();
    HWND frame = MakeWindow("TavrinDesktopFrame", RecordingProc, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 360, 240);
    ASSERT_TRUE(frame);
    const Window xid = presenter->GetNativeWindow(frame);
    ASSERT_NE(xid, 0u);
    ASSERT_TRUE(PumpUntil([&] { return other.Viewable(xid); }));
    Display* x = other.Get();
    const int screen = DefaultScreen(x);

    // Minimised from the desktop (a pager's request).
    g_log.clear();
    XIconifyWindow(other.Get(), xid, screen);
    XFlush(other.Get());
    ASSERT_TRUE(PumpUntil([&] { return Logged(frame, WM_SIZE, SIZE_MINIMIZED); }));
    EXPECT_TRUE(Logged(frame, WM_SYSCOMMAND, kScMinimize));
    EXPECT_TRUE(IsIconic(frame));

    // Brought back.
    g_log.clear();
    other.SendToManager(xid, "_NET_ACTIVE_WINDOW", 2, CurrentTime);
    ASSERT_TRUE(PumpUntil([&] { return Logged(frame, WM_SIZE, SIZE_RESTORED); }));
    EXPECT_TRUE(Logged(frame, WM_SYSCOMMAND, kScRestore));
    EXPECT_FALSE(IsIconic(frame));
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == frame; }));

    // Moved by the desktop: the client area lands where the desktop put it.
    g_log.clear();
    const long flags = 10 /* StaticGravity */ | (1 << 8) | (1 << 9) | (2 << 12);
    other.SendToManager(xid, "_NET_MOVERESIZE_WINDOW", flags, 200, 150);
    ASSERT_TRUE(PumpUntil([&] {
        POINT origin{0, 0};
        ClientToScreen(frame, &origin);
        return origin.x == 200 && origin.y == 150;
    }));
    EXPECT_TRUE(Logged(frame, WM_WINDOWPOSCHANGED, 0));

    // Maximised and restored.
    g_log.clear();
    const Atom vert = other.Intern("_NET_WM_STATE_MAXIMIZED_VERT");
    const Atom horz = other.Intern("_NET_WM_STATE_MAXIMIZED_HORZ");
    other.SendToManager(xid, "_NET_WM_STATE", 1 /* add */, static_cast<long>(vert), static_cast<long>(horz), 2);
    ASSERT_TRUE(PumpUntil([&] { return Logged(frame, WM_SIZE, SIZE_MAXIMIZED); }));
    EXPECT_TRUE(Logged(frame, WM_SYSCOMMAND, kScMaximize));
    EXPECT_TRUE(IsZoomed(frame));
    g_log.clear();
    other.SendToManager(xid, "_NET_WM_STATE", 0 /* remove */, static_cast<long>(vert), static_cast<long>(horz), 2);
    ASSERT_TRUE(PumpUntil([&] { return Logged(frame, WM_SIZE, SIZE_RESTORED); }));
    EXPECT_TRUE(Logged(frame, WM_SYSCOMMAND, kScRestore));
    EXPECT_FALSE(IsZoomed(frame));

    // A program that refuses to be minimised stays on screen.
    g_log.clear();
    g_refuseMinimize = true;
    XIconifyWindow(other.Get(), xid, screen);
    XFlush(other.Get());
    ASSERT_TRUE(PumpUntil([&] { return Logged(frame, WM_SYSCOMMAND, kScMinimize); }));
    EXPECT_TRUE(PumpUntil([&] { return other.Viewable(xid); }));
    EXPECT_FALSE(IsIconic(frame));
    g_refuseMinimize = false;

    // The close box: the system command, then WM_CLOSE, and the window goes.
    g_log.clear();
    other.SendToManager(xid, "_NET_CLOSE_WINDOW", CurrentTime, 2);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(frame); }));
    ASSERT_GE(g_log.size(), 2u);
    EXPECT_EQ(g_log[0].message, static_cast<UINT>(WM_SYSCOMMAND));
    EXPECT_EQ(g_log[0].wParam & 0xFFF0, kScClose);
    EXPECT_TRUE(Logged(frame, WM_CLOSE, 0));
}

TEST(GtkDesktopDisplay, RegionShapesTheWindowAndTransparentPartsPassClicks)
{
    display::GtkPresenter* presenter = Start();
    if (!presenter)
        GTEST_SKIP() << "no display";
    OtherClient other;
    ASSERT_TRUE(other.Get());
    g_log.clear();
    HWND frame = MakeWindow("TavrinUnderFrame", RecordingProc, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 80, 80, 400, 300);
    ASSERT_TRUE(frame);
    ASSERT_TRUE(PumpUntil([&] { return other.Viewable(presenter->GetNativeWindow(frame)); }));
    POINT origin{0, 0};
    ClientToScreen(frame, &origin);
    // A popup over the frame, shaped to its left half.
    HWND popup = MakeWindow("TavrinShapedPopup", RedProc, WS_POPUP, origin.x + 40, origin.y + 40, 200, 100, frame);
    ASSERT_TRUE(popup);
    SetWindowRgn(popup, CreateRectRgn(0, 0, 100, 100), TRUE);
    ShowWindow(popup, SW_SHOWNOACTIVATE);
    UpdateWindow(popup);
    UpdateWindow(frame);
    ASSERT_TRUE(PumpUntil([&] {
        presenter->Flush();
        return other.ScreenPixel(origin.x + 60, origin.y + 60) == 0xFF0000 &&
               other.ScreenPixel(origin.x + 200, origin.y + 60) == 0xC0C0C0;
    }, 5000)) << "inside the region the popup, outside it the frame below";

    // Outside the region a click goes to the frame below, inside to the popup.
    ASSERT_TRUE(presenter->SimulateClick(frame, 200, 60, 1));
    ASSERT_TRUE(PumpUntil([&] { return Logged(frame, WM_LBUTTONDOWN, 0); }));
    EXPECT_EQ(g_log.back().lParam, MAKELPARAM(200, 60));
    EXPECT_FALSE(Logged(popup, WM_LBUTTONDOWN, 0));
    g_log.clear();
    ASSERT_TRUE(presenter->SimulateClick(frame, 60, 60, 1));
    ASSERT_TRUE(PumpUntil([&] { return Logged(popup, WM_LBUTTONDOWN, 0); }));
    EXPECT_EQ(g_log.back().lParam, MAKELPARAM(20, 20));

    // Where the popup answers HTTRANSPARENT, the click goes through to the frame.
    g_log.clear();
    g_transparentFrom = 50;
    ASSERT_TRUE(presenter->SimulateClick(frame, 120, 70, 1));
    ASSERT_TRUE(PumpUntil([&] { return Logged(frame, WM_LBUTTONDOWN, 0); }));
    EXPECT_EQ(g_log.back().lParam, MAKELPARAM(120, 70));
    EXPECT_FALSE(Logged(popup, WM_LBUTTONDOWN, 0));
    g_transparentFrom = -1;
    DestroyWindow(popup);
    DestroyWindow(frame);
}

TEST(GtkDesktopDisplay, ClipboardTextGoesBothWays)
{
    display::GtkPresenter* presenter = Start();
    if (!presenter)
        GTEST_SKIP() << "no display";
    OtherClient owner;
    ASSERT_TRUE(owner.Get());
    Display* x = owner.Get();
    const Atom clipboard = owner.Intern("CLIPBOARD");
    const Atom utf8 = owner.Intern("UTF8_STRING");
    const Atom targets = owner.Intern("TARGETS");
    const std::string theirs = GbkToUtf8("别的程序复制的");

    // Another program owns the clipboard and serves its text until it loses it.
    Window window = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(x, clipboard, window, CurrentTime);
    XFlush(x);
    ASSERT_EQ(XGetSelectionOwner(x, clipboard), window);
    std::atomic<bool> lost{false};
    std::thread server([&] {
        for (;;) {
            XEvent event;
            XNextEvent(x, &event);
            if (event.type == SelectionClear) {
                lost = true;
                return;
            }
            if (event.type != SelectionRequest)
                continue;
            const XSelectionRequestEvent& request = event.xselectionrequest;
            XEvent reply{};
            reply.xselection.type = SelectionNotify;
            reply.xselection.requestor = request.requestor;
            reply.xselection.selection = request.selection;
            reply.xselection.target = request.target;
            reply.xselection.time = request.time;
            reply.xselection.property = request.property;
            if (request.target == targets) {
                Atom offered[] = {targets, utf8};
                XChangeProperty(x, request.requestor, request.property, XA_ATOM, 32, PropModeReplace,
                                reinterpret_cast<unsigned char*>(offered), 2);
            } else if (request.target == utf8) {
                XChangeProperty(x, request.requestor, request.property, utf8, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(theirs.data()), static_cast<int>(theirs.size()));
            } else {
                reply.xselection.property = None;
            }
            XSendEvent(x, request.requestor, False, 0, &reply);
            XFlush(x);
        }
    });
    // The program reads and writes through the clipboard calls.
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_TEXT);
    ASSERT_TRUE(data);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(data)), "别的程序复制的");
    GlobalUnlock(data);
    ASSERT_TRUE(CloseClipboard());

    // We copy: the other program loses the clipboard and reads our text.
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, sizeof("程序复制的"));
    std::memcpy(GlobalLock(copy), "程序复制的", sizeof("程序复制的"));
    GlobalUnlock(copy);
    ASSERT_EQ(SetClipboardData(CF_TEXT, copy), copy);
    ASSERT_TRUE(CloseClipboard());
    ASSERT_TRUE(PumpUntil([&] { return lost.load(); }));
    server.join();
    const Atom property = owner.Intern("TAVRIN_TEST_PASTE");
    XConvertSelection(x, clipboard, utf8, property, window, CurrentTime);
    XFlush(x);
    std::atomic<bool> pasted{false};
    std::string ours;
    std::thread reader([&] {
        XEvent event;
        do
            XNextEvent(x, &event);
        while (event.type != SelectionNotify);
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        if (event.xselection.property != None &&
            XGetWindowProperty(x, window, property, 0, 4096, True, AnyPropertyType, &type, &format, &count, &after,
                               &data) == Success &&
            data) {
            ours.assign(reinterpret_cast<const char*>(data), count);
            XFree(data);
        }
        pasted = true;
    });
    const bool served = PumpUntil([&] { return pasted.load(); }, 5000);
    if (!served) {
        // Wake the reader so the test can end.
        XEvent wake{};
        wake.xselection.type = SelectionNotify;
        wake.xselection.property = None;
        Display* other = XOpenDisplay(nullptr);
        XSendEvent(other, window, False, 0, &wake);
        XFlush(other);
        XCloseDisplay(other);
    }
    reader.join();
    EXPECT_TRUE(served);
    EXPECT_EQ(ours, GbkToUtf8("程序复制的"));
    XDestroyWindow(x, window);
}

TEST(GtkDesktopDisplay, MessageBoxesNestInsideTheirModalLoops)
{
    display::GtkPresenter* presenter = Start();
    if (!presenter)
        GTEST_SKIP() << "no display";
    win::ClearMessageBoxAnswers();
    win::TakeMessageBoxLog();
    HWND frame = MakeWindow("TavrinBoxOwner", RecordingProc, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    ASSERT_TRUE(frame);
    ASSERT_TRUE(PumpUntil([&] { return presenter->GetNativeWindow(frame) != 0; }));

    // Inside the outer box's loop a message opens an inner box; inside that
    // one a timer still runs and answers it; then the outer one is answered.
    struct Nest {
        int inner = 0;
        bool ownerDisabled = false;
        int ticks = 0;
    } nest;
    static Nest* current;
    current = &nest;
    static display::GtkPresenter* shown;
    shown = presenter;
    WNDCLASSA wc{};
    wc.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_USER + 1) {
            SetTimer(hwnd, 1, 10, nullptr);
            current->inner = MessageBoxA(hwnd, "里面的问题?", "内层", MB_YESNO | MB_ICONQUESTION);
            current->ownerDisabled = !IsWindowEnabled(GetWindow(hwnd, GW_OWNER));
            PostMessageA(hwnd, WM_USER + 2, 0, 0);
            return 0;
        }
        if (message == WM_TIMER && wParam == 1) {
            if (++current->ticks == 3) {
                KillTimer(hwnd, 1);
                shown->AnswerDialog(IDNO);
            }
            return 0;
        }
        if (message == WM_USER + 2) {
            shown->AnswerDialog(IDOK);
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    };
    wc.lpszClassName = "TavrinBoxHelper";
    RegisterClassA(&wc);
    HWND helper = CreateWindowExA(0, "TavrinBoxHelper", "", WS_POPUP, 0, 0, 1, 1, frame, nullptr, nullptr, nullptr);
    ASSERT_TRUE(helper);
    PostMessageA(helper, WM_USER + 1, 0, 0);
    const int outer = MessageBoxA(frame, "外面的消息", "外层", MB_OKCANCEL);
    EXPECT_EQ(outer, IDOK);
    EXPECT_EQ(nest.inner, IDNO);
    EXPECT_EQ(nest.ticks, 3);
    EXPECT_TRUE(nest.ownerDisabled) << "the outer box keeps its owner disabled";
    EXPECT_TRUE(IsWindowEnabled(frame));
    const auto log = win::TakeMessageBoxLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].caption, "内层");
    EXPECT_EQ(log[1].caption, "外层");
    DestroyWindow(helper);
    DestroyWindow(frame);
}
