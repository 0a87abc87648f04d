// The caret: one per thread, owned by one window of that thread. It is drawn
// by inverting its rectangle in the owner's visible area, blinks on the
// process clock and is hidden while its window paints (BeginPaint to
// EndPaint), so painting never leaves half a caret behind.
#pragma once

#include "platform/win/Window.h"

// A null bitmap makes a solid caret of width by height (0: the border
// metrics); (HBITMAP)1 a grey one; a bitmap its own shape. The new caret
// starts hidden and replaces the thread's caret.
BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
// Hiding is counted: each HideCaret needs a ShowCaret. A null window means
// the thread's caret whatever its window.
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);
// Client coordinates of the caret's window.
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(LPPOINT pt);

namespace tavrin::win {

// The window is going: its caret goes with it.
void ForgetCaret(HWND hwnd);
// Around BeginPaint and EndPaint of the window.
void HideCaretForPaint(HWND hwnd);
void ShowCaretAfterPaint(HWND hwnd);
// Whether the thread's caret is on the screen at this moment (tests).
bool IsCaretDrawn();

} // namespace tavrin::win
