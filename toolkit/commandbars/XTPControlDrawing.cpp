// The drawing and measuring every theme shares for controls on toolbars and
// menu bars, split buttons and the bars' own buttons; themes change the look
// through the entry, image, colour and font slots these call.
#include "toolkit/commandbars/XTPPaintManager.h"

#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPImageManagerIcon.h"
#include "toolkit/controls/XTDrawHelpers.h"

#include <algorithm>

namespace {

BOOL IsVerticalPosition(int nPosition)
{
    return nPosition == xtpBarLeft || nPosition == xtpBarRight;
}

} // namespace

BOOL CXTPPaintManager::IsPopupControlType(int nType)
{
    return nType == xtpControlPopup || nType == xtpControlButtonPopup || nType == xtpControlSplitButtonPopup;
}

BOOL CXTPPaintManager::IsControlPopuped(CXTPControl* pControl)
{
    return IsPopupControlType(pControl->GetType()) && static_cast<CXTPControlPopup*>(pControl)->GetPopuped();
}

CSize CXTPPaintManager::GetImageDrawSize(CXTPImageManagerIcon* pImage, int nWidth)
{
    const int nHeight = pImage->GetWidth() > 0 ? pImage->GetHeight() * nWidth / pImage->GetWidth() : nWidth;
    return CSize(nWidth, nHeight);
}

CXTPImageManagerIcon* CXTPPaintManager::GetControlImage(CXTPControl* pControl, int nIconWidth)
{
    const int nStyle = pControl->GetStyle();
    const BOOL bWanted = nStyle == xtpButtonIcon || nStyle == xtpButtonIconAndCaption ||
                         (nStyle == xtpButtonAutomatic && pControl->GetType() != xtpControlPopup);
    return bWanted ? pControl->GetImage(nIconWidth) : nullptr;
}

BOOL CXTPPaintManager::IsCaptionVisible(CXTPControl* pControl, BOOL bDrawImage)
{
    if (pControl->GetCaption().IsEmpty())
        return FALSE;
    const int nStyle = pControl->GetStyle();
    // Automatic: a plain popup, or any control without an icon, shows its caption.
    return nStyle == xtpButtonCaption || nStyle == xtpButtonIconAndCaption ||
           pControl->GetType() == xtpControlLabel ||
           (nStyle == xtpButtonAutomatic && (pControl->GetType() == xtpControlPopup || !bDrawImage));
}

CSize CXTPPaintManager::DrawControlToolBarParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    CXTPCommandBar* pParent = pControl->GetParent();
    if (!pParent)
        return CSize(0, 0);
    CXTFontSelector font(pDC, GetCommandBarFont(pParent, pControl->GetDefaultItem()));

    const CRect rcButton = bDraw ? pControl->GetRect() : CRect(0, 0, 0, 0);
    const BOOL bVert = IsVerticalPosition(pParent->GetPosition());
    const int nType = pControl->GetType();
    const CSize szIcon = pParent->GetIconSize();
    const CSize szButton = pParent->GetButtonSize();
    const BOOL bEnabled = pControl->GetEnabled();
    const int nSelected = pControl->GetSelected();
    const int nPressed = pControl->GetPressed();
    const int nChecked = pControl->GetChecked();
    const BOOL bPopuped = IsControlPopuped(pControl);
    const BOOL bEmbossed = !bEnabled && !IsFlatStyle();

    CXTPImageManagerIcon* pImage = GetControlImage(pControl, szIcon.cx);
    const BOOL bDrawImage = pImage != nullptr;
    const BOOL bDrawText = IsCaptionVisible(pControl, bDrawImage);
    const CString strCaption = bDrawText ? pControl->GetCaption() : CString();

    if (bDraw) {
        if (nType == xtpControlSplitButtonPopup)
            DrawSplitButtonFrame(pDC, pControl, rcButton);
        else
            DrawControlEntry(pDC, rcButton, bEnabled, nSelected, nPressed, nChecked, bPopuped,
                             pParent->GetPosition());
    }

    if (pParent->IsTextBelowIcons() && bDrawImage) {
        // Under the icon the caption shows whatever the style.
        const CString strBelow = pControl->GetCaption();
        CXTFontSelector fontBelow(pDC, pControl->GetDefaultItem() ? &m_fontRegularBold : &m_fontRegular);
        const BOOL bTriangle = nType == xtpControlPopup;
        if (bDraw) {
            CRect rc = rcButton;
            if (nType == xtpControlSplitButtonPopup)
                rc.right -= 11;
            const CSize sz = GetImageDrawSize(pImage, szIcon.cx);
            DrawImage(pDC, CPoint(rc.left + (rc.Width() - sz.cx) / 2, rc.top + 4), sz, pImage, nSelected, nPressed,
                      bEnabled, nChecked, bPopuped, TRUE);
            DrawControlCaption(pDC, strBelow, CRect(rc.left, rc.top + szButton.cy - 4, rc.right, rc.bottom), TRUE,
                               FALSE, TRUE, bTriangle, bEmbossed);
        }
        const CSize szText = DrawControlCaption(pDC, strBelow, rcButton, FALSE, FALSE, TRUE, bTriangle, FALSE);
        const int cy = szButton.cy + szText.cy;
        int cx = std::max(static_cast<int>(szButton.cx), static_cast<int>(szText.cx) + 10);
        if (nType == xtpControlSplitButtonPopup)
            cx += 11;
        return CSize(std::max(cx, cy), cy);
    }

    if (bDraw && bDrawImage) {
        const CSize sz = GetImageDrawSize(pImage, szIcon.cx);
        CPoint pt = bVert ? CPoint(rcButton.left + (rcButton.Width() - sz.cx) / 2, rcButton.top + 4)
                          : CPoint(rcButton.left + 3, rcButton.top + (rcButton.Height() - sz.cy) / 2);
        if (nType == xtpControlSplitButtonPopup || (nType == xtpControlPopup && !bDrawText))
            pt.x = rcButton.left + 3;
        DrawImage(pDC, pt, sz, pImage, nSelected, nPressed, bEnabled, nChecked, bPopuped, TRUE);
    }

    switch (nType) {
    case xtpControlButton:
    case xtpControlButtonPopup:
    case xtpControlLabel:
        if (!bDrawText)
            return szButton;
        return DrawControlImageCaption(pDC, strCaption, rcButton, bVert, bDraw, bEmbossed, FALSE,
                                       bDrawImage ? szButton : CSize(23, 23), bDrawImage);
    case xtpControlPopup: {
        const BOOL bTriangle = pParent->GetType() != xtpBarTypeMenuBar;
        if (!bDrawImage) {
            const CSize sz = DrawControlCaption(pDC, strCaption, rcButton, bDraw, bVert, TRUE,
                                                bDraw ? bTriangle : TRUE, bEmbossed);
            return CSize(sz.cx + 6, sz.cy + 6);
        }
        if (!bDrawText) {
            if (bDraw) {
                const int mid = rcButton.top + rcButton.Height() / 2;
                Triangle(pDC, CPoint(rcButton.right - 9, mid - 1), CPoint(rcButton.right - 5, mid - 1),
                         CPoint(rcButton.right - 7, mid + 1), pDC->GetTextColor());
            }
            return CSize(szButton.cy + 7, szButton.cy);
        }
        return DrawControlImageCaption(pDC, strCaption, rcButton, bVert, bDraw, bEmbossed, bTriangle, szButton,
                                       TRUE);
    }
    case xtpControlSplitButtonPopup: {
        const CSize szSplit = bDrawImage ? szButton : CSize(23, 23);
        if (!bDrawText)
            return CSize(szSplit.cx + 11, szSplit.cy);
        CRect rc = rcButton;
        rc.right -= 11;
        const CSize sz =
            DrawControlImageCaption(pDC, strCaption, rc, bVert, bDraw, bEmbossed, FALSE, szSplit, bDrawImage);
        return CSize(sz.cx + 11, sz.cy);
    }
    default:
        return CSize(0, 0);
    }
}

CSize CXTPPaintManager::DrawControlCaption(CDC* pDC, const CString& strCaption, CRect rc, BOOL bDraw,
                                           BOOL bVertical, BOOL bCentered, BOOL bTriangle, BOOL bEmbossed)
{
    CString strClear = strCaption;
    StripMnemonics(strClear);
    if (strClear.IsEmpty())
        strClear = " ";
    const CSize szText = pDC->GetTextExtent(strClear);
    if (!bDraw) {
        const CSize sz(szText.cx + (bTriangle ? 10 : 0), szText.cy);
        return bVertical ? CSize(sz.cy, sz.cx) : sz;
    }

    const COLORREF clrText = pDC->GetTextColor();
    const int w = szText.cx + (bTriangle ? 5 : 0);
    if (!bVertical) {
        if (bCentered)
            rc.left += (rc.Width() - w) / 2;
        if (bEmbossed) {
            pDC->SetTextColor(GetColor(COLOR_BTNHIGHLIGHT));
            CRect rcShadow = rc;
            rcShadow.OffsetRect(1, 1);
            pDC->DrawText(strCaption, &rcShadow, DT_SINGLELINE | DT_VCENTER);
            pDC->SetTextColor(clrText);
        }
        pDC->DrawText(strCaption, &rc, DT_SINGLELINE | DT_VCENTER);
        if (bTriangle) {
            const int x = rc.left + szText.cx + 5;
            const int mid = rc.top + rc.Height() / 2;
            Triangle(pDC, CPoint(x - 2, mid - 1), CPoint(x + 2, mid - 1), CPoint(x, mid + 1), clrText);
        }
        return CSize(0, 0);
    }

    // The vertical font runs top to bottom with its cell left of the start.
    const int nCentre = rc.left + rc.Width() / 2;
    CRect rcText = rc;
    rcText.left = rc.right - (rc.Width() - szText.cy + 1) / 2;
    if (bCentered)
        rcText.top += (rc.Height() - w + 1) / 2;
    if (bEmbossed) {
        pDC->SetTextColor(GetColor(COLOR_BTNHIGHLIGHT));
        CRect rcShadow = rcText;
        rcShadow.OffsetRect(1, 1);
        pDC->DrawText(strClear, &rcShadow, DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
        pDC->SetTextColor(clrText);
    }
    pDC->DrawText(strClear, &rcText, DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    if (bTriangle) {
        const CPoint ptTip(nCentre, rcText.top + szText.cx + 4);
        Triangle(pDC, ptTip, CPoint(ptTip.x + 2, ptTip.y - 2), CPoint(ptTip.x + 2, ptTip.y + 2), clrText);
    }
    return CSize(0, 0);
}

CSize CXTPPaintManager::DrawControlImageCaption(CDC* pDC, const CString& strCaption, CRect rc, BOOL bVertical,
                                                BOOL bDraw, BOOL bEmbossed, BOOL bTriangle, CSize szButton,
                                                BOOL bDrawImage)
{
    const CSize szText = DrawControlCaption(pDC, strCaption, rc, FALSE, bVertical, FALSE, bTriangle, FALSE);
    if (!bVertical) {
        if (bDraw) {
            CRect rcText = rc;
            rcText.left += bDrawImage ? szButton.cx - 1 : 4;
            DrawControlCaption(pDC, strCaption, rcText, TRUE, FALSE, FALSE, bTriangle, bEmbossed);
        }
        return CSize((bDrawImage ? szButton.cx : 4) + szText.cx + 3,
                     std::max(static_cast<int>(szText.cy) + 6, static_cast<int>(szButton.cy)));
    }
    if (bDraw) {
        CRect rcText = rc;
        rcText.top += bDrawImage ? szButton.cy : 4;
        DrawControlCaption(pDC, strCaption, rcText, TRUE, TRUE, FALSE, bTriangle, bEmbossed);
    }
    return CSize(std::max(static_cast<int>(szText.cx) + 6, static_cast<int>(szButton.cx)),
                 (bDrawImage ? szButton.cx : 4) + szText.cy + 3);
}

void CXTPPaintManager::DrawSplitButtonFrame(CDC* pDC, CXTPControl* pControl, CRect rc)
{
    CXTPCommandBar* pParent = pControl->GetParent();
    const int nPosition = pParent ? pParent->GetPosition() : xtpBarTop;
    const BOOL bPopuped = IsControlPopuped(pControl);
    const BOOL bEnabled = pControl->GetEnabled();
    const int nSelected = pControl->GetSelected();
    const int nPressed = pControl->GetPressed();

    CRect rcButton = rc;
    if (!bPopuped)
        rcButton.right -= 11;
    DrawControlEntry(pDC, rcButton, bEnabled, nSelected, nPressed, pControl->GetChecked(), bPopuped, nPosition);
    if (bEnabled && (nSelected || nPressed) && !bPopuped)
        DrawControlEntry(pDC, CRect(rc.right - 12, rc.top, rc.right, rc.bottom), TRUE, TRUE, FALSE, FALSE, FALSE,
                         nPosition);
    const int mid = rc.top + rc.Height() / 2;
    Triangle(pDC, CPoint(rc.right - 9, mid - 1), CPoint(rc.right - 5, mid - 1), CPoint(rc.right - 7, mid + 1),
             pDC->GetTextColor());
}

CSize CXTPPaintManager::DrawSpecialControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar,
                                           BOOL bDraw, void* pParam)
{
    if (!pControl)
        return CSize(0, 0);
    const int nPosition = pBar ? pBar->GetPosition() : xtpBarTop;
    const BOOL bVert = IsVerticalPosition(nPosition) || nPosition == xtpBarPopup;
    const CRect rc = pControl->GetRect();

    switch (nKind) {
    case xtpButtonExpandToolbar: {
        if (!bDraw) {
            // pParam: the bar's size; the control goes into the strip at its far end.
            if (const CSize* pSize = static_cast<const CSize*>(pParam)) {
                if (bVert)
                    pControl->SetRect(CRect(2, pSize->cy - 13, pSize->cx - 2, pSize->cy - 2));
                else
                    pControl->SetRect(CRect(pSize->cx - 13, 2, pSize->cx - 2, pSize->cy - 2));
            }
            return CSize(0, 0);
        }
        // pParam: whether controls of the bar are hidden.
        const BOOL bHidden = pParam && *static_cast<const BOOL*>(pParam);
        DrawControlEntry(pDC, pControl);
        const COLORREF clrText = pDC->GetTextColor();
        if (!bVert) {
            const int mid = rc.left + rc.Width() / 2;
            Triangle(pDC, CPoint(mid - 2, rc.bottom - 7), CPoint(mid + 2, rc.bottom - 7), CPoint(mid, rc.bottom - 5),
                     clrText);
        } else {
            const int mid = rc.top + rc.Height() / 2;
            Triangle(pDC, CPoint(rc.right - 7, mid - 2), CPoint(rc.right - 7, mid + 2), CPoint(rc.right - 5, mid),
                     clrText);
        }
        if (bHidden) {
            CXTPenSelector pen(pDC->m_hDC, clrText);
            for (int i = 0; i < 2; ++i) {
                if (!bVert) {
                    // Two ">" near the top-left corner, two pixels thick.
                    const int x = rc.left + 2 + i * 4, y = rc.top + 4;
                    for (int d = 0; d < 2; ++d) {
                        Line(pDC, x + d, y, x + d + 2, y + 2);
                        Line(pDC, x + d + 2, y + 2, x + d - 1, y + 5);
                    }
                } else {
                    // Two "v" near the top.
                    const int x = rc.left + 4, y = rc.top + 2 + i * 4;
                    for (int d = 0; d < 2; ++d) {
                        Line(pDC, x, y + d, x + 2, y + d + 2);
                        Line(pDC, x + 2, y + d + 2, x + 5, y + d - 1);
                    }
                }
            }
        }
        return CSize(0, 0);
    }
    case xtpButtonExpandMenu: {
        if (bDraw) {
            DrawControlEntry(pDC, pControl);
            const int cx = rc.left + rc.Width() / 2;
            CXTPenSelector pen(pDC->m_hDC, pDC->GetTextColor());
            for (int t = rc.top; t <= rc.top + 4; t += 4) {
                for (int d = 0; d < 2; ++d) {
                    pDC->MoveTo(cx - 2, t + 2 + d);
                    pDC->LineTo(cx, t + 4 + d);
                    pDC->LineTo(cx + 3, t + 1 + d);
                }
            }
        }
        return CSize(0, 12);
    }
    case xtpButtonCloseToolbar: {
        if (!bDraw)
            return CSize(0, 0);
        DrawControlEntry(pDC, pControl);
        CFont font;
        font.CreatePointFont(80 * 96 / std::max(1, pDC->GetDeviceCaps(LOGPIXELSX)), "Marlett", pDC);
        CXTFontSelector selector(pDC, &font);
        const BOOL bHot = pControl->GetPressed() || pControl->GetSelected();
        const COLORREF clrOld = pDC->GetTextColor();
        if (!bHot)
            pDC->SetTextColor(GetColor(COLOR_HIGHLIGHTTEXT));
        CRect rcGlyph = rc;
        pDC->DrawText("r", 1, &rcGlyph, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        pDC->SetTextColor(clrOld);
        return CSize(0, 0);
    }
    case xtpButtonExpandFloating: {
        if (!bDraw)
            return CSize(0, 0);
        DrawControlEntry(pDC, pControl);
        const CPoint c = rc.CenterPoint();
        const BOOL bHot = pControl->GetSelected() || IsControlPopuped(pControl);
        Triangle(pDC, CPoint(c.x - 3, c.y - 2), CPoint(c.x + 3, c.y - 2), CPoint(c.x, c.y + 1),
                 bHot ? pDC->GetTextColor() : GetColor(COLOR_HIGHLIGHTTEXT));
        return CSize(0, 0);
    }
    default:
        return CSize(0, 0);
    }
}
