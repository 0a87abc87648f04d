#include "platform/win/WindowGeometry.h"

#include "platform/win/SystemProfile.h"

#include <algorithm>

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom)
{
    if (!rect)
        return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(LPRECT rect)
{
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL CopyRect(LPRECT dest, const RECT* src)
{
    if (!dest || !src)
        return FALSE;
    *dest = *src;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* rect)
{
    return !rect || rect->right <= rect->left || rect->bottom <= rect->top;
}

BOOL EqualRect(const RECT* a, const RECT* b)
{
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* rect, POINT pt)
{
    return rect && pt.x >= rect->left && pt.x < rect->right && pt.y >= rect->top && pt.y < rect->bottom;
}

BOOL OffsetRect(LPRECT rect, int dx, int dy)
{
    if (!rect)
        return FALSE;
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL InflateRect(LPRECT rect, int dx, int dy)
{
    if (!rect)
        return FALSE;
    rect->left -= dx;
    rect->right += dx;
    rect->top -= dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL IntersectRect(LPRECT dest, const RECT* a, const RECT* b)
{
    if (!dest || !a || !b)
        return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(a) || IsRectEmpty(b) || IsRectEmpty(&r)) {
        SetRectEmpty(dest);
        return FALSE;
    }
    *dest = r;
    return TRUE;
}

BOOL UnionRect(LPRECT dest, const RECT* a, const RECT* b)
{
    if (!dest || !a || !b)
        return FALSE;
    if (IsRectEmpty(a)) {
        if (IsRectEmpty(b)) {
            SetRectEmpty(dest);
            return FALSE;
        }
        *dest = *b;
        return TRUE;
    }
    if (IsRectEmpty(b)) {
        *dest = *a;
        return TRUE;
    }
    *dest = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                 std::max(a->bottom, b->bottom)};
    return TRUE;
}

BOOL SubtractRect(LPRECT dest, const RECT* a, const RECT* b)
{
    if (!dest || !a || !b)
        return FALSE;
    RECT r = *a;
    RECT cut;
    if (IsRectEmpty(a)) {
        SetRectEmpty(dest);
        return FALSE;
    }
    if (IntersectRect(&cut, a, b)) {
        const bool fullWidth = cut.left == r.left && cut.right == r.right;
        const bool fullHeight = cut.top == r.top && cut.bottom == r.bottom;
        if (fullWidth && fullHeight) {
            SetRectEmpty(dest);
            return FALSE;
        }
        if (fullWidth) {
            if (cut.top == r.top)
                r.top = cut.bottom;
            else if (cut.bottom == r.bottom)
                r.bottom = cut.top;
        } else if (fullHeight) {
            if (cut.left == r.left)
                r.left = cut.right;
            else if (cut.right == r.right)
                r.right = cut.left;
        }
    }
    *dest = r;
    return TRUE;
}

namespace tavrin::win {

Insets FrameInsets(DWORD style, DWORD exStyle)
{
    Insets in;
    if (style & WS_MINIMIZE && !(style & WS_CHILD))
        return in;
    // The outer frame: a resizable frame, a dialog frame, or a thin border.
    int frame = 0;
    if (style & WS_THICKFRAME)
        frame = GetSystemMetrics(SM_CXFRAME);
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        frame = GetSystemMetrics(SM_CXDLGFRAME);
    else if (style & WS_BORDER)
        frame = GetSystemMetrics(SM_CXBORDER);
    else if (exStyle & WS_EX_STATICEDGE)
        frame = GetSystemMetrics(SM_CXBORDER);
    if (exStyle & WS_EX_CLIENTEDGE)
        frame += GetSystemMetrics(SM_CXEDGE);
    in.left = in.right = in.top = in.bottom = frame;
    return in;
}

Insets NonClientInsets(DWORD style, DWORD exStyle, bool menu)
{
    Insets in = FrameInsets(style, exStyle);
    if ((style & WS_CAPTION) == WS_CAPTION)
        in.top += GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    if (menu)
        in.top += GetSystemMetrics(SM_CYMENU);
    if (style & WS_VSCROLL)
        ((exStyle & WS_EX_LEFTSCROLLBAR) ? in.left : in.right) += GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL)
        in.bottom += GetSystemMetrics(SM_CYHSCROLL);
    return in;
}

bool HasMenuBar(const Window& window)
{
    return !(window.GetStyle() & WS_CHILD) && window.GetId() != 0;
}

POINT ParentOrigin(const Window& window)
{
    POINT origin{0, 0};
    HWND parent = window.GetParent();
    while (parent) {
        auto p = Window::FromHandle(parent);
        if (!p)
            break;
        RECT client = p->GetClientRect();
        origin.x += client.left;
        origin.y += client.top;
        parent = p->GetParent();
    }
    return origin;
}

RECT ScreenRect(const Window& window)
{
    if (window.IsDesktop()) {
        return RECT{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                    GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                    GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    }
    RECT r = window.GetRect();
    POINT o = ParentOrigin(window);
    OffsetRect(&r, o.x, o.y);
    return r;
}

RECT ScreenClientRect(const Window& window)
{
    if (window.IsDesktop())
        return ScreenRect(window);
    RECT r = window.GetClientRect();
    POINT o = ParentOrigin(window);
    OffsetRect(&r, o.x, o.y);
    return r;
}

} // namespace tavrin::win

using tavrin::win::Window;

BOOL GetWindowRect(HWND hwnd, LPRECT rect)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !rect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *rect = tavrin::win::ScreenRect(*window);
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !rect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    RECT c = tavrin::win::ScreenClientRect(*window);
    *rect = RECT{0, 0, std::max<LONG>(0, c.right - c.left), std::max<LONG>(0, c.bottom - c.top)};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT pt)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !pt) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    RECT c = tavrin::win::ScreenClientRect(*window);
    pt->x += c.left;
    pt->y += c.top;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT pt)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !pt) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    RECT c = tavrin::win::ScreenClientRect(*window);
    pt->x -= c.left;
    pt->y -= c.top;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count)
{
    POINT offset{0, 0};
    if (from && !tavrin::win::IsDesktopHandle(from)) {
        auto window = Window::FromHandle(from);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        RECT c = tavrin::win::ScreenClientRect(*window);
        offset.x += c.left;
        offset.y += c.top;
    }
    if (to && !tavrin::win::IsDesktopHandle(to)) {
        auto window = Window::FromHandle(to);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        RECT c = tavrin::win::ScreenClientRect(*window);
        offset.x -= c.left;
        offset.y -= c.top;
    }
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += offset.x;
        points[i].y += offset.y;
    }
    SetLastError(0);
    return MAKELONG(static_cast<WORD>(offset.x), static_cast<WORD>(offset.y));
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle)
{
    if (!rect)
        return FALSE;
    // Scroll bars belong to the client area here, as the original does.
    auto in = tavrin::win::NonClientInsets(style & ~static_cast<DWORD>(WS_VSCROLL | WS_HSCROLL), exStyle, menu != FALSE);
    rect->left -= in.left;
    rect->top -= in.top;
    rect->right += in.right;
    rect->bottom += in.bottom;
    return TRUE;
}

BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu)
{
    return AdjustWindowRectEx(rect, style, menu, 0);
}
