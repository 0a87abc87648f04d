// Scroll bars: the two bars a window gets with WS_VSCROLL and WS_HSCROLL,
// drawn in its non-client area, and the "SCROLLBAR" control class. Both keep
// a range, a page, a position and a tracking position; both track the mouse
// themselves and tell their window with WM_VSCROLL and WM_HSCROLL.
#pragma once

#include "platform/win/Window.h"

#define SB_HORZ 0
#define SB_VERT 1
#define SB_CTL 2
#define SB_BOTH 3

#define SB_LINEUP 0
#define SB_LINELEFT 0
#define SB_LINEDOWN 1
#define SB_LINERIGHT 1
#define SB_PAGEUP 2
#define SB_PAGELEFT 2
#define SB_PAGEDOWN 3
#define SB_PAGERIGHT 3
#define SB_THUMBPOSITION 4
#define SB_THUMBTRACK 5
#define SB_TOP 6
#define SB_LEFT 6
#define SB_BOTTOM 7
#define SB_RIGHT 7
#define SB_ENDSCROLL 8

#define SIF_RANGE 0x0001
#define SIF_PAGE 0x0002
#define SIF_POS 0x0004
#define SIF_DISABLENOSCROLL 0x0008
#define SIF_TRACKPOS 0x0010
#define SIF_ALL (SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS)

#define ESB_ENABLE_BOTH 0x0000
#define ESB_DISABLE_BOTH 0x0003
#define ESB_DISABLE_LEFT 0x0001
#define ESB_DISABLE_RIGHT 0x0002
#define ESB_DISABLE_UP 0x0001
#define ESB_DISABLE_DOWN 0x0002
#define ESB_DISABLE_LTUP ESB_DISABLE_LEFT
#define ESB_DISABLE_RTDN ESB_DISABLE_RIGHT

#define SBS_HORZ 0x0000L
#define SBS_VERT 0x0001L
#define SBS_TOPALIGN 0x0002L
#define SBS_LEFTALIGN 0x0002L
#define SBS_BOTTOMALIGN 0x0004L
#define SBS_RIGHTALIGN 0x0004L
#define SBS_SIZEBOXTOPLEFTALIGN 0x0002L
#define SBS_SIZEBOXBOTTOMRIGHTALIGN 0x0004L
#define SBS_SIZEBOX 0x0008L
#define SBS_SIZEGRIP 0x0010L

#define SBM_SETPOS 0x00E0
#define SBM_GETPOS 0x00E1
#define SBM_SETRANGE 0x00E2
#define SBM_GETRANGE 0x00E3
#define SBM_ENABLE_ARROWS 0x00E4
#define SBM_SETRANGEREDRAW 0x00E6
#define SBM_SETSCROLLINFO 0x00E9
#define SBM_GETSCROLLINFO 0x00EA

typedef int* LPINT;

struct SCROLLINFO {
    UINT cbSize;
    UINT fMask;
    int nMin;
    int nMax;
    UINT nPage;
    int nPos;
    int nTrackPos;
};
typedef SCROLLINFO* LPSCROLLINFO;
typedef const SCROLLINFO* LPCSCROLLINFO;

// The new position. A window's bar appears when its range grows larger than
// its page and disappears when it no longer is (with SIF_DISABLENOSCROLL it
// stays and is disabled instead); the non-client area follows.
int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info);
// The previous position.
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
// An empty range (min == max) hides a window's bar.
BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, LPINT min, LPINT max);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
// ESB_ flags; FALSE when nothing changed.
BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);

namespace tavrin::win {

// The parts of a bar, from its top (left) end.
enum class ScrollPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };

struct ScrollBarLayout {
    RECT bar{};          // window coordinates for SB_VERT and SB_HORZ, client for SB_CTL
    bool vertical = true;
    int arrow = 0;       // length of each arrow button
    bool thumbShown = false;
    int thumbStart = 0;  // from the bar's start
    int thumbSize = 0;
};

// Where the bar lies and where its thumb is now (while dragged: where the
// drag put it). False when the window has no such bar showing.
bool GetScrollBarLayout(HWND hwnd, int bar, ScrollBarLayout* layout);
ScrollPart ScrollPartAt(const ScrollBarLayout& layout, POINT pt);
// The window is going.
void ForgetScrollBars(HWND hwnd);
// Draws the window's bars on a DC of the whole window.
void PaintWindowScrollBars(HWND hwnd, HDC windowDc);
// WM_NCLBUTTONDOWN on HTVSCROLL or HTHSCROLL: follows the mouse until the
// button goes up, sending WM_VSCROLL or WM_HSCROLL.
void TrackWindowScrollBar(HWND hwnd, int hitTest, POINT screen);
// The control class name, "SCROLLBAR" (registered for the process).
LPCSTR ScrollBarClass();

} // namespace tavrin::win
