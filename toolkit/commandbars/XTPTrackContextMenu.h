// Context menus of the toolkit's controls (the header's sort menu).
#pragma once

#include "platform/base/Types.h"

class CMenu;
class CWnd;

// Tracks the menu at (x, y) for pWnd and returns what the tracking returns;
// nIDBitmap names a toolbar whose icons the menu shows.
int XTPTrackContextMenu(CMenu* pMenu, UINT nFlags, int x, int y, CWnd* pWnd, int nIDBitmap = 0);
