#include "toolkit/commandbars/XTPPopupPlacement.h"

#include "toolkit/commandbars/XTPCommandBarsDefines.h"

#include <algorithm>

DWORD XTPCalcPopupFlags(BOOL bControlLeft, BOOL bRtl, int nParentPosition, DWORD dwParentFlags, BOOL bComboOnBar)
{
    if (bComboOnBar)
        return xtpPopupDown;
    DWORD dwFlags = (bControlLeft || bRtl) ? xtpPopupLeft : 0;
    switch (nParentPosition) {
    case xtpBarRight:
        dwFlags = xtpPopupLeft;
        break;
    case xtpBarLeft:
        break;
    case xtpBarPopup:
        // A submenu keeps the side its parent popup opened to.
        if (dwParentFlags & xtpPopupLeft)
            dwFlags = xtpPopupLeft;
        break;
    default: // top, bottom, floating
        dwFlags |= xtpPopupDown;
        break;
    }
    return dwFlags;
}

XTPPopupLocation XTPCalcPopupLocation(const CRect& rcWork, CPoint pt, CSize sz, const CRect& rcExclude,
                                      DWORD dwFlags)
{
    const int bottom = rcWork.bottom - XTP_POPUP_BOTTOM_MARGIN;
    const bool emptyWidth = rcExclude.Width() == 0;
    const bool emptyHeight = rcExclude.Height() == 0;
    const bool atPoint = rcExclude.IsRectEmpty();
    int x = pt.x, y = pt.y, cx = sz.cx, cy = sz.cy;
    BOOL bScroll = FALSE;

    if (dwFlags == (xtpPopupLeft | xtpPopupDown) && !emptyWidth)
        x = rcExclude.right - cx;
    else if ((dwFlags & xtpPopupLeft) && !emptyWidth)
        x = rcExclude.left - cx;
    else if (dwFlags & xtpPopupLeft)
        x -= cx;

    if (emptyHeight && y > bottom) {
        // Opens upwards from a point inside the bottom margin; its bottom
        // edge still stays out of the margin.
        y = bottom - cy;
        if (y < rcWork.top) {
            y = rcWork.top;
            cy = bottom - y;
            bScroll = TRUE;
        }
    } else if (y + cy > bottom) {
        if (emptyHeight) {
            y = y >= (bottom - rcWork.top) / 2 ? y - cy : bottom - cy;
        } else if (dwFlags & xtpPopupDown) {
            y = rcExclude.top - cy;
            if (y < rcWork.top) {
                bScroll = TRUE;
                // Too tall either way: take the larger side and scroll there.
                if ((rcExclude.top + rcExclude.bottom) / 2 > (bottom - rcWork.top) / 2) {
                    y = rcWork.top;
                    cy = rcExclude.top - rcWork.top;
                } else {
                    y = rcExclude.bottom;
                    cy = bottom - rcExclude.bottom;
                }
            }
        } else {
            y = bottom - cy;
        }
        if (y < rcWork.top)
            y = rcWork.top;
        if (y + cy > bottom) {
            cy = bottom - y;
            bScroll = TRUE;
        }
    }

    if (x + cx > rcWork.right) {
        if (atPoint) {
            x = x > rcWork.right ? x - cx : rcWork.right - cx;
        } else {
            x = ((dwFlags & xtpPopupDown) ? rcWork.right : rcExclude.left) - cx;
            dwFlags |= xtpPopupLeft;
        }
    }
    if (x < rcWork.left) {
        if (!atPoint) {
            x = (dwFlags & xtpPopupDown) ? rcWork.left : rcExclude.right;
            dwFlags &= ~xtpPopupLeft;
        } else if (dwFlags & xtpPopupLeft) {
            x = rcWork.left;
            dwFlags &= ~xtpPopupLeft;
        }
    }

    XTPPopupLocation loc;
    loc.pt = CPoint(x, y);
    loc.size = CSize(cx, cy);
    loc.dwFlags = dwFlags;
    loc.bScroll = bScroll;
    return loc;
}

void XTPAdjustPopupScrolling(std::vector<XTPPopupScrollRow>& rows, CSize sz, const CRect& rcBorders,
                             int nSeparator, BOOL bBottomAnchored, XTPPopupScrollState& state)
{
    const int count = static_cast<int>(rows.size());
    const int button = XTP_POPUP_SCROLL_BUTTON_HEIGHT;
    const int left = rcBorders.left, right = sz.cx - rcBorders.right;
    const int top = rcBorders.top, bottom = sz.cy - rcBorders.bottom;
    state.rcUp.SetRectEmpty();
    state.rcDown.SetRectEmpty();
    auto placeUp = [&] { state.rcUp.SetRect(left, top, right, top + button); };
    auto placeDown = [&] { state.rcDown.SetRect(left, bottom - button, right, bottom); };
    for (XTPPopupScrollRow& row : rows) {
        row.bScrolledOut = TRUE;
        row.rc.SetRectEmpty();
    }

    if (!bBottomAnchored) {
        state.nFirst = state.nFirst == 1 ? 0 : std::max(0, std::min(state.nFirst, count));
        int p = top;
        if (state.nFirst != 0) {
            placeUp();
            p += button;
        }
        int stop = state.nFirst;
        for (; stop < count; ++stop) {
            XTPPopupScrollRow& row = rows[stop];
            row.bScrolledOut = FALSE;
            if (!row.bVisible)
                continue;
            if (row.bBeginGroup)
                p += nSeparator;
            if (sz.cy - (p + row.nHeight) < rcBorders.bottom + button) {
                row.bScrolledOut = TRUE;
                break;
            }
            row.rc.SetRect(left, p, right, p + row.nHeight);
            p += row.nHeight;
        }
        state.nEnd = stop;
        if (stop != count)
            placeDown();
        return;
    }

    state.nEnd = state.nEnd == count - 1 ? count : std::max(0, std::min(state.nEnd, count));
    int p = bottom;
    if (state.nEnd != count) {
        placeDown();
        p -= button;
    }
    int stop = state.nEnd - 1;
    for (; stop >= 0; --stop) {
        XTPPopupScrollRow& row = rows[stop];
        row.bScrolledOut = FALSE;
        if (!row.bVisible)
            continue;
        if (p - row.nHeight < top + button) {
            row.bScrolledOut = TRUE;
            break;
        }
        row.rc.SetRect(left, p - row.nHeight, right, p);
        p -= row.nHeight;
        if (row.bBeginGroup)
            p -= nSeparator;
    }
    state.nFirst = stop + 1;
    if (stop >= 0)
        placeUp();
}
