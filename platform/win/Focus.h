// Focus and activation. Each thread has its own active and focus window
// (windows of one thread only); the foreground window is the active window of
// the thread the user works with. Activation sends WM_NCACTIVATE and
// WM_ACTIVATE to the window losing it and then to the window gaining it,
// with WM_ACTIVATEAPP around a change of the foreground thread; focus moves
// with WM_KILLFOCUS before WM_SETFOCUS.
#pragma once

#include "platform/win/Window.h"

// WM_ACTIVATE
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2

// WM_MOUSEACTIVATE answers
#define MA_ACTIVATE 1
#define MA_ACTIVATEANDEAT 2
#define MA_NOACTIVATE 3
#define MA_NOACTIVATEANDEAT 4

// The previous focus window of the thread, or null when the window cannot
// take the focus (another thread's, disabled or minimised on its way up, or
// refused by a CBT hook).
HWND SetFocus(HWND hwnd);
HWND GetFocus();
// Activates a top-level window of the calling thread; the previous one.
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
// The most recently active popup owned by the window, or the window itself.
HWND GetLastActivePopup(HWND hwnd);
// Disabling sends WM_CANCELMODE, takes the focus away and sends WM_ENABLE.
// Returns whether the window was disabled before.
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);

namespace tavrin::win {

// The application gains or loses activation as a whole (the presenter: the
// user switched to another program). Losing it deactivates the foreground
// window with WM_ACTIVATEAPP FALSE to every top-level window of its thread.
void SetApplicationActive(bool active);

// Activates the window with the mouse (WA_CLICKACTIVE).
void ActivateByMouse(HWND topLevel);
// After a window is hidden or destroyed: hands activation to the next
// visible top-level window of the thread, or to none.
void ActivateOtherWindow(HWND leaving);
// The focus and active windows of a thread.
HWND ThreadFocusWindow(DWORD threadId);
HWND ThreadActiveWindow(DWORD threadId);
// Before WM_DESTROY: the focus, the activation and the capture leave the
// window and its descendants.
void OnWindowDestroying(HWND hwnd);

} // namespace tavrin::win
