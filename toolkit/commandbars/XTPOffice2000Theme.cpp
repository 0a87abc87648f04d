#include "toolkit/commandbars/XTPOffice2000Theme.h"

#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlComboBox.h"
#include "toolkit/commandbars/XTPControlEdit.h"
#include "toolkit/commandbars/XTPControlListBox.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPImageManagerIcon.h"
#include "toolkit/controls/XTDrawHelpers.h"

#include <algorithm>

namespace {

// The image centred in a cell.
CPoint CentredIn(const CRect& rc, CSize sz)
{
    return CPoint(rc.left + (rc.Width() - sz.cx) / 2, rc.top + (rc.Height() - sz.cy) / 2);
}

// A 20 x 20 square centred in a cell.
CRect CheckSquare(const CRect& rc)
{
    const CPoint pt = CentredIn(rc, CSize(20, 20));
    return CRect(pt.x, pt.y, pt.x + 20, pt.y + 20);
}

CString ShortcutOf(CXTPControl* pControl)
{
    const CString strShortcut = pControl->GetShortcutText();
    return strShortcut.IsEmpty() ? pControl->GetAutoShortcutText() : strShortcut;
}

} // namespace

CXTPOffice2000Theme::CXTPOffice2000Theme()
{
    m_iconsInfo.bUseFadedIcons = FALSE;
    m_iconsInfo.bIconsWithShadow = FALSE;
    // Rows of 0x55 and 0xAA: every other pixel.
    const WORD bits[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    m_bmpDither.CreateBitmap(8, 8, 1, 1, bits);
    m_brushDither.CreatePatternBrush(&m_bmpDither);
}

CXTPOffice2000Theme::~CXTPOffice2000Theme() = default;

// Bars ------------------------------------------------------------------------

void CXTPOffice2000Theme::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    pDC->FillSolidRect(&rc, GetColor(COLOR_3DFACE));
    const int nPosition = pBar->GetPosition();
    if (nPosition == xtpBarFloating || nPosition == xtpBarPopup) {
        Draw3dRect(pDC, rc, COLOR_3DFACE, 0);
        rc.DeflateRect(1, 1);
    }
    DrawRaised(pDC, rc);
}

CRect CXTPOffice2000Theme::GetCommandBarBorders(CXTPCommandBar* pBar)
{
    return pBar && pBar->GetType() == xtpBarTypePopup ? CRect(3, 3, 3, 3) : CRect(2, 2, 2, 2);
}

CSize CXTPOffice2000Theme::DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    if (pBar->IsDialogBar())
        return DrawDialogBarGripper(pDC, pBar, bDraw);
    CRect rcClient;
    pBar->GetClientRect(&rcClient);
    switch (pBar->GetPosition()) {
    case xtpBarFloating: {
        CXTFontSelector font(pDC, &m_fontSmCaption);
        const int h = std::max(15, static_cast<int>(pDC->GetTextExtent(" ", 1).cy));
        const CRect rcStrip(3, 3, rcClient.right - 3, h + 3);
        if (bDraw) {
            pDC->FillSolidRect(&rcStrip, GetColor(COLOR_ACTIVECAPTION));
            pDC->SetTextColor(GetColor(COLOR_BTNHIGHLIGHT));
            pDC->SetBkMode(TRANSPARENT);
            // Room for two square title buttons at the right.
            CRect rcText(5, 3, rcStrip.right - 2 * h, rcStrip.bottom);
            pDC->DrawText(pBar->GetTitle(), &rcText, DT_SINGLELINE | DT_VCENTER);
        }
        return CSize(rcStrip.Width(), h);
    }
    case xtpBarLeft:
    case xtpBarRight:
        if (bDraw)
            DrawRaised(pDC, CRect(3, 3, rcClient.Width() - 3, 6));
        return CSize(0, 8);
    case xtpBarTop:
    case xtpBarBottom:
        if (bDraw)
            DrawRaised(pDC, CRect(3, 3, 6, rcClient.Height() - 3));
        return CSize(6, 0);
    default:
        return CSize(0, 0);
    }
}

CSize CXTPOffice2000Theme::DrawDialogBarGripper(CDC* pDC, CXTPCommandBar*, BOOL bDraw)
{
    const int nHeight = std::max(22, m_nTextHeight + 4);
    if (bDraw)
        DrawRaised(pDC, CRect(3, 3, 6, nHeight));
    return CSize(6, nHeight);
}

CSize CXTPOffice2000Theme::DrawCommandBarSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl,
                                                   BOOL bDraw)
{
    if (!bDraw)
        return CSize(0, 8);
    const CRect rc = pControl->GetRect();
    const CRect rcRow = pControl->GetRowRect();
    CRect rcClient;
    pBar->GetClientRect(&rcClient);
    const int nPosition = pBar->GetPosition();
    if (pBar->GetType() == xtpBarTypePopup)
        DrawSunken(pDC, CRect(14, rc.top - 5, rcClient.right - 14, rc.top - 3));
    else if (nPosition == xtpBarLeft || nPosition == xtpBarRight) {
        if (!pControl->GetWrap())
            DrawSunken(pDC, CRect(rcClient.left, rc.top - 4, rcRow.right, rc.top - 2));
        else
            DrawSunken(pDC, CRect(rcRow.right + 2, rcRow.top + 4, rcRow.right + 4, rcRow.bottom));
    } else {
        if (!pControl->GetWrap())
            DrawSunken(pDC, CRect(rc.left - 4, rcRow.top, rc.left - 2, rcRow.bottom));
        else
            DrawSunken(pDC, CRect(rcRow.left + 4, rcRow.top - 4, rcRow.right, rcRow.top - 2));
    }
    return CSize(0, 0);
}

void CXTPOffice2000Theme::AdjustExcludeRect(CRect& rc, CXTPControl* pControl, BOOL bVertical)
{
    if (pControl->GetType() == xtpControlComboBox)
        return;
    CXTPCommandBar* pParent = pControl->GetParent();
    if (pParent && pParent->GetType() == xtpBarTypePopup)
        rc.DeflateRect(1, 0);
    else if (bVertical)
        rc.InflateRect(0, 1);
    else
        rc.InflateRect(1, 0);
}

CSize CXTPOffice2000Theme::DrawTearOffGripper(CDC* pDC, CRect rc, BOOL bSelected, BOOL bDraw)
{
    if (bDraw)
        pDC->FillSolidRect(rc.left, rc.top, rc.Width(), rc.Height() - 1,
                           GetColor(bSelected ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    return CSize(0, 8);
}

// Button states ----------------------------------------------------------------

void CXTPOffice2000Theme::FillCheckedBackground(CDC* pDC, CRect rc)
{
    const COLORREF clrOldBk = pDC->SetBkColor(GetColor(COLOR_3DFACE));
    const COLORREF clrOldText = pDC->SetTextColor(GetColor(COLOR_BTNHIGHLIGHT));
    CBrush* pOld = pDC->SelectObject(&m_brushDither);
    pDC->PatBlt(rc.left, rc.top, rc.Width(), rc.Height(), PATCOPY);
    pDC->SelectObject(pOld);
    pDC->SetTextColor(clrOldText);
    pDC->SetBkColor(clrOldBk);
}

void CXTPOffice2000Theme::DrawControlBackground(CDC* pDC, CRect rc, BOOL bSelected, BOOL bPressed, BOOL bEnabled,
                                                BOOL bChecked, BOOL bPopuped, int nBarType, int)
{
    if (bEnabled) {
        if (bChecked) {
            if (!bSelected && !bPressed)
                FillCheckedBackground(pDC, rc);
            DrawSunken(pDC, rc);
        } else if (!bPopuped && bPressed != 2) {
            if (bSelected && bPressed)
                DrawSunken(pDC, rc);
            else if (bSelected || bPressed)
                DrawRaised(pDC, rc);
        } else {
            DrawSunken(pDC, rc);
        }
        return;
    }
    if ((bChecked && nBarType == xtpBarTypeMenuBar) || bSelected == 2)
        DrawSunken(pDC, rc);
}

int CXTPOffice2000Theme::DrawControlEntry(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected, BOOL bPressed,
                                          BOOL bChecked, BOOL bPopuped, int nBarPosition)
{
    DrawControlBackground(pDC, rc, bSelected, bPressed, bEnabled, bChecked, bPopuped, xtpBarTypeNormal,
                          nBarPosition);
    const int nText = !bEnabled ? COLOR_GRAYTEXT : nBarPosition == xtpBarPopup ? m_nPopupBarText : COLOR_BTNTEXT;
    pDC->SetTextColor(GetColor(nText));
    return pDC->SetBkMode(TRANSPARENT);
}

void CXTPOffice2000Theme::DrawSplitButtonFrame(CDC* pDC, CXTPControl* pControl, CRect rc)
{
    CXTPCommandBar* pParent = pControl->GetParent();
    const int nPosition = pParent ? pParent->GetPosition() : xtpBarTop;
    const BOOL bPopuped = IsControlPopuped(pControl);
    const BOOL bEnabled = pControl->GetEnabled();
    const int nSelected = pControl->GetSelected();
    const int nPressed = pControl->GetPressed();

    DrawControlEntry(pDC, CRect(rc.left, rc.top, rc.right - 12, rc.bottom), bEnabled, nSelected || bPopuped,
                     nPressed, pControl->GetChecked(), FALSE, nPosition);
    if (bEnabled && (nSelected || nPressed || bPopuped))
        DrawControlEntry(pDC, CRect(rc.right - 12, rc.top, rc.right, rc.bottom), TRUE, TRUE, FALSE, FALSE, bPopuped,
                         nPosition);
    const int mid = rc.top + rc.Height() / 2;
    Triangle(pDC, CPoint(rc.right - 9, mid - 1), CPoint(rc.right - 5, mid - 1), CPoint(rc.right - 7, mid + 1),
             pDC->GetTextColor());
}

void CXTPOffice2000Theme::DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pImage, BOOL bSelected,
                                    BOOL bPressed, BOOL bEnabled, BOOL bChecked, BOOL bPopuped, BOOL)
{
    if (!pImage)
        return;
    if (!bEnabled) {
        if (!m_iconsInfo.bUseDisabledIcons && !pImage->IsAlpha()) {
            pImage->DrawMono(pDC, CPoint(pt.x + 1, pt.y + 1), pImage->GetIcon(), GetColor(COLOR_BTNHIGHLIGHT));
            pImage->DrawMono(pDC, pt, pImage->GetIcon(), GetColor(COLOR_BTNSHADOW));
        } else {
            pImage->Draw(pDC, pt, pImage->GetDisabledIcon(), sz);
        }
        return;
    }
    if (!bChecked && !bPopuped) {
        if (!bSelected && !bPressed) {
            pImage->Draw(pDC, pt, m_iconsInfo.bUseFadedIcons ? pImage->GetFadedIcon() : pImage->GetIcon(), sz);
        } else if ((bSelected && bPressed) || (!bSelected && bPressed == 2)) {
            pImage->Draw(pDC, CPoint(pt.x + 1, pt.y + 1), pImage->GetHotIcon(), sz);
        } else if (bSelected || bPressed == 1) {
            if (m_iconsInfo.bIconsWithShadow) {
                pImage->Draw(pDC, CPoint(pt.x + 1, pt.y + 1), pImage->GetShadowIcon(), sz);
                pImage->Draw(pDC, CPoint(pt.x - 1, pt.y - 1), pImage->GetHotIcon(), sz);
            } else {
                pImage->Draw(pDC, pt, pImage->GetHotIcon(), sz);
            }
        }
        return;
    }
    if (!bSelected && !bPressed && bChecked)
        pImage->Draw(pDC, pt, pImage->GetCheckedIcon(), sz);
    else if (bSelected || bPressed)
        pImage->Draw(pDC, pt, pImage->GetHotIcon(), sz);
    else
        pImage->Draw(pDC, pt, pImage->GetIcon(), sz);
}

int CXTPOffice2000Theme::DrawControlText(CDC* pDC, const CString& strText, CRect* pRect, UINT nFormat, BOOL bDraw,
                                         BOOL bSelected, BOOL bEnabled)
{
    if (!bDraw)
        return pDC->DrawText(strText, pRect, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    if (!bEnabled && !bSelected) {
        const COLORREF clrText = pDC->SetTextColor(GetColor(COLOR_BTNHIGHLIGHT));
        CRect rcShadow = *pRect;
        rcShadow.OffsetRect(1, 1);
        pDC->DrawText(strText, &rcShadow, nFormat | DT_SINGLELINE | DT_VCENTER);
        pDC->SetTextColor(clrText);
    }
    return pDC->DrawText(strText, pRect, nFormat | DT_SINGLELINE | DT_VCENTER);
}

// Popup items ------------------------------------------------------------------

CSize CXTPOffice2000Theme::DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    return DrawPopupItem(pDC, pControl, bDraw, 0);
}

CSize CXTPOffice2000Theme::DrawPopupItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw, int nCheckColumn)
{
    CXTPCommandBar* pParent = pControl->GetParent();
    if (!pParent)
        return CSize(0, 0);
    CXTFontSelector font(pDC, GetCommandBarFont(pParent, pControl->GetDefaultItem()));
    const int nType = pControl->GetType();
    const CSize szIcon = pParent->GetIconSize();
    CXTPImageManagerIcon* pImage = GetControlImage(pControl, szIcon.cx);
    const BOOL bRtl = pParent->IsLayoutRTL();
    CString strCaption = pControl->GetCaption();
    if (bRtl)
        FormatCaptionRtl(strCaption);
    const CString strShortcut = ShortcutOf(pControl);
    const int g = std::max(static_cast<int>(szIcon.cx) + 4, m_nTextHeight);
    const int nItemHeight = std::max(static_cast<int>(szIcon.cy) + 4, m_nTextHeight);

    if (!bDraw) {
        CRect rcCaption(0, 0, 0, 0), rcShortcut(0, 0, 0, 0);
        DrawControlText(pDC, strCaption, &rcCaption, 0, FALSE, FALSE, TRUE);
        if (!strShortcut.IsEmpty())
            DrawControlText(pDC, strShortcut, &rcShortcut, 0, FALSE, FALSE, TRUE);
        return CSize(nCheckColumn + g + rcCaption.Width() + rcShortcut.Width() + 40, nItemHeight);
    }

    const CRect rcItem = pControl->GetRect();
    const BOOL bEnabled = pControl->GetEnabled();
    const int nSelected = pControl->GetSelected();
    const int nChecked = pControl->GetChecked();
    const BOOL bPopuped = IsControlPopuped(pControl);

    if (pControl->IsRarelyUsed())
        pDC->FillSolidRect(&rcItem, GetColor(COLOR_3DLIGHT));
    const int nText = !bEnabled ? COLOR_GRAYTEXT : nSelected ? COLOR_HIGHLIGHTTEXT : m_nPopupBarText;
    pDC->SetTextColor(GetColor(nText));
    pDC->SetBkMode(TRANSPARENT);

    // The option lines have a check column in front of the icon column.
    if (nCheckColumn > 0 && nChecked) {
        const CRect rcCheck(rcItem.left, rcItem.top, rcItem.left + nCheckColumn, rcItem.bottom);
        DrawControlBackground(pDC, rcCheck, nSelected, FALSE, bEnabled, TRUE, FALSE, xtpBarTypeMenuBar, xtpBarPopup);
        DrawCheckMark(pDC, CheckSquare(rcCheck), GetColor(m_nPopupBarText), bRtl);
    }
    // The icon column, and where the text part begins.
    CRect rc = rcItem;
    if (nCheckColumn > 0)
        rc.left += nCheckColumn + 1;
    const int nTextLeft = rcItem.left + nCheckColumn + g;

    const CRect rcGutter(rc.left, rc.top, rc.left + g, rc.bottom);
    BOOL bMark = FALSE;
    if (pImage) {
        if (nCheckColumn == 0)
            DrawControlBackground(pDC, rcGutter, nSelected, FALSE, bEnabled, nChecked, FALSE, xtpBarTypeMenuBar,
                                  xtpBarPopup);
        const CSize sz = GetImageDrawSize(pImage, szIcon.cx);
        DrawImage(pDC, CentredIn(rcGutter, sz), sz, pImage, nSelected, FALSE, bEnabled,
                  nCheckColumn == 0 && nChecked, FALSE, FALSE);
        bMark = TRUE;
    } else if (nChecked && nCheckColumn == 0) {
        DrawControlBackground(pDC, rcGutter, nSelected, FALSE, bEnabled, nChecked, FALSE, xtpBarTypeMenuBar,
                              xtpBarPopup);
        DrawCheckMark(pDC, CheckSquare(rcGutter), GetColor(m_nPopupBarText), bRtl);
        bMark = TRUE;
    }

    CRect rcHighlight(bMark || nCheckColumn > 0 ? nTextLeft + 1 : rc.left, rc.top, rc.right, rc.bottom);
    if (IsPopupControlType(nType)) {
        COLORREF clrArrow = GetColor(nText);
        if (nType == xtpControlSplitButtonPopup && bEnabled) {
            if (bPopuped && nSelected) {
                DrawSunken(pDC, CRect(rc.right - 20, rc.top, rc.right, rc.bottom));
                rcHighlight.right = rc.right - 20;
                Rectangle(pDC, rcHighlight, COLOR_HIGHLIGHT, COLOR_HIGHLIGHT);
                clrArrow = GetColor(m_nPopupBarText);
            } else {
                if (nSelected)
                    Rectangle(pDC, rcHighlight, COLOR_HIGHLIGHT, COLOR_HIGHLIGHT);
                Line(pDC, rc.right - 20, rc.top + 1, rc.right - 20, rc.bottom - 1,
                     nSelected ? COLOR_BTNSHADOW : m_nPopupBarText);
            }
        } else if (nSelected) {
            Rectangle(pDC, rcHighlight, COLOR_HIGHLIGHT, COLOR_HIGHLIGHT);
        }
        const int x = rc.right - 11, cy = rc.top + rc.Height() / 2;
        Triangle(pDC, CPoint(x, cy - 3), CPoint(x + 3, cy), CPoint(x, cy + 3), clrArrow);
    } else if (nSelected) {
        Rectangle(pDC, rcHighlight, COLOR_HIGHLIGHT, COLOR_HIGHLIGHT);
    }

    CRect rcText(nTextLeft + 4, rc.top, rc.right, rc.bottom);
    DrawControlText(pDC, strCaption, &rcText, DT_END_ELLIPSIS, TRUE, nSelected, bEnabled);
    if (nType == xtpControlButton && !strShortcut.IsEmpty()) {
        CRect rcShortcut(nTextLeft + 8, rc.top, rc.right - 19, rc.bottom);
        DrawControlText(pDC, strShortcut, &rcShortcut, DT_RIGHT, TRUE, nSelected, bEnabled);
    }
    return rcItem.Size();
}

CSize CXTPOffice2000Theme::DrawSpecialControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar,
                                              BOOL bDraw, void* pParam)
{
    if (!pControl)
        return CSize(0, 0);
    if (nKind == xtpButtonCloseToolbar || nKind == xtpButtonExpandFloating) {
        const BOOL bHot = pControl->GetPressed() || pControl->GetSelected() ||
                          (nKind == xtpButtonExpandFloating && IsControlPopuped(pControl));
        if (bDraw && bHot) {
            const CRect rc = pControl->GetRect();
            pDC->FillSolidRect(&rc, GetColor(COLOR_3DFACE));
        }
    } else if (nKind == xtpButtonCustomize && pControl->GetParent()) {
        const CSize szIcon = pControl->GetParent()->GetIconSize();
        const int g = std::max(static_cast<int>(szIcon.cx) + 4, m_nTextHeight);
        return DrawPopupItem(pDC, pControl, bDraw, g);
    }
    return CXTPPaintManager::DrawSpecialControl(pDC, nKind, pControl, pBar, bDraw, pParam);
}

// Edit, combo and list-box controls --------------------------------------------

void CXTPOffice2000Theme::DrawEditFrame(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected)
{
    if (bEnabled) {
        DrawSunken(pDC, rc);
        return;
    }
    const int nColor = nSelected == 2 ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT;
    Draw3dRect(pDC, rc, nColor, nColor);
}

void CXTPOffice2000Theme::DrawComboBoxButton(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, BOOL)
{
    if (bEnabled) {
        rc = CRect(rc.left - 1, rc.top + 1, rc.right - 1, rc.bottom - 1);
        Rectangle(pDC, rc, COLOR_3DFACE, COLOR_3DFACE);
        if (nSelected) {
            Draw3dRect(pDC, rc, COLOR_BTNSHADOW, COLOR_BTNSHADOW);
        } else {
            Draw3dRect(pDC, rc, COLOR_3DFACE, 0);
            CRect rcInner = rc;
            rcInner.DeflateRect(1, 1);
            DrawRaised(pDC, rcInner);
        }
    }
    CXTFontSelector font(pDC, &m_fontMarlettIcon);
    const COLORREF clrOld = pDC->SetTextColor(GetColor(COLOR_BTNTEXT));
    CRect rcGlyph(rc.left + 1, rc.top + 1, rc.right, rc.bottom);
    pDC->DrawText("u", 1, &rcGlyph, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pDC->SetTextColor(clrOld);
}

CSize CXTPOffice2000Theme::DrawFieldLabel(CDC* pDC, CXTPControl* pControl, BOOL bDraw, BOOL bShowLabel, int nWidth,
                                          int& nLabelWidth, CRect& rcField)
{
    CXTPCommandBar* pParent = pControl->GetParent();
    const BOOL bPopupBar = pParent && pParent->GetType() == xtpBarTypePopup;
    CString strCaption = pControl->GetCaption();
    StripMnemonics(strCaption);
    const int h = pDC->GetTextExtent(" ", 1).cy;
    const int nIconWidth = pParent ? pParent->GetIconSize().cx : 16;
    const int nItemHeight = std::max(m_nTextHeight, nIconWidth + 4);
    bShowLabel = bShowLabel || bPopupBar;

    if (!bDraw) {
        const int nCaption = pDC->GetTextExtent(strCaption).cx;
        if (bPopupBar) {
            nLabelWidth = nCaption + nItemHeight + 9;
            return CSize(nWidth + nLabelWidth, h + 8);
        }
        nLabelWidth = bShowLabel ? nCaption + 5 : 0;
        return CSize(nWidth, h + 8);
    }

    const CRect rc = pControl->GetRect();
    const BOOL bEnabled = pControl->GetEnabled();
    pDC->SetBkMode(TRANSPARENT);
    rcField = rc;
    if (bShowLabel) {
        pDC->SetTextColor(GetColor(bEnabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        CRect rcLabel = rc;
        rcLabel.left += bPopupBar ? nItemHeight + 4 : 2;
        DrawControlText(pDC, strCaption, &rcLabel, 0, TRUE, FALSE, bEnabled);
        rcField.left += nLabelWidth;
    }
    rcField.left += 1;
    return CSize(0, 0);
}

CSize CXTPOffice2000Theme::DrawControlEdit(CDC* pDC, CXTPControlEdit* pEdit, BOOL bDraw)
{
    CXTFontSelector font(pDC, &m_fontIcon);
    int nLabelWidth = pEdit->GetLabelWidth();
    CRect rcField;
    const CSize sz = DrawFieldLabel(pDC, pEdit, bDraw, pEdit->GetHasLabel(), pEdit->GetWidth(), nLabelWidth, rcField);
    if (!bDraw) {
        pEdit->SetLabelWidth(nLabelWidth);
        return sz;
    }
    if (pEdit->GetEnabled())
        pDC->FillSolidRect(&rcField, GetColor(COLOR_WINDOW));
    DrawEditFrame(pDC, rcField, pEdit->GetEnabled(), pEdit->GetSelected());
    return CSize(0, 0);
}

CSize CXTPOffice2000Theme::DrawControlComboBox(CDC* pDC, CXTPControlComboBox* pCombo, BOOL bDraw)
{
    CXTFontSelector font(pDC, &m_fontIcon);
    if (!bDraw)
        pCombo->SetDropDownWidth(pDC->GetTextExtent(" ", 1).cy + 2);
    int nLabelWidth = pCombo->GetLabelWidth();
    CRect rcField;
    const CSize sz =
        DrawFieldLabel(pDC, pCombo, bDraw, pCombo->GetComboStyle() == 1, pCombo->GetWidth(), nLabelWidth, rcField);
    if (!bDraw) {
        pCombo->SetLabelWidth(nLabelWidth);
        return sz;
    }
    const BOOL bEnabled = pCombo->GetEnabled();
    const CRect rcButton(rcField.right - pCombo->GetDropDownWidth(), rcField.top, rcField.right, rcField.bottom);
    if (bEnabled) {
        Rectangle(pDC, rcField, COLOR_WINDOW, COLOR_WINDOW);
        if (!pCombo->GetEditCtrl()) {
            pDC->SetTextColor(GetColor(COLOR_WINDOWTEXT));
            CRect rcText(rcField.left + 3, rcField.top + 1, rcButton.left - 2, rcField.bottom - 1);
            pDC->DrawText(pCombo->GetListBoxText(), &rcText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
    }
    DrawComboBoxButton(pDC, rcButton, bEnabled, pCombo->GetSelected(), pCombo->IsDroppedDown());
    DrawEditFrame(pDC, rcField, bEnabled, pCombo->GetSelected());
    return CSize(0, 0);
}

CSize CXTPOffice2000Theme::DrawListBoxControl(CDC* pDC, CXTPControl* pButton, CRect rc, BOOL bSelected, BOOL bDraw,
                                              CXTPControlListBox* pListBox)
{
    if (!pButton) {
        if (bDraw)
            pDC->FillSolidRect(&rc, GetColor(COLOR_3DFACE));
        return CSize(0, 0);
    }
    const CSize szIcon = pListBox ? pListBox->GetIconSize() : CSize(16, 16);
    const CSize szCell(std::max(static_cast<int>(szIcon.cx) + 4, m_nTextHeight),
                       std::max(static_cast<int>(szIcon.cy) + 4, m_nTextHeight));
    if (!bDraw)
        return szCell;

    pDC->FillSolidRect(&rc, GetColor(COLOR_3DFACE));
    int nHighlightLeft = rc.left + 1;
    if (CXTPImageManagerIcon* pImage = GetControlImage(pButton, szIcon.cx)) {
        const CRect rcCell(rc.left, rc.top, rc.left + szCell.cx, rc.bottom);
        DrawControlBackground(pDC, rcCell, bSelected, FALSE, TRUE, FALSE, FALSE, xtpBarTypeMenuBar, xtpBarPopup);
        const CSize sz = GetImageDrawSize(pImage, szIcon.cx);
        DrawImage(pDC, CentredIn(rcCell, sz), sz, pImage, bSelected, FALSE, TRUE, FALSE, FALSE, FALSE);
        nHighlightLeft = rcCell.right + 1;
    }
    if (bSelected)
        Rectangle(pDC, CRect(nHighlightLeft, rc.top, rc.right - 1, rc.bottom), COLOR_HIGHLIGHT, COLOR_HIGHLIGHT);

    const COLORREF clrText = GetColor(bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
    pDC->SetTextColor(clrText);
    pDC->SetBkMode(TRANSPARENT);
    CString strCaption = pButton->GetCaption();
    StripMnemonics(strCaption);
    CXTFontSelector font(pDC, &m_fontRegular);
    CRect rcText(rc.left + szCell.cx + 4, rc.top, rc.right, rc.bottom);
    pDC->DrawText(strCaption, &rcText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);

    const int nType = pButton->GetType();
    const int mid = rc.top + rc.Height() / 2;
    if (IsPopupControlType(nType)) {
        Triangle(pDC, CPoint(rc.right - 7, mid), CPoint(rc.right - 12, mid - 5), CPoint(rc.right - 12, mid + 5),
                 clrText);
        if (nType == xtpControlSplitButtonPopup)
            Line(pDC, rc.right - 20, rc.top + 1, rc.right - 20, rc.bottom - 1,
                 bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
    } else if (nType == xtpControlComboBox || nType == xtpControlEdit) {
        CRect rcCaption(0, 0, 0, 0);
        pDC->DrawText(strCaption, &rcCaption, DT_CALCRECT | DT_SINGLELINE);
        const CRect rcField(rc.left + szCell.cx + rcCaption.Width() + 9, rc.top, rc.right, rc.bottom);
        Rectangle(pDC, rcField, bSelected ? COLOR_HIGHLIGHT : COLOR_3DFACE, COLOR_WINDOW);
        if (nType == xtpControlComboBox) {
            const int nButton = pDC->GetTextExtent(" ", 1).cy + 2;
            const CRect rcButton(rcField.right - nButton, rcField.top, rcField.right, rcField.bottom);
            if (bSelected) {
                Rectangle(pDC, rcButton, COLOR_HIGHLIGHT, COLOR_3DFACE);
            } else {
                CRect rcInside = rcButton;
                rcInside.DeflateRect(2, 2);
                pDC->FillSolidRect(&rcInside, GetColor(COLOR_3DFACE));
            }
            CXTFontSelector glyph(pDC, &m_fontMarlettIcon);
            pDC->SetTextColor(GetColor(bSelected ? 45 : 46));
            CRect rcGlyph(rcButton.left + 1, rcButton.top + 1, rcButton.right, rcButton.bottom);
            pDC->DrawText("u", 1, &rcGlyph, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
    return szCell;
}
