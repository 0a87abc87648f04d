// Where a popup bar shows on the work area, and which side its own
// submenus open to. Kept free of windows so the rules can be checked alone.
#pragma once

#include "platform/mfc/Rect.h"

// Popup flags: opens towards the left, drops vertically from a horizontal bar.
enum XTPPopupFlags {
    xtpPopupLeft = 1,
    xtpPopupDown = 2,
};

// Kept free at the bottom of the work area.
constexpr int XTP_POPUP_BOTTOM_MARGIN = 5;

struct XTPPopupLocation {
    CPoint pt;            // top-left corner, screen coordinates
    CSize size;           // window size, height cut when it must scroll
    DWORD dwFlags = 0;    // flags after flipping at the work-area edges
    BOOL bScroll = FALSE; // the popup is taller than its room
};

// Places a popup of size sz requested at pt beside rcExclude (empty for a
// popup opened at a point) inside rcWork.
XTPPopupLocation XTPCalcPopupLocation(const CRect& rcWork, CPoint pt, CSize sz, const CRect& rcExclude,
                                      DWORD dwFlags);
