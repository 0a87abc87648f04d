// The window manager's own controls on a real desktop: a view scrolled by
// clicking and dragging its bar, a dialog from a template operated by real
// keys and the mouse, and a size grip handing the resize to the desktop.
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/win/User.h"
#include "tests/support/DisplayPump.h"
#include "tests/support/TestControls.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

using namespace tavrin;
using tavrin::test::PumpUntil;

namespace {

constexpr int kLine = 20;

// A line's own colour, so one pixel tells which line shows.
COLORREF LineColour(int line)
{
    return RGB(line * 2, 255 - line * 2, (line % 2) ? 60 : 200);
}

int g_pos = 0;
// Runs at each SB_THUMBTRACK: the drag goes on from inside the bar's own loop.
std::function<void(int)> g_onTrack;

LRESULT CALLBACK ViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        for (int y = 0, line = g_pos; y < client.bottom; y += kLine, ++line) {
            RECT band{0, y, client.right, y + kLine};
            HBRUSH brush = CreateSolidBrush(LineColour(line));
            FillRect(hdc, &band, brush);
            DeleteObject(brush);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_VSCROLL: {
        SCROLLINFO info{sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(hwnd, SB_VERT, &info);
        int pos = info.nPos;
        switch (LOWORD(wParam)) {
        case SB_LINEUP: --pos; break;
        case SB_LINEDOWN: ++pos; break;
        case SB_PAGEUP: pos -= static_cast<int>(info.nPage); break;
        case SB_PAGEDOWN: pos += static_cast<int>(info.nPage); break;
        case SB_THUMBTRACK:
            pos = info.nTrackPos;
            if (g_onTrack)
                g_onTrack(pos);
            break;
        default: break;
        }
        pos = std::max(0, std::min(pos, info.nMax - static_cast<int>(info.nPage) + 1));
        if (pos != g_pos) {
            ScrollWindow(hwnd, 0, (g_pos - pos) * kLine, nullptr, nullptr);
            g_pos = pos;
            SetScrollPos(hwnd, SB_VERT, pos, TRUE);
            UpdateWindow(hwnd);
        }
        return 0;
    }
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MakeFrame(const char* title, int w, int h)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
    wc.lpszClassName = "TavrinWmFrame";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "TavrinWmFrame", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, w, h, nullptr,
                           nullptr, nullptr, nullptr);
}

uint32_t Pixel(display::GtkPresenter* presenter, HWND frame, int x, int y)
{
    presenter->Flush();
    auto shot = presenter->CaptureWindow(frame);
    return shot && x < shot->Width() && y < shot->Height() ? (shot->GetPixel(x, y) & 0x00FFFFFF) : 0xFFFFFFFF;
}

uint32_t Rgb(COLORREF c)
{
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

// A point of a child window (window coordinates) in the frame's client area.
POINT InFrame(HWND child, int x, int y)
{
    RECT r;
    GetWindowRect(child, &r);
    POINT pt{r.left + x, r.top + y};
    ScreenToClient(GetAncestor(child, GA_ROOT), &pt);
    return pt;
}

} // namespace

TEST(WindowManagerDisplay, AViewScrollsByClickingAndDraggingItsBar)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);
    HWND frame = MakeFrame("滚动", 320, 320);
    WNDCLASSA wc{};
    wc.lpfnWndProc = ViewProc;
    wc.lpszClassName = "TavrinWmView";
    RegisterClassA(&wc);
    HWND view = CreateWindowExA(0, "TavrinWmView", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL, 10, 10, 200,
                                202, frame, nullptr, nullptr, nullptr);
    ASSERT_TRUE(view);
    g_pos = 0;
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
    SetScrollInfo(view, SB_VERT, &info, TRUE);
    const POINT sample = InFrame(view, 6, 6);
    ASSERT_TRUE(PumpUntil([&] { return Pixel(presenter, frame, sample.x, sample.y) == Rgb(LineColour(0)); }, 5000));

    win::ScrollBarLayout l;
    ASSERT_TRUE(win::GetScrollBarLayout(view, SB_VERT, &l));
    const int x = (l.bar.left + l.bar.right) / 2;
    const POINT down = InFrame(view, x, l.bar.bottom - l.arrow / 2);
    // The bar is drawn: a raised thumb under the up arrow, the track below it.
    const POINT thumb = InFrame(view, x, l.bar.top + l.thumbStart + l.thumbSize / 2);
    EXPECT_EQ(Pixel(presenter, frame, thumb.x, thumb.y), Rgb(GetSysColor(COLOR_BTNFACE)));

    ASSERT_TRUE(presenter->SimulateClick(frame, down.x, down.y, 1));
    // On a loaded machine the release can come late enough for the held arrow
    // to repeat: count from where each press leaves the view.
    ASSERT_TRUE(PumpUntil([&] { return g_pos >= 1 && GetCapture() == nullptr; }, 5000));
    const int afterClick = g_pos;
    ASSERT_TRUE(presenter->SimulateDoubleClick(frame, down.x, down.y, 1));
    ASSERT_TRUE(PumpUntil([&] { return g_pos >= afterClick + 2 && GetCapture() == nullptr; }, 5000))
        << "a double click scrolls twice";
    const int scrolled = g_pos;
    ASSERT_TRUE(
        PumpUntil([&] { return Pixel(presenter, frame, sample.x, sample.y) == Rgb(LineColour(scrolled)); }, 5000));

    // Dragging the thumb down by half its travel shows the middle lines.
    ASSERT_TRUE(win::GetScrollBarLayout(view, SB_VERT, &l));
    const POINT grab = InFrame(view, x, l.bar.top + l.thumbStart + l.thumbSize / 2);
    const int travel = (l.bar.bottom - l.bar.top) - 2 * l.arrow - l.thumbSize;
    const int startOffset = l.thumbStart - l.arrow;
    const int target = travel / 2;
    const int expected = (target * 90 + travel / 2) / travel;
    const int endY = grab.y + (target - startOffset);
    std::vector<int> tracked;
    g_onTrack = [&](int pos) {
        tracked.push_back(pos);
        if (tracked.size() == 1)
            presenter->SimulatePointer(frame, grab.x, endY);
        else if (pos == expected)
            presenter->SimulateButton(frame, grab.x, endY, 1, false);
    };
    ASSERT_TRUE(presenter->SimulateButton(frame, grab.x, grab.y, 1, true));
    ASSERT_TRUE(presenter->SimulatePointer(frame, grab.x, grab.y + 20));
    ASSERT_TRUE(PumpUntil([&] { return tracked.size() >= 2 && GetCapture() == nullptr; }, 10000))
        << tracked.size() << " for " << expected;
    g_onTrack = nullptr;
    EXPECT_GT(tracked[0], scrolled);
    EXPECT_EQ(tracked.back(), expected);
    EXPECT_EQ(GetScrollPos(view, SB_VERT), expected);
    const bool shown =
        PumpUntil([&] { return Pixel(presenter, frame, sample.x, sample.y) == Rgb(LineColour(expected)); }, 5000);
    presenter->Flush();
    if (auto shot = presenter->CaptureWindow(frame))
        SavePng(*shot, "wm-scrolled.png");
    EXPECT_TRUE(shown);
    DestroyWindow(frame);
}

TEST(WindowManagerDisplay, ADialogTemplateIsOperatedByKeysAndMouse)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);
    test::RegisterTestControls();
    test::TemplateBuilder t("账号属性", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE, 20, 20, 202,
                            84, "宋体", 9);
    t.Add("TestLabel", "用户名(&U):", 1100, WS_VISIBLE, 7, 27, 28, 8)
        .Add("TestEdit", "", 1019, WS_VISIBLE | WS_TABSTOP, 37, 25, 61, 14)
        .Add("TestEdit", "", 1020, WS_VISIBLE | WS_TABSTOP, 134, 25, 61, 14)
        .Add("TestCheck", "密码保护(&P)", 1077, WS_VISIBLE | WS_TABSTOP | WS_GROUP, 37, 45, 48, 10)
        .Add("TestRadio", "甲", 1080, WS_VISIBLE | WS_TABSTOP | WS_GROUP, 100, 45, 30, 10)
        .Add("TestRadio", "乙", 1081, WS_VISIBLE, 140, 45, 30, 10)
        .Add("TestButton", "确定", IDOK, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 28, 63, 50, 14)
        .Add("TestButton", "取消", IDCANCEL, WS_VISIBLE | WS_TABSTOP, 127, 63, 50, 14);
    static std::vector<UINT> commands;
    commands.clear();
    DLGPROC proc = [](HWND, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND)
            commands.push_back(LOWORD(wParam));
        return message == WM_INITDIALOG || message == WM_COMMAND;
    };
    HWND dialog = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, proc, 0);
    ASSERT_TRUE(dialog);
    test::SetPumpFilter([&](const MSG& m) {
        MSG copy = m;
        return IsWindow(dialog) && IsDialogMessageA(dialog, &copy);
    });
    ASSERT_TRUE(PumpUntil([&] { return presenter->GetNativeWindow(dialog) != 0 && GetForegroundWindow() == dialog; }, 5000));
    ASSERT_TRUE(PumpUntil([&] { return GetDlgCtrlID(GetFocus()) == 1019; }, 5000));

    // The controls lie where the template puts them, in pixels of its font.
    RECT edit{134, 25, 134 + 61, 25 + 14};
    MapDialogRect(dialog, &edit);
    ASSERT_TRUE(PumpUntil([&] {
        return Pixel(presenter, dialog, edit.left, edit.top) == Rgb(GetSysColor(COLOR_WINDOWFRAME)) &&
               Pixel(presenter, dialog, edit.left + 3, edit.top + 3) == Rgb(GetSysColor(COLOR_WINDOW)) &&
               Pixel(presenter, dialog, edit.left - 2, edit.top + 3) == Rgb(GetSysColor(COLOR_BTNFACE));
    }, 5000));
    presenter->Flush();
    if (auto shot = presenter->CaptureWindow(dialog))
        SavePng(*shot, "wm-dialog.png");

    struct Row {
        const char* name;
        const char* key;
        unsigned modifiers;
        int focus;
        std::vector<UINT> commands;
    };
    using P = display::GtkPresenter;
    const Row rows[] = {
        {"Tab", "Tab", 0, 1020, {}},
        {"Shift+Tab", "Tab", P::kShift, 1019, {}},
        {"Alt+mnemonic clicks the check box", "p", P::kAlt, 1077, {1077}},
        {"Tab to the radio group", "Tab", 0, 1080, {}},
        {"arrow in the group", "Down", 0, 1081, {}},
        {"arrow wraps in the group", "Down", 0, 1080, {}},
        {"Enter: the default button", "Return", 0, 1080, {IDOK}},
        {"Esc: cancel", "Escape", 0, 1080, {IDCANCEL}},
        {"label mnemonic focuses its edit", "u", P::kAlt, 1019, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        commands.clear();
        ASSERT_TRUE(presenter->SimulateKey(dialog, row.key, row.modifiers));
        EXPECT_TRUE(PumpUntil([&] { return GetDlgCtrlID(GetFocus()) == row.focus && commands == row.commands; }, 5000))
            << GetDlgCtrlID(GetFocus());
    }

    // The mouse: a click on Cancel.
    commands.clear();
    RECT cancel{127, 63, 127 + 50, 63 + 14};
    MapDialogRect(dialog, &cancel);
    ASSERT_TRUE(presenter->SimulateClick(dialog, cancel.left + 10, cancel.top + 5, 1));
    EXPECT_TRUE(PumpUntil([&] { return commands == std::vector<UINT>{IDCANCEL}; }, 5000));
    test::SetPumpFilter(nullptr);
    DestroyWindow(dialog);
}

TEST(WindowManagerDisplay, ASizeGripHandsTheResizeToTheDesktop)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);
    HWND frame = MakeFrame("尺寸", 300, 240);
    RECT client;
    GetClientRect(frame, &client);
    HWND grip = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, client.right - 16,
                                client.bottom - 16, 16, 16, frame, reinterpret_cast<HMENU>(32767), nullptr, nullptr);
    ASSERT_TRUE(grip);
    ASSERT_TRUE(PumpUntil([&] { return presenter->GetNativeWindow(frame) != 0 && IsWindowVisible(frame); }, 5000));
    PumpUntil([] { return false; }, 300);
    RECT before;
    GetWindowRect(frame, &before);
    const POINT at{client.right - 6, client.bottom - 6};
    ASSERT_TRUE(presenter->SimulateButton(frame, at.x, at.y, 1, true));
    PumpUntil([] { return false; }, 300);
    ASSERT_TRUE(presenter->SimulatePointer(frame, at.x + 60, at.y + 40));
    PumpUntil([] { return false; }, 300);
    ASSERT_TRUE(presenter->SimulateButton(frame, at.x + 60, at.y + 40, 1, false));
    RECT after{};
    EXPECT_TRUE(PumpUntil([&] {
        GetWindowRect(frame, &after);
        return after.right - after.left > before.right - before.left + 30;
    }, 5000)) << "width " << after.right - after.left << " was " << before.right - before.left;
    DestroyWindow(frame);
}
