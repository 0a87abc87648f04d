#include "app/GnomePaintManager.h"

#include "platform/mfc/Wnd.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"

namespace {

constexpr COLORREF kBackground = RGB(230, 230, 230);
constexpr COLORREF kDockedLight = RGB(245, 245, 245); // also the hot fill
constexpr COLORREF kDockedDark = RGB(196, 196, 196);
constexpr COLORREF kFrame = RGB(153, 153, 153);   // outer frames, ticks, grips
constexpr COLORREF kInnerDark = RGB(206, 206, 206);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kActive = RGB(221, 221, 221);
constexpr COLORREF kPressed = RGB(204, 204, 204);
constexpr COLORREF kHotFrame = RGB(92, 92, 92);
constexpr COLORREF kSeparator = RGB(161, 161, 161);
constexpr COLORREF kFloatingCaption = RGB(68, 100, 172);

// A fill that a bar too small for its separator leaves out.
void FillIfAny(CDC* pDC, int x, int y, int cx, int cy, COLORREF clr)
{
    if (cx > 0 && cy > 0)
        pDC->FillSolidRect(x, y, cx, cy, clr);
}

// The outer frame of a hot or pressed button, then the inner edges.
void DrawButtonFrame(CDC* pDC, CRect rc, COLORREF clrFill, COLORREF clrInnerTopLeft, COLORREF clrInnerBottomRight)
{
    pDC->FillSolidRect(&rc, clrFill);
    pDC->Draw3dRect(&rc, kHotFrame, kHotFrame);
    rc.DeflateRect(1, 1);
    pDC->Draw3dRect(&rc, clrInnerTopLeft, clrInnerBottomRight);
}

} // namespace

CGnomePaintManager::~CGnomePaintManager() = default;

void CGnomePaintManager::FillDockBar(CDC* pDC, CWnd* pDockBar)
{
    CRect rc;
    pDockBar->GetClientRect(&rc);
    pDC->FillSolidRect(&rc, kBackground);
}

void CGnomePaintManager::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    pDC->FillSolidRect(&rc, kBackground);
    const int nPosition = pBar->GetPosition();
    if (nPosition == xtpBarFloating || nPosition == xtpBarPopup) {
        pDC->Draw3dRect(&rc, kFrame, kFrame);
        rc.DeflateRect(1, 1);
        pDC->Draw3dRect(&rc, kWhite, kInnerDark);
    } else if (nPosition >= xtpBarTop && nPosition <= xtpBarRight) {
        pDC->Draw3dRect(&rc, kDockedLight, kDockedDark);
    }
}

void CGnomePaintManager::DrawControlBackground(CDC* pDC, CRect rc, BOOL bSelected, BOOL bPressed, BOOL bEnabled,
                                               BOOL bChecked, BOOL bPopuped, int, int)
{
    if (!bEnabled) {
        if (bSelected == 2)
            Draw3dRect(pDC, rc, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
        return;
    }
    if (bSelected || bPressed || bPopuped)
        pDC->FillSolidRect(&rc, kActive);
    BOOL bPressedLook = FALSE;
    if (bChecked) {
        if (!bSelected && !bPressed) {
            pDC->Draw3dRect(&rc, kFrame, kWhite);
            return;
        }
        bPressedLook = TRUE;
    } else if (bPopuped || bPressed == 2 || (bSelected && bPressed)) {
        bPressedLook = TRUE;
    } else if (!bSelected && !bPressed) {
        return;
    }
    if (bPressedLook)
        DrawButtonFrame(pDC, rc, kPressed, kPressed, kWhite);
    else
        DrawButtonFrame(pDC, rc, kDockedLight, kWhite, kInnerDark);
}

CSize CGnomePaintManager::DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    switch (pBar->GetPosition()) {
    case xtpBarFloating:
        return DrawFloatingTitle(pDC, pBar, bDraw, kFloatingCaption);
    case xtpBarLeft:
    case xtpBarRight:
        if (pDC && bDraw && rc.right - 4 > 4) {
            for (int x = 4; x < rc.right - 4; x += 5) {
                Line(pDC, x, 7, x + 4, 3, kFrame);
                Line(pDC, x, 8, x + 4, 4, kWhite);
            }
        }
        return CSize(0, 8);
    case xtpBarTop:
    case xtpBarBottom:
        if (pDC && bDraw && rc.bottom - 4 > 8) {
            for (int y = 7; y + 1 < rc.bottom - 4; y += 5) {
                Line(pDC, 3, y + 1, 7, y - 3, kWhite);
                Line(pDC, 3, y, 7, y - 4, kFrame);
            }
        }
        return CSize(8, 0);
    default:
        return CSize(0, 0);
    }
}

CSize CGnomePaintManager::DrawCommandBarSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl,
                                                  BOOL bDraw)
{
    if (!bDraw)
        return CSize(0, 8);
    const CRect rc = pControl->GetRect();
    const CRect rcRow = pControl->GetRowRect();
    const int nPosition = pBar->GetPosition();
    if (pBar->GetType() == xtpBarTypePopup) {
        CRect rcClient;
        pBar->GetClientRect(&rcClient);
        const CRect rcLine(14, rc.top - 5, rcClient.right - 14, rc.top - 3);
        pDC->Draw3dRect(&rcLine, kInnerDark, kWhite);
    } else if (nPosition == xtpBarLeft || nPosition == xtpBarRight) {
        // A control that starts a new column gets its line beside the column.
        if (!pControl->GetWrap())
            FillIfAny(pDC, rcRow.left + 4, rc.top - 4, rcRow.Width() - 8, 1, kSeparator);
        else
            FillIfAny(pDC, rcRow.right + 2, rcRow.top + 4, 1, rcRow.Height() - 8, kSeparator);
    } else {
        // A control that starts a new row gets its line above the row.
        if (!pControl->GetWrap())
            FillIfAny(pDC, rc.left - 4, rcRow.top + 4, 1, rcRow.Height() - 8, kSeparator);
        else
            FillIfAny(pDC, rcRow.left + 4, rcRow.top - 4, rcRow.Width() - 8, 1, kSeparator);
    }
    return CSize(0, 0);
}

void CGnomePaintManager::DrawStatusBarGripper(CDC* pDC, CRect rcClient)
{
    const int w = rcClient.Width(), h = rcClient.Height();
    for (int k = 0; k < 4; ++k)
        Line(pDC, w - 4 - 4 * k, h - 2, w - 1, h - 5 - 4 * k, kFrame);
    for (int k = 0; k < 4; ++k)
        Line(pDC, w - 5 - 4 * k, h - 2, w - 1, h - 6 - 4 * k, kWhite);
}
