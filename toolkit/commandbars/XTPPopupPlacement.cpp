#include "toolkit/commandbars/XTPPopupPlacement.h"

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
