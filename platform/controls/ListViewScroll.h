// Scroll codes and the window scroll bars the tree and list controls use.
#pragma once

#include "platform/win/ScrollBar.h"

namespace tavrin::controls {

// The thumb position a WM_VSCROLL/WM_HSCROLL carries: from the window's own
// bar the whole of it (wParam holds only 16 bits), else wParam's.
int ScrollThumbPosition(HWND hwnd, int bar, WPARAM wParam);

} // namespace tavrin::controls
