// Mouse capture: one window at a time gets all mouse input, wherever the
// cursor is. Losing the capture sends WM_CAPTURECHANGED to the window that
// had it, with the new capture window (or null) in lParam.
#pragma once

#include "platform/win/Window.h"

// The previous capture window of the calling thread.
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
// The capture window, if it belongs to the calling thread.
HWND GetCapture();

namespace tavrin::win {
// The capture window of any thread; null when there is none.
HWND GetSystemCapture();
} // namespace tavrin::win
