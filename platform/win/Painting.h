// Painting: every window keeps an update region (what must be repainted) with
// flags for background erasing and the non-client frame. A window with an
// update region gets WM_PAINT when its thread's queue holds nothing else but
// timers; BeginPaint takes the region, erases the background through
// WM_ERASEBKGND and returns a device context clipped to it. Device contexts
// of a window draw on its top-level window's surface, clipped to the parts of
// the window that can be seen (children and siblings per WS_CLIPCHILDREN and
// WS_CLIPSIBLINGS, window regions, the parent's client area).
#pragma once

#include "platform/gdi/Gdi.h"
#include "platform/win/Window.h"

#define RDW_INVALIDATE 0x0001
#define RDW_INTERNALPAINT 0x0002
#define RDW_ERASE 0x0004
#define RDW_VALIDATE 0x0008
#define RDW_NOINTERNALPAINT 0x0010
#define RDW_NOERASE 0x0020
#define RDW_NOCHILDREN 0x0040
#define RDW_ALLCHILDREN 0x0080
#define RDW_UPDATENOW 0x0100
#define RDW_ERASENOW 0x0200
#define RDW_FRAME 0x0400
#define RDW_NOFRAME 0x0800

#define DCX_WINDOW 0x00000001L
#define DCX_CACHE 0x00000002L
#define DCX_NORESETATTRS 0x00000004L
#define DCX_CLIPCHILDREN 0x00000008L
#define DCX_CLIPSIBLINGS 0x00000010L
#define DCX_PARENTCLIP 0x00000020L
#define DCX_EXCLUDERGN 0x00000040L
#define DCX_INTERSECTRGN 0x00000080L
#define DCX_EXCLUDEUPDATE 0x00000100L
#define DCX_INTERSECTUPDATE 0x00000200L
#define DCX_LOCKWINDOWUPDATE 0x00000400L
#define DCX_VALIDATE 0x00200000L

// WM_PRINT flags
#define PRF_CHECKVISIBLE 0x00000001L
#define PRF_NONCLIENT 0x00000002L
#define PRF_CLIENT 0x00000004L
#define PRF_ERASEBKGND 0x00000008L
#define PRF_CHILDREN 0x00000010L
#define PRF_OWNED 0x00000020L

// ScrollWindowEx
#define SW_SCROLLCHILDREN 0x0001
#define SW_INVALIDATE 0x0002
#define SW_ERASE 0x0004

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
typedef PAINTSTRUCT* LPPAINTSTRUCT;

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);
// Client coordinates; a null rectangle means the whole client area.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL ValidateRgn(HWND hwnd, HRGN region);
BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase);
int GetUpdateRgn(HWND hwnd, HRGN region, BOOL erase);
BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags);
// Sends WM_PAINT at once when the window has an update region.
BOOL UpdateWindow(HWND hwnd);
// While a window is locked, drawing on it is suppressed; unlocking repaints it.
BOOL LockWindowUpdate(HWND hwnd);

// A device context on the client area (GetDC), the whole window
// (GetWindowDC) or as the flags say. Null window: the screen.
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags);
int ReleaseDC(HWND hwnd, HDC hdc);
HWND WindowFromDC(HDC hdc);

// Moves the pixels of the client area (or of the clip rectangle) and
// invalidates what the move uncovered.
int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, LPRECT updateRect,
                   UINT flags);
BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip);

// The window region limits where the window is seen, drawn and hit; the
// system owns the region from now on. Null removes it.
int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw);
int GetWindowRgn(HWND hwnd, HRGN region);

// A stock brush of the system colour.
HBRUSH GetSysColorBrush(int index);

namespace tavrin::win {

// Message-queue side: the window of the thread to get WM_PAINT next (parents
// before children, in z-order), or null.
HWND NextWindowToPaint(DWORD threadId, HWND filter);
bool ThreadNeedsPaint(DWORD threadId);
// The window is gone.
void ForgetPaintState(HWND hwnd);
// Marks the frame (window minus client area) for repainting.
void InvalidateNonClient(HWND hwnd);
// The default non-client painting and background erasing.
void PaintNonClient(HWND hwnd);
LRESULT EraseBackground(HWND hwnd, HDC hdc);
// After DispatchMessage handled WM_PAINT: what is left to erase or frame.
void FinishPaintDispatch(HWND hwnd);

} // namespace tavrin::win
