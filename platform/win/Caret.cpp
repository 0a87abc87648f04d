#include "platform/win/Caret.h"

#include "platform/win/Painting.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/Timer.h"

namespace tavrin::win {

namespace {

struct Caret {
    HWND hwnd = nullptr;
    HBITMAP bitmap = nullptr; // null: solid; 1: grey; else the shape
    int width = 0;
    int height = 0;
    POINT pos{0, 0};
    int hidden = 1;     // HideCaret count; shown at 0
    int paintHidden = 0;
    bool on = false;    // inverted on the screen now
    UINT_PTR timer = 0;
};

thread_local Caret t_caret;

bool Exists()
{
    return t_caret.hwnd != nullptr;
}

// Inverts the caret's rectangle; twice restores the pixels.
void Invert()
{
    Caret& c = t_caret;
    HDC hdc = GetDC(c.hwnd);
    if (!hdc)
        return;
    const uintptr_t kind = reinterpret_cast<uintptr_t>(c.bitmap);
    if (kind > 1) {
        HDC memory = CreateCompatibleDC(hdc);
        HGDIOBJ old = SelectObject(memory, c.bitmap);
        BitBlt(hdc, c.pos.x, c.pos.y, c.width, c.height, memory, 0, 0, SRCINVERT);
        SelectObject(memory, old);
        DeleteDC(memory);
    } else if (kind == 1) {
        HGDIOBJ old = SelectObject(hdc, GetSysColorBrush(COLOR_GRAYTEXT));
        PatBlt(hdc, c.pos.x, c.pos.y, c.width, c.height, PATINVERT);
        SelectObject(hdc, old);
    } else {
        PatBlt(hdc, c.pos.x, c.pos.y, c.width, c.height, DSTINVERT);
    }
    ReleaseDC(c.hwnd, hdc);
    c.on = !c.on;
}

void TakeOff()
{
    if (t_caret.on)
        Invert();
}

void CALLBACK Blink(HWND, UINT, UINT_PTR, DWORD)
{
    if (Exists() && t_caret.hidden == 0)
        Invert();
}

// Shown carets start a blink cycle "on", as after every move.
void RestartBlink()
{
    Caret& c = t_caret;
    if (c.timer)
        KillTimer(nullptr, c.timer);
    c.timer = 0;
    if (c.hidden != 0)
        return;
    if (!c.on)
        Invert();
    c.timer = SetTimer(nullptr, 0, GetCaretBlinkTime(), Blink);
}

bool OwnsCaret(HWND hwnd)
{
    return Exists() && (!hwnd || hwnd == t_caret.hwnd);
}

void Destroy()
{
    TakeOff();
    if (t_caret.timer)
        KillTimer(nullptr, t_caret.timer);
    t_caret = Caret{};
}

} // namespace

void ForgetCaret(HWND hwnd)
{
    if (Exists() && t_caret.hwnd == hwnd) {
        t_caret.on = false; // the window's pixels are going anyway
        Destroy();
    }
}

void HideCaretForPaint(HWND hwnd)
{
    if (Exists() && t_caret.hwnd == hwnd) {
        ++t_caret.paintHidden;
        HideCaret(hwnd);
    }
}

void ShowCaretAfterPaint(HWND hwnd)
{
    if (Exists() && t_caret.hwnd == hwnd && t_caret.paintHidden > 0) {
        --t_caret.paintHidden;
        ShowCaret(hwnd);
    }
}

bool IsCaretDrawn()
{
    return Exists() && t_caret.on;
}

} // namespace tavrin::win

using tavrin::win::t_caret;

BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height)
{
    auto window = tavrin::win::Window::FromHandle(hwnd);
    if (!window || window->GetThreadId() != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    tavrin::win::Destroy();
    tavrin::win::Caret c;
    c.hwnd = hwnd;
    c.bitmap = bitmap;
    if (reinterpret_cast<uintptr_t>(bitmap) > 1) {
        BITMAP info{};
        if (!GetObjectA(bitmap, sizeof(info), &info)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        width = info.bmWidth;
        height = info.bmHeight;
    }
    c.width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
    c.height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
    t_caret = c;
    return TRUE;
}

BOOL DestroyCaret()
{
    if (!tavrin::win::Exists())
        return FALSE;
    tavrin::win::Destroy();
    return TRUE;
}

BOOL HideCaret(HWND hwnd)
{
    if (!tavrin::win::OwnsCaret(hwnd))
        return FALSE;
    if (t_caret.hidden++ == 0) {
        tavrin::win::TakeOff();
        if (t_caret.timer)
            KillTimer(nullptr, t_caret.timer);
        t_caret.timer = 0;
    }
    return TRUE;
}

BOOL ShowCaret(HWND hwnd)
{
    if (!tavrin::win::OwnsCaret(hwnd) || t_caret.hidden == 0)
        return FALSE;
    if (--t_caret.hidden == 0)
        tavrin::win::RestartBlink();
    return TRUE;
}

BOOL SetCaretPos(int x, int y)
{
    if (!tavrin::win::Exists())
        return FALSE;
    if (t_caret.pos.x == x && t_caret.pos.y == y)
        return TRUE;
    tavrin::win::TakeOff();
    t_caret.pos = POINT{x, y};
    tavrin::win::RestartBlink();
    return TRUE;
}

BOOL GetCaretPos(LPPOINT pt)
{
    if (!pt || !tavrin::win::Exists())
        return FALSE;
    *pt = t_caret.pos;
    return TRUE;
}
