// Inside the window manager: device contexts on windows and the parts of a
// window that can be seen.
#pragma once

#include "platform/win/Painting.h"
#include "platform/gdi/Region.h"

namespace tavrin::win {

// The visible part of the window (or of its client area) in the coordinates
// of its top-level window's surface.
Region VisibleRegion(HWND hwnd, bool windowArea, bool clipChildren, bool clipSiblings);
// A device context on the window or its client area, further clipped to clip
// (in the DC's own coordinates) when given.
HDC MakeWindowDc(HWND hwnd, bool windowArea, DWORD flags, const Region* clip);
// Takes the update region (client coordinates) and the pending flags.
bool TakeUpdate(HWND hwnd, Region* clientArea, bool* erase, bool* frame);
void EraseNow(HWND hwnd);

} // namespace tavrin::win
