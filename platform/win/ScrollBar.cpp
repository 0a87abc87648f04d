#include "platform/win/ScrollBar.h"

#include "platform/win/Capture.h"
#include "platform/win/Cursor.h"
#include "platform/win/Focus.h"
#include "platform/win/Input.h"
#include "platform/win/Painting.h"
#include "platform/win/Presenter.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/Timer.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowPos.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

namespace tavrin::win {

namespace {

constexpr UINT kFirstRepeatMs = 200;
constexpr UINT kRepeatMs = 50;
constexpr int kMinThumb = 8;

struct BarState {
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;
    UINT disabled = ESB_ENABLE_BOTH; // ESB_DISABLE_ bits
    bool dragging = false;           // the thumb follows trackPos
    ScrollPart pressed = ScrollPart::None;
};

struct WindowBars {
    BarState bars[3]; // SB_HORZ, SB_VERT, SB_CTL
};

std::mutex g_lock;
std::unordered_map<HWND, WindowBars>& Bars()
{
    static auto* bars = new std::unordered_map<HWND, WindowBars>;
    return *bars;
}

BarState Read(HWND hwnd, int bar)
{
    std::lock_guard<std::mutex> lock(g_lock);
    auto it = Bars().find(hwnd);
    return it == Bars().end() ? BarState{} : it->second.bars[bar];
}

template <typename F> void Change(HWND hwnd, int bar, F&& change)
{
    std::lock_guard<std::mutex> lock(g_lock);
    change(Bars()[hwnd].bars[bar]);
}

bool IsControl(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    return window && window->GetClass()->m_name == "SCROLLBAR";
}

// The last position the thumb can take: a full page still fits after it.
int MaxPos(const BarState& s)
{
    return s.max - std::max<int>(static_cast<int>(s.page) - 1, 0);
}

// The range is larger than the page: there is something to scroll.
bool Scrollable(const BarState& s)
{
    return s.min < MaxPos(s);
}

LONG StyleBit(int bar)
{
    return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
}

int Round(int64_t numerator, int64_t denominator)
{
    return denominator ? static_cast<int>((numerator + denominator / 2) / denominator) : 0;
}

bool Layout(HWND hwnd, int bar, const BarState& s, ScrollBarLayout* out)
{
    auto window = Window::FromHandle(hwnd);
    if (!window)
        return false;
    ScrollBarLayout l;
    if (bar == SB_CTL) {
        GetClientRect(hwnd, &l.bar);
        l.vertical = (window->GetStyle() & SBS_VERT) != 0;
    } else {
        if (!(window->GetStyle() & StyleBit(bar)))
            return false;
        RECT rect = window->GetRect();
        RECT client = window->GetClientRect();
        OffsetRect(&client, -rect.left, -rect.top);
        l.vertical = bar == SB_VERT;
        if (l.vertical) {
            const int width = GetSystemMetrics(SM_CXVSCROLL);
            const bool left = (window->GetExStyle() & WS_EX_LEFTSCROLLBAR) != 0;
            l.bar = left ? RECT{client.left - width, client.top, client.left, client.bottom}
                         : RECT{client.right, client.top, client.right + width, client.bottom};
        } else {
            l.bar = RECT{client.left, client.bottom, client.right, client.bottom + GetSystemMetrics(SM_CYHSCROLL)};
        }
    }
    const int length = l.vertical ? l.bar.bottom - l.bar.top : l.bar.right - l.bar.left;
    const int thick = l.vertical ? l.bar.right - l.bar.left : l.bar.bottom - l.bar.top;
    l.arrow = thick;
    if (length < 2 * l.arrow)
        l.arrow = length / 2;
    const int track = length - 2 * l.arrow;
    const bool enabled = s.disabled != ESB_DISABLE_BOTH && IsWindowEnabled(hwnd);
    if (enabled && Scrollable(s) && track > 0) {
        const int64_t range = int64_t(s.max) - s.min + 1;
        int thumb = s.page ? Round(int64_t(s.page) * track, range) : GetSystemMetrics(l.vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
        thumb = std::max(thumb, kMinThumb);
        if (thumb <= track) {
            const int span = MaxPos(s) - s.min;
            const int at = std::clamp(s.dragging ? s.trackPos : s.pos, s.min, MaxPos(s)) - s.min;
            l.thumbShown = true;
            l.thumbSize = thumb;
            l.thumbStart = l.arrow + Round(int64_t(at) * (track - thumb), span);
        }
    }
    *out = l;
    return true;
}

void DrawArrow(HDC hdc, RECT r, UINT kind, bool pressed, bool disabled)
{
    DrawFrameControl(hdc, &r, DFC_SCROLL, kind | (pressed ? DFCS_PUSHED | DFCS_FLAT : 0) | (disabled ? DFCS_INACTIVE : 0));
}

// The page areas: the scroll-bar colour, inverted while pressed.
void DrawTrack(HDC hdc, RECT r, bool pressed)
{
    if (IsRectEmpty(&r))
        return;
    FillRect(hdc, &r, GetSysColorBrush(COLOR_SCROLLBAR));
    if (pressed)
        PatBlt(hdc, r.left, r.top, r.right - r.left, r.bottom - r.top, DSTINVERT);
}

void DrawBar(HDC hdc, const ScrollBarLayout& l, const BarState& s, bool enabled)
{
    RECT r = l.bar;
    const int length = l.vertical ? r.bottom - r.top : r.right - r.left;
    auto part = [&](int from, int to) {
        return l.vertical ? RECT{r.left, r.top + from, r.right, r.top + to} : RECT{r.left + from, r.top, r.left + to, r.bottom};
    };
    const bool offUp = !enabled || (s.disabled & ESB_DISABLE_LTUP) || !Scrollable(s);
    const bool offDown = !enabled || (s.disabled & ESB_DISABLE_RTDN) || !Scrollable(s);
    DrawArrow(hdc, part(0, l.arrow), l.vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT, s.pressed == ScrollPart::LineUp, offUp);
    DrawArrow(hdc, part(length - l.arrow, length), l.vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT,
              s.pressed == ScrollPart::LineDown, offDown);
    if (!l.thumbShown) {
        DrawTrack(hdc, part(l.arrow, length - l.arrow), false);
        return;
    }
    DrawTrack(hdc, part(l.arrow, l.thumbStart), s.pressed == ScrollPart::PageUp);
    DrawTrack(hdc, part(l.thumbStart + l.thumbSize, length - l.arrow), s.pressed == ScrollPart::PageDown);
    RECT thumb = part(l.thumbStart, l.thumbStart + l.thumbSize);
    FillRect(hdc, &thumb, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(hdc, &thumb, EDGE_RAISED, BF_RECT);
}

void DrawSizeGrip(HWND hwnd, HDC hdc)
{
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(hdc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const int size = std::min(client.right - client.left, client.bottom - client.top);
    RECT grip{client.right - size, client.bottom - size, client.right, client.bottom};
    DrawFrameControl(hdc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

// Draws the bar now, where it can be seen.
void Repaint(HWND hwnd, int bar)
{
    if (!IsWindowVisible(hwnd))
        return;
    ScrollBarLayout l;
    const BarState s = Read(hwnd, bar);
    if (!Layout(hwnd, bar, s, &l))
        return;
    HDC hdc = bar == SB_CTL ? GetDC(hwnd) : GetWindowDC(hwnd);
    if (!hdc)
        return;
    DrawBar(hdc, l, s, IsWindowEnabled(hwnd) != FALSE);
    ReleaseDC(hwnd, hdc);
}

void ShowWindowBar(HWND hwnd, int bar, bool show)
{
    auto window = Window::FromHandle(hwnd);
    if (!window)
        return;
    const LONG bits = bar == SB_BOTH ? (WS_VSCROLL | WS_HSCROLL) : StyleBit(bar);
    const LONG style = window->GetStyle();
    const LONG next = show ? (style | bits) : (style & ~bits);
    if (next == style)
        return;
    window->SetStyle(next);
    // The client area gives room to the bar or takes it back.
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ValidBar(HWND hwnd, int bar)
{
    if (!Window::FromHandle(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    if (bar == SB_CTL ? !IsControl(hwnd) : (bar != SB_HORZ && bar != SB_VERT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

// The message a bar sends, and to whom.
void Notify(HWND hwnd, int bar, int code, int pos)
{
    const UINT message = bar == SB_HORZ ? WM_HSCROLL : bar == SB_VERT ? WM_VSCROLL
                         : (GetWindowLongA(hwnd, GWL_STYLE) & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    const WPARAM wParam = MAKEWPARAM(code, (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) ? pos : 0);
    if (bar == SB_CTL) {
        HWND parent = GetParent(hwnd);
        SendMessageA(parent ? parent : hwnd, message, wParam, reinterpret_cast<LPARAM>(hwnd));
    } else {
        SendMessageA(hwnd, message, wParam, 0);
    }
}

// Screen point to the bar's coordinates (window or client of hwnd).
POINT ToBar(HWND hwnd, int bar, POINT screen)
{
    if (bar == SB_CTL) {
        ScreenToClient(hwnd, &screen);
        return screen;
    }
    RECT rect;
    GetWindowRect(hwnd, &rect);
    return POINT{screen.x - rect.left, screen.y - rect.top};
}

int Along(const ScrollBarLayout& l, POINT pt)
{
    return l.vertical ? pt.y - l.bar.top : pt.x - l.bar.left;
}

// Follows the mouse from a press on the bar until the button goes up.
void Track(HWND hwnd, int bar, POINT screen)
{
    ScrollBarLayout l;
    BarState s = Read(hwnd, bar);
    if (!Layout(hwnd, bar, s, &l) || !IsWindowEnabled(hwnd))
        return;
    POINT pt = ToBar(hwnd, bar, screen);
    const ScrollPart part = ScrollPartAt(l, pt);
    if (part == ScrollPart::None)
        return;
    if ((part == ScrollPart::LineUp && (s.disabled & ESB_DISABLE_LTUP)) ||
        (part == ScrollPart::LineDown && (s.disabled & ESB_DISABLE_RTDN)) || s.disabled == ESB_DISABLE_BOTH)
        return;
    SetCapture(hwnd);
    const int grab = Along(l, pt) - l.thumbStart;
    const int track = (l.vertical ? l.bar.bottom - l.bar.top : l.bar.right - l.bar.left) - 2 * l.arrow;
    const int code = part == ScrollPart::LineUp ? SB_LINEUP : part == ScrollPart::LineDown ? SB_LINEDOWN
                     : part == ScrollPart::PageUp ? SB_PAGEUP : SB_PAGEDOWN;
    bool over = true;
    auto press = [&](bool down) {
        Change(hwnd, bar, [&](BarState& b) { b.pressed = down ? part : ScrollPart::None; });
        Repaint(hwnd, bar);
    };
    int tracked = s.pos;
    // The repeat counts from the press, whatever the first message costs.
    UINT_PTR timer = part == ScrollPart::Thumb ? 0 : SetTimer(nullptr, 0, kFirstRepeatMs, nullptr);
    if (part == ScrollPart::Thumb) {
        Change(hwnd, bar, [&](BarState& b) {
            b.dragging = true;
            b.trackPos = b.pos;
        });
    } else {
        press(true);
        Notify(hwnd, bar, code, 0);
    }
    MSG msg;
    for (;;) {
        if (GetCapture() != hwnd || !IsWindow(hwnd))
            break;
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_TIMER && !msg.hwnd && msg.wParam == timer) {
            // Repeats while the pointer stays on the pressed part; a page
            // repeat stops once the thumb has come under the pointer.
            KillTimer(nullptr, timer);
            timer = SetTimer(nullptr, 0, kRepeatMs, nullptr);
            ScrollBarLayout now;
            if (over && Layout(hwnd, bar, Read(hwnd, bar), &now) && ScrollPartAt(now, pt) == part)
                Notify(hwnd, bar, code, 0);
            continue;
        }
        if (msg.hwnd == hwnd && (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP)) {
            POINT at{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            ClientToScreen(hwnd, &at);
            pt = ToBar(hwnd, bar, at);
            if (part == ScrollPart::Thumb) {
                BarState now = Read(hwnd, bar);
                const int span = MaxPos(now) - now.min;
                const int room = track - l.thumbSize;
                const int offset = std::clamp(Along(l, pt) - grab - l.arrow, 0, std::max(room, 0));
                const int value = now.min + (room > 0 ? Round(int64_t(offset) * span, room) : 0);
                if (value != tracked) {
                    tracked = value;
                    Change(hwnd, bar, [&](BarState& b) { b.trackPos = value; });
                    Repaint(hwnd, bar);
                    Notify(hwnd, bar, SB_THUMBTRACK, value);
                }
            } else {
                ScrollBarLayout now;
                const bool inside = Layout(hwnd, bar, Read(hwnd, bar), &now) && ScrollPartAt(now, pt) == part;
                if (inside != over) {
                    over = inside;
                    press(over);
                }
            }
            if (msg.message == WM_LBUTTONUP)
                break;
            continue;
        }
        if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
            continue; // the bar has the mouse
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (timer)
        KillTimer(nullptr, timer);
    if (GetCapture() == hwnd)
        ReleaseCapture();
    if (!IsWindow(hwnd))
        return;
    if (part == ScrollPart::Thumb) {
        Notify(hwnd, bar, SB_THUMBPOSITION, tracked);
        Change(hwnd, bar, [&](BarState& b) { b.dragging = false; });
    } else {
        press(false);
    }
    Repaint(hwnd, bar);
    Notify(hwnd, bar, SB_ENDSCROLL, 0);
}

int SetInfo(HWND hwnd, int bar, const SCROLLINFO& info, bool redraw)
{
    BarState before = Read(hwnd, bar), after;
    Change(hwnd, bar, [&](BarState& s) {
        if (info.fMask & SIF_RANGE) {
            s.min = info.nMin;
            s.max = std::max(info.nMax, info.nMin);
        }
        if (info.fMask & SIF_PAGE)
            s.page = info.nPage;
        const int64_t range = int64_t(s.max) - s.min + 1;
        if (s.page > range)
            s.page = static_cast<UINT>(range);
        if (info.fMask & SIF_POS)
            s.pos = info.nPos;
        s.pos = std::clamp(s.pos, s.min, std::max(s.min, MaxPos(s)));
        after = s;
    });
    const bool changedRange = before.min != after.min || before.max != after.max || before.page != after.page;
    if (info.fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)) {
        if (!Scrollable(after)) {
            if (info.fMask & SIF_DISABLENOSCROLL) {
                Change(hwnd, bar, [](BarState& s) { s.disabled = ESB_DISABLE_BOTH; });
                if (bar != SB_CTL)
                    ShowWindowBar(hwnd, bar, true);
            } else if (bar != SB_CTL && changedRange) {
                ShowWindowBar(hwnd, bar, false);
            }
        } else {
            if (info.fMask != SIF_PAGE)
                Change(hwnd, bar, [](BarState& s) { s.disabled = ESB_ENABLE_BOTH; });
            if (bar != SB_CTL && changedRange)
                ShowWindowBar(hwnd, bar, true);
        }
    }
    if (redraw)
        Repaint(hwnd, bar);
    return after.pos;
}

bool GetInfo(HWND hwnd, int bar, SCROLLINFO* info)
{
    const BarState s = Read(hwnd, bar);
    if (info->fMask & SIF_RANGE) {
        info->nMin = s.min;
        info->nMax = s.max;
    }
    if (info->fMask & SIF_PAGE)
        info->nPage = s.page;
    if (info->fMask & SIF_POS)
        info->nPos = s.pos;
    if (info->fMask & SIF_TRACKPOS)
        info->nTrackPos = s.dragging ? s.trackPos : s.pos;
    return (info->fMask & SIF_ALL) != 0;
}

LRESULT CALLBACK ScrollBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    const bool grip = (style & (SBS_SIZEGRIP | SBS_SIZEBOX)) != 0;
    switch (message) {
    case WM_CREATE:
        Change(hwnd, SB_CTL, [](BarState&) {});
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        if (grip) {
            DrawSizeGrip(hwnd, hdc);
        } else {
            ScrollBarLayout l;
            const BarState s = Read(hwnd, SB_CTL);
            if (Layout(hwnd, SB_CTL, s, &l))
                DrawBar(hdc, l, s, IsWindowEnabled(hwnd) != FALSE);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(hwnd, &screen);
        if (grip) {
            // The desktop resizes the top-level window, as from its corner.
            HWND top = GetAncestor(hwnd, GA_ROOT);
            if (top && (GetWindowLongA(top, GWL_STYLE) & WS_THICKFRAME))
                display::GetPresenter().BeginResize(top, HTBOTTOMRIGHT, screen);
            return 0;
        }
        Track(hwnd, SB_CTL, screen);
        return 0;
    }
    case SBM_SETPOS: {
        const int old = Read(hwnd, SB_CTL).pos;
        SCROLLINFO info{sizeof(info), SIF_POS, 0, 0, 0, static_cast<int>(wParam), 0};
        SetInfo(hwnd, SB_CTL, info, lParam != 0);
        return old;
    }
    case SBM_GETPOS:
        return Read(hwnd, SB_CTL).pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
        const int old = Read(hwnd, SB_CTL).pos;
        SCROLLINFO info{sizeof(info), SIF_RANGE, static_cast<int>(wParam), static_cast<int>(lParam), 0, 0, 0};
        SetInfo(hwnd, SB_CTL, info, message == SBM_SETRANGEREDRAW);
        return old;
    }
    case SBM_GETRANGE: {
        const BarState s = Read(hwnd, SB_CTL);
        if (auto* min = reinterpret_cast<LPINT>(wParam))
            *min = s.min;
        if (auto* max = reinterpret_cast<LPINT>(lParam))
            *max = s.max;
        return 0;
    }
    case SBM_ENABLE_ARROWS: {
        bool changed = false;
        Change(hwnd, SB_CTL, [&](BarState& s) {
            changed = s.disabled != wParam;
            s.disabled = static_cast<UINT>(wParam);
        });
        if (changed)
            Repaint(hwnd, SB_CTL);
        return changed;
    }
    case SBM_SETSCROLLINFO: {
        auto* info = reinterpret_cast<LPCSCROLLINFO>(lParam);
        return info ? SetInfo(hwnd, SB_CTL, *info, wParam != 0) : 0;
    }
    case SBM_GETSCROLLINFO: {
        auto* info = reinterpret_cast<LPSCROLLINFO>(lParam);
        return info && GetInfo(hwnd, SB_CTL, info);
    }
    case WM_GETDLGCODE:
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

const bool g_registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_GLOBALCLASS | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_PARENTDC;
    wc.lpfnWndProc = ScrollBarProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "SCROLLBAR";
    return RegisterClassExA(&wc) != 0;
}();

} // namespace

bool GetScrollBarLayout(HWND hwnd, int bar, ScrollBarLayout* layout)
{
    return layout && bar >= SB_HORZ && bar <= SB_CTL && Layout(hwnd, bar, Read(hwnd, bar), layout);
}

ScrollPart ScrollPartAt(const ScrollBarLayout& l, POINT pt)
{
    if (!PtInRect(&l.bar, pt))
        return ScrollPart::None;
    const int length = l.vertical ? l.bar.bottom - l.bar.top : l.bar.right - l.bar.left;
    const int at = Along(l, pt);
    if (at < l.arrow)
        return ScrollPart::LineUp;
    if (at >= length - l.arrow)
        return ScrollPart::LineDown;
    if (!l.thumbShown)
        return ScrollPart::None;
    if (at < l.thumbStart)
        return ScrollPart::PageUp;
    if (at < l.thumbStart + l.thumbSize)
        return ScrollPart::Thumb;
    return ScrollPart::PageDown;
}

void ForgetScrollBars(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(g_lock);
    Bars().erase(hwnd);
}

void PaintWindowScrollBars(HWND hwnd, HDC windowDc)
{
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    for (int bar : {SB_VERT, SB_HORZ}) {
        ScrollBarLayout l;
        const BarState s = Read(hwnd, bar);
        if (Layout(hwnd, bar, s, &l))
            DrawBar(windowDc, l, s, enabled);
    }
}

void TrackWindowScrollBar(HWND hwnd, int hitTest, POINT screen)
{
    Track(hwnd, hitTest == HTVSCROLL ? SB_VERT : SB_HORZ, screen);
}

LPCSTR ScrollBarClass()
{
    (void)g_registered;
    return "SCROLLBAR";
}

} // namespace tavrin::win

using namespace tavrin::win;

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw)
{
    if (!info || !ValidBar(hwnd, bar))
        return 0;
    if (bar == SB_CTL)
        return static_cast<int>(SendMessageA(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(info)));
    return SetInfo(hwnd, bar, *info, redraw != FALSE);
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info)
{
    if (!info || !ValidBar(hwnd, bar))
        return FALSE;
    if (bar == SB_CTL)
        return static_cast<BOOL>(SendMessageA(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)));
    return GetInfo(hwnd, bar, info) ? TRUE : FALSE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw)
{
    if (!ValidBar(hwnd, bar))
        return 0;
    const int old = GetScrollPos(hwnd, bar);
    SCROLLINFO info{sizeof(info), SIF_POS, 0, 0, 0, pos, 0};
    SetScrollInfo(hwnd, bar, &info, redraw);
    return old;
}

int GetScrollPos(HWND hwnd, int bar)
{
    SCROLLINFO info{sizeof(info), SIF_POS, 0, 0, 0, 0, 0};
    return GetScrollInfo(hwnd, bar, &info) ? info.nPos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw)
{
    if (!ValidBar(hwnd, bar))
        return FALSE;
    if (int64_t(max) - min > 0x7FFFFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SCROLLINFO info{sizeof(info), SIF_RANGE, min, max, 0, 0, 0};
    SetScrollInfo(hwnd, bar, &info, redraw);
    return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, LPINT min, LPINT max)
{
    SCROLLINFO info{sizeof(info), SIF_RANGE, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(hwnd, bar, &info))
        return FALSE;
    if (min)
        *min = info.nMin;
    if (max)
        *max = info.nMax;
    return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show)
{
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (bar == SB_CTL) {
        ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
        return TRUE;
    }
    if (bar != SB_HORZ && bar != SB_VERT && bar != SB_BOTH) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ShowWindowBar(hwnd, bar, show != FALSE);
    return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows)
{
    if (bar == SB_CTL)
        return ValidBar(hwnd, SB_CTL) && SendMessageA(hwnd, SBM_ENABLE_ARROWS, arrows, 0) ? TRUE : FALSE;
    if (!IsWindow(hwnd) || bar > SB_BOTH) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    bool changed = false;
    for (int b : {SB_HORZ, SB_VERT}) {
        if (bar != SB_BOTH && static_cast<int>(bar) != b)
            continue;
        Change(hwnd, b, [&](BarState& s) {
            changed = changed || s.disabled != arrows;
            s.disabled = arrows;
        });
        Repaint(hwnd, b);
    }
    return changed ? TRUE : FALSE;
}
