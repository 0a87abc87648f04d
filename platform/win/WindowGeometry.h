// Window geometry: rectangle helpers, window and client rectangles, the
// non-client insets the styles imply, and mapping between coordinate spaces.
#pragma once

#include "platform/win/Window.h"

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(LPRECT rect);
BOOL CopyRect(LPRECT dest, const RECT* src);
BOOL IsRectEmpty(const RECT* rect);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* rect, POINT pt);
BOOL OffsetRect(LPRECT rect, int dx, int dy);
BOOL InflateRect(LPRECT rect, int dx, int dy);
// FALSE and an empty result when the rectangles do not meet.
BOOL IntersectRect(LPRECT dest, const RECT* a, const RECT* b);
BOOL UnionRect(LPRECT dest, const RECT* a, const RECT* b);
// a minus b when b covers a whole side of a; otherwise a.
BOOL SubtractRect(LPRECT dest, const RECT* a, const RECT* b);

// Screen coordinates.
BOOL GetWindowRect(HWND hwnd, LPRECT rect);
// Client coordinates: (0, 0) to the client size.
BOOL GetClientRect(HWND hwnd, LPRECT rect);
BOOL ClientToScreen(HWND hwnd, LPPOINT pt);
BOOL ScreenToClient(HWND hwnd, LPPOINT pt);
// Maps from the client coordinates of one window (null: the screen) to
// another's; returns the horizontal offset in the low word and the vertical
// in the high word.
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
// The window rectangle for a client rectangle under the styles.
BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu);

namespace tavrin::win {

// The widths of the non-client parts around the client area.
struct Insets {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
// Frame and edges only (no caption, menu or scroll bars).
Insets FrameInsets(DWORD style, DWORD exStyle);
// Everything between the window and its client rectangle.
Insets NonClientInsets(DWORD style, DWORD exStyle, bool menu);
bool HasMenuBar(const Window& window);

// The screen position of a window's parent-client origin: where the window's
// own rectangle is measured from.
POINT ParentOrigin(const Window& window);
// The window rectangle and the client rectangle in screen coordinates.
RECT ScreenRect(const Window& window);
RECT ScreenClientRect(const Window& window);

} // namespace tavrin::win
