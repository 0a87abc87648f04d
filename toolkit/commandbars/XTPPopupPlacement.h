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

// Opening flags of a popup from its control: bControlLeft is the control's
// left-popup flag, bRtl the popup window's layout direction, nParentPosition
// the parent bar's position and dwParentFlags its popup flags when it is a
// popup. bComboOnBar: a combo box on a bar that is not a popup.
DWORD XTPCalcPopupFlags(BOOL bControlLeft, BOOL bRtl, int nParentPosition, DWORD dwParentFlags, BOOL bComboOnBar);

// Where the popup starts beside its control's screen rectangle.
inline CPoint XTPPopupPointOfExclude(const CRect& rcExclude, DWORD dwFlags)
{
    return (dwFlags & xtpPopupDown) ? CPoint(rcExclude.left, rcExclude.bottom)
                                    : CPoint(rcExclude.right, rcExclude.top);
}

// Places a popup of size sz requested at pt beside rcExclude (empty for a
// popup opened at a point) inside rcWork.
XTPPopupLocation XTPCalcPopupLocation(const CRect& rcWork, CPoint pt, CSize sz, const CRect& rcExclude,
                                      DWORD dwFlags);

#include <vector>

constexpr int XTP_POPUP_SCROLL_BUTTON_HEIGHT = 16;
constexpr UINT XTP_POPUP_SCROLL_INTERVAL = 80; // ms per scrolled control

// One row of a scrolling popup: what the layout needs of a control.
struct XTPPopupScrollRow {
    int nHeight = 0;
    BOOL bVisible = TRUE;
    BOOL bBeginGroup = FALSE;
    // Results: the row's rectangle and whether scrolling hides it.
    CRect rc;
    BOOL bScrolledOut = FALSE;
};

struct XTPPopupScrollState {
    int nFirst = 0; // first shown row
    int nEnd = 0;   // one past the last shown row
    CRect rcUp;     // empty when not shown
    CRect rcDown;
};

// Lays the visible window of a popup of size sz out, from state.nFirst
// down (top-anchored) or from state.nEnd up. rcBorders holds the border
// widths; nSeparator the gap before a row that begins a group.
void XTPAdjustPopupScrolling(std::vector<XTPPopupScrollRow>& rows, CSize sz, const CRect& rcBorders,
                             int nSeparator, BOOL bBottomAnchored, XTPPopupScrollState& state);
