// The caption animation between two rectangles (a window going to and from
// the tray). Our desktops have no such effect for a window that is simply
// hidden or shown, so nothing is drawn; the call succeeds, as it does where
// animation is switched off.
#pragma once

#include "platform/base/Types.h"

#define IDANI_OPEN 1
#define IDANI_CAPTION 3

BOOL DrawAnimatedRects(HWND hwnd, int animation, const RECT* from, const RECT* to);
