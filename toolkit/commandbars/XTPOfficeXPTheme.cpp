#include "toolkit/commandbars/XTPOfficeXPTheme.h"

#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlComboBox.h"
#include "toolkit/commandbars/XTPControlEdit.h"
#include "toolkit/commandbars/XTPControlListBox.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPImageManagerIcon.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/controls/XTDrawHelpers.h"

#include <algorithm>

namespace {

CString ShortcutOf(CXTPControl* pControl)
{
    const CString strShortcut = pControl->GetShortcutText();
    return strShortcut.IsEmpty() ? pControl->GetAutoShortcutText() : strShortcut;
}

// A box of sz centred on (cx, cy).
CRect BoxAround(int cx, int cy, CSize sz)
{
    const int left = cx - sz.cx / 2, top = cy - sz.cy / 2;
    return CRect(left, top, left + sz.cx, top + sz.cy);
}

} // namespace

CXTPOfficeXPTheme::CXTPOfficeXPTheme()
{
    m_iconsInfo.bUseFadedIcons = TRUE;
    m_iconsInfo.bIconsWithShadow = TRUE;
}

CXTPOfficeXPTheme::~CXTPOfficeXPTheme() = default;

int CXTPOfficeXPTheme::IconColumnWidth(CXTPCommandBar* pBar) const
{
    const int cx = pBar ? static_cast<int>(pBar->GetIconSize().cx) : 16;
    return std::max(cx + 4, m_nTextHeight + 4);
}

void CXTPOfficeXPTheme::FillIconColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bExpandedOnly)
{
    pDC->FillSolidRect(x, y, cx, cy, GetColor(bExpandedOnly ? 42 : 30));
}

// Bars ------------------------------------------------------------------------

CRect CXTPOfficeXPTheme::PopupJoint(CXTPCommandBar* pBar)
{
    auto* pPopupBar = dynamic_cast<CXTPPopupBar*>(pBar);
    CXTPControlPopup* pControl = pPopupBar ? pPopupBar->GetControlPopup() : nullptr;
    CXTPCommandBar* pParent = pControl ? pControl->GetParent() : nullptr;
    if (!pParent || !pParent->GetSafeHwnd() || !pBar->GetSafeHwnd())
        return CRect(0, 0, 0, 0);
    CRect rcControl = pControl->GetRect();
    pParent->ClientToScreen(&rcControl);
    CRect rcPopup;
    pBar->GetWindowRect(&rcPopup);
    CRect rcJoint;
    if (!rcJoint.IntersectRect(&rcControl, &rcPopup))
        return CRect(0, 0, 0, 0);
    if (rcJoint.Width() > 1)
        rcJoint.DeflateRect(1, 0);
    if (rcJoint.Height() > 1)
        rcJoint.DeflateRect(0, 1);
    pBar->ScreenToClient(&rcJoint);
    return rcJoint;
}

void CXTPOfficeXPTheme::FillPopupBar(CDC* pDC, CXTPCommandBar* pBar, int nJoint)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    Rectangle(pDC, rc, 43, 41);
    if (pBar->GetType() != xtpBarTypePopup)
        return;
    FillIconColumn(pDC, 1, 2, IconColumnWidth(pBar) + 1, rc.Height() - 4, FALSE);
    const CRect rcJoint = PopupJoint(pBar);
    if (!rcJoint.IsRectEmpty())
        pDC->FillSolidRect(&rcJoint, GetColor(nJoint));
}

void CXTPOfficeXPTheme::FillFloatingFrame(CDC* pDC, CRect rc, int nPen, int nBrush)
{
    const int w = rc.Width(), h = rc.Height();
    Rectangle(pDC, rc, nPen, nBrush);
    rc.DeflateRect(1, 1);
    Rectangle(pDC, rc, nPen, nBrush);
    const COLORREF clr = GetColor(nPen);
    pDC->SetPixel(2, 2, clr);
    pDC->SetPixel(w - 2, 2, clr);
    pDC->SetPixel(2, h - 2, clr);
    pDC->SetPixel(w - 2, h - 2, clr);
}

void CXTPOfficeXPTheme::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    const int nPosition = pBar->GetPosition();
    if (nPosition == xtpBarFloating) {
        FillFloatingFrame(pDC, rc, 43, pBar->GetType() == xtpBarTypeMenuBar ? COLOR_3DFACE : 30);
        return;
    }
    if (nPosition == xtpBarPopup) {
        FillPopupBar(pDC, pBar, 30);
        return;
    }
    if (pBar->GetType() == xtpBarTypeMenuBar) {
        pDC->FillSolidRect(&rc, GetColor(COLOR_3DFACE));
        return;
    }
    pDC->FillSolidRect(&rc, GetColor(30));
    Draw3dRect(pDC, rc, COLOR_3DFACE, COLOR_3DFACE);
    // Bevelled corners.
    const COLORREF clr = GetColor(COLOR_3DFACE);
    const int w = rc.Width(), h = rc.Height();
    pDC->SetPixel(1, 1, clr);
    pDC->SetPixel(w - 2, 1, clr);
    pDC->SetPixel(1, h - 2, clr);
    pDC->SetPixel(w - 2, h - 2, clr);
}

CSize CXTPOfficeXPTheme::DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    if (pBar->IsDialogBar())
        return DrawDialogBarGripper(pDC, pBar, bDraw);
    CRect rcClient;
    pBar->GetClientRect(&rcClient);
    switch (pBar->GetPosition()) {
    case xtpBarFloating:
        return DrawFloatingTitle(pDC, pBar, bDraw, GetColor(COLOR_BTNSHADOW));
    case xtpBarLeft:
    case xtpBarRight:
        if (bDraw)
            for (int x = 5; x < rcClient.Width() - 5; x += 2)
                Line(pDC, x, 3, x, 6, 38);
        return CSize(0, 8);
    case xtpBarTop:
    case xtpBarBottom:
        if (bDraw)
            for (int y = 5; y < rcClient.Height() - 5; y += 2)
                Line(pDC, 3, y, 6, y, 38);
        return CSize(6, 0);
    default:
        return CSize(0, 0);
    }
}

CSize CXTPOfficeXPTheme::DrawDialogBarGripper(CDC* pDC, CXTPCommandBar*, BOOL bDraw)
{
    const int nHeight = std::max(22, m_nTextHeight + 4);
    if (bDraw)
        for (int y = 6; y < nHeight - 2; y += 2)
            Line(pDC, 3, y, 6, y, 38);
    return CSize(6, nHeight);
}

CSize CXTPOfficeXPTheme::DrawCommandBarSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw)
{
    if (!bDraw)
        return CSize(0, 3);
    const CRect rc = pControl->GetRect();
    const CRect rcRow = pControl->GetRowRect();
    const int nPosition = pBar->GetPosition();
    if (pBar->GetType() == xtpBarTypePopup) {
        CRect rcClient;
        pBar->GetClientRect(&rcClient);
        int x0 = 10 + IconColumnWidth(pBar);
        if (pControl->m_nJoinedColumn != 0)
            x0 += IconColumnWidth(pBar);
        Line(pDC, x0, rc.top - 2, rcClient.right - 1, rc.top - 2, 39);
    } else if (nPosition == xtpBarLeft || nPosition == xtpBarRight) {
        if (!pControl->GetWrap())
            Line(pDC, rcRow.left, rc.top - 4, rcRow.right, rc.top - 4, 39);
        else
            Line(pDC, rcRow.right + 2, rcRow.top + 4, rcRow.right + 2, rcRow.bottom, 39);
    } else {
        if (!pControl->GetWrap())
            Line(pDC, rc.left - 4, rcRow.top, rc.left - 4, rcRow.bottom, 39);
        else
            Line(pDC, rcRow.left + 4, rcRow.top - 4, rcRow.right, rcRow.top - 4, 39);
    }
    return CSize(0, 0);
}

void CXTPOfficeXPTheme::AdjustExcludeRect(CRect& rc, CXTPControl* pControl, BOOL bVertical)
{
    CXTPCommandBar* pParent = pControl->GetParent();
    if (pParent && pParent->GetType() == xtpBarTypePopup)
        rc.InflateRect(1, 0);
    else if (pControl->GetType() == xtpControlComboBox)
        return;
    else if (bVertical)
        rc.DeflateRect(1, 0);
    else
        rc.DeflateRect(0, 1);
}

CSize CXTPOfficeXPTheme::DrawTearOffGripper(CDC* pDC, CRect rc, BOOL bSelected, BOOL bDraw)
{
    if (bDraw) {
        CRect rcStrip(1, 1, rc.right + 1, rc.bottom - rc.top + 1);
        pDC->FillSolidRect(&rcStrip, GetColor(41));
        rcStrip.DeflateRect(1, 1);
        const int nHalf = std::min(16, rc.Width() / 2 - 10);
        const int mid = rcStrip.left + rcStrip.Width() / 2;
        const int x0 = mid - nHalf, x1 = mid + nHalf;
        if (bSelected) {
            Rectangle(pDC, rcStrip, 32, 31);
            if (x0 < x1)
                for (int y : {4, 6})
                    Line(pDC, x0, y, x1, y, 45);
        } else {
            pDC->FillSolidRect(&rcStrip, GetColor(30));
            if (x0 < x1)
                for (int y : {3, 5, 7})
                    Line(pDC, x0, y, x1, y, 38);
        }
    }
    return CSize(0, 9);
}

void CXTPOfficeXPTheme::DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL)
{
    Draw3dRect(pDC, rc, COLOR_BTNSHADOW, COLOR_BTNSHADOW);
}

// Button states ----------------------------------------------------------------

void CXTPOfficeXPTheme::DrawControlBackground(CDC* pDC, CRect rc, BOOL bSelected, BOOL bPressed, BOOL bEnabled,
                                              BOOL bChecked, BOOL bPopuped, int nBarType, int)
{
    if (!bEnabled) {
        if (bChecked && nBarType == xtpBarTypeMenuBar)
            Rectangle(pDC, rc, 40, 30);
        if (bSelected == 2)
            Rectangle(pDC, rc, 32, nBarType != xtpBarTypeMenuBar ? 31 : 41);
        return;
    }
    if (bPopuped)
        Rectangle(pDC, rc, 43, 30);
    else if (bChecked && !bSelected && !bPressed)
        Rectangle(pDC, rc, 50, 36);
    else if (bChecked && bSelected && !bPressed)
        Rectangle(pDC, rc, 37, 33);
    else if (bPressed == 2 || (bSelected && bPressed))
        Rectangle(pDC, rc, 50, 33);
    else if (bSelected || bPressed)
        Rectangle(pDC, rc, 32, 31);
}

int CXTPOfficeXPTheme::DrawControlEntry(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected, BOOL bPressed,
                                        BOOL bChecked, BOOL bPopuped, int nBarPosition)
{
    DrawControlBackground(pDC, rc, bSelected, bPressed, bEnabled, bChecked, bPopuped, xtpBarTypeNormal,
                          nBarPosition);
    int nText;
    if (!bEnabled)
        nText = 40;
    else if (bPopuped)
        nText = 46;
    else if (bChecked && !bSelected && !bPressed)
        nText = 45;
    else if (bPressed == 2)
        nText = 47;
    else if (bSelected)
        nText = bPressed || bChecked ? 47 : 45;
    else if (bPressed)
        nText = 45;
    else
        nText = nBarPosition == xtpBarPopup ? 44 : 46;
    pDC->SetTextColor(GetColor(nText));
    return pDC->SetBkMode(TRANSPARENT);
}

void CXTPOfficeXPTheme::DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pImage, BOOL bSelected,
                                  BOOL bPressed, BOOL bEnabled, BOOL bChecked, BOOL bPopuped, BOOL)
{
    if (!pImage)
        return;
    if (!bEnabled) {
        if (!m_iconsInfo.bUseDisabledIcons && !pImage->IsAlpha())
            pImage->DrawMono(pDC, pt, pImage->GetIcon(), GetColor(40));
        else
            pImage->Draw(pDC, pt, pImage->GetDisabledIcon(), sz);
        return;
    }
    if (!bPopuped && !bChecked) {
        if (!bSelected && !bPressed) {
            pImage->Draw(pDC, pt, m_iconsInfo.bUseFadedIcons ? pImage->GetFadedIcon() : pImage->GetIcon(), sz);
        } else if ((bSelected && !bPressed) || (!bSelected && bPressed == 1)) {
            if (m_iconsInfo.bIconsWithShadow) {
                pImage->Draw(pDC, CPoint(pt.x + 1, pt.y + 1), pImage->GetShadowIcon(), sz);
                pImage->Draw(pDC, CPoint(pt.x - 1, pt.y - 1), pImage->GetHotIcon(), sz);
            } else {
                pImage->Draw(pDC, pt, pImage->GetHotIcon(), sz);
            }
        } else {
            pImage->Draw(pDC, pt, pImage->GetHotIcon(), sz);
        }
        return;
    }
    if (bPopuped && !bChecked)
        pImage->Draw(pDC, pt, pImage->GetIcon(), sz);
    else if (bSelected || bPressed)
        pImage->Draw(pDC, pt, pImage->GetHotIcon(), sz);
    else
        pImage->Draw(pDC, pt, pImage->GetCheckedIcon(), sz);
}

// Popup items ------------------------------------------------------------------

CSize CXTPOfficeXPTheme::DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    CXTPCommandBar* pParent = pControl->GetParent();
    if (!pParent)
        return CSize(0, 0);
    CXTFontSelector font(pDC, GetCommandBarFont(pParent, pControl->GetDefaultItem()));
    const int nType = pControl->GetType();
    const CSize szIcon = pParent->GetIconSize();
    const BOOL bRtl = pParent->IsLayoutRTL();
    CString strCaption = pControl->GetCaption();
    if (bRtl)
        FormatCaptionRtl(strCaption);
    const CString strShortcut = ShortcutOf(pControl);
    const int g = IconColumnWidth(pParent);
    const int nItemHeight = std::max(static_cast<int>(szIcon.cy) + 6, m_nTextHeight);

    if (!bDraw) {
        CRect rcCaption(0, 0, 0, 0), rcShortcut(0, 0, 0, 0);
        pDC->DrawText(strCaption, &rcCaption, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
        if (nType == xtpControlButton && !strShortcut.IsEmpty())
            pDC->DrawText(strShortcut, &rcShortcut, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
        return CSize(rcCaption.Width() + rcShortcut.Width() + g + 40, nItemHeight);
    }

    const CRect rc = pControl->GetRect();
    const BOOL bEnabled = pControl->GetEnabled();
    const int nSelected = pControl->GetSelected();
    const int nChecked = pControl->GetChecked();
    const BOOL bPopuped = IsControlPopuped(pControl);
    const int cy = rc.top + rc.Height() / 2;
    const CRect rcBox = BoxAround(rc.left + g / 2, cy, CSize(szIcon.cx + 4, szIcon.cy + 4));

    if (pControl->IsRarelyUsed())
        FillIconColumn(pDC, 1, rc.top, g + 1, rc.Height(), TRUE);
    if (pControl->IsLabel())
        pDC->FillSolidRect(g + 3, rc.top, rc.right - (g + 3), rc.Height(), GetColor(56));
    else
        DrawControlBackground(pDC, rc, nSelected, FALSE, bEnabled, FALSE, FALSE, xtpBarTypeMenuBar, xtpBarPopup);
    if (nChecked && bEnabled)
        DrawControlBackground(pDC, rcBox, nSelected, FALSE, bEnabled, nChecked, FALSE, xtpBarTypeMenuBar,
                              xtpBarPopup);
    if (CXTPImageManagerIcon* pImage = GetControlImage(pControl, szIcon.cx)) {
        const CSize sz = GetImageDrawSize(pImage, szIcon.cx);
        DrawImage(pDC, CPoint(rc.left + g / 2 - szIcon.cx / 2, cy - sz.cy / 2), sz, pImage, nSelected, FALSE,
                  bEnabled, nChecked, FALSE, FALSE);
    } else if (nChecked) {
        DrawCheckMark(pDC, rcBox, RGB(0, 0, 0), bRtl);
    }

    const int nText = !bEnabled ? 35 : nSelected ? 45 : 44;
    pDC->SetTextColor(GetColor(nText));
    pDC->SetBkMode(TRANSPARENT);

    if (IsPopupControlType(nType)) {
        const int x = rc.right - 11;
        COLORREF clrArrow = GetColor(nText);
        if (nType == xtpControlSplitButtonPopup && bEnabled) {
            if (bPopuped && nSelected) {
                Rectangle(pDC, CRect(rc.right - 20, rc.top, rc.right, rc.bottom), 32, 33);
                clrArrow = GetColor(47);
            } else {
                Line(pDC, rc.right - 20, rc.top + 1, rc.right - 20, rc.bottom - 1, nSelected ? 32 : 16);
            }
        }
        Triangle(pDC, CPoint(x, cy - 3), CPoint(x + 3, cy), CPoint(x, cy + 3), clrArrow);
    }

    CRect rcText(rc.left + g + 8, rc.top, rc.right, rc.bottom);
    pDC->DrawText(strCaption, &rcText, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    if (nType == xtpControlButton && !strShortcut.IsEmpty()) {
        CRect rcShortcut(rc.left + g + 8, rc.top, rc.right - 19, rc.bottom);
        pDC->DrawText(strShortcut, &rcShortcut, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
    return rc.Size();
}

CSize CXTPOfficeXPTheme::DrawSpecialControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar,
                                            BOOL bDraw, void* pParam)
{
    if (nKind != xtpButtonCustomize || !pControl || !pControl->GetParent())
        return CXTPPaintManager::DrawSpecialControl(pDC, nKind, pControl, pBar, bDraw, pParam);

    CXTPCommandBar* pParent = pControl->GetParent();
    const int g = IconColumnWidth(pParent);
    if (!bDraw) {
        CSize sz = DrawControlPopupParent(pDC, pControl, FALSE);
        sz.cx += g;
        return sz;
    }
    CXTFontSelector font(pDC, GetCommandBarFont(pParent, pControl->GetDefaultItem()));
    const CSize szIcon = pParent->GetIconSize();
    const CRect rc = pControl->GetRect();
    const BOOL bEnabled = pControl->GetEnabled();
    const int nSelected = pControl->GetSelected();
    const int cy = rc.top + rc.Height() / 2;

    pDC->FillSolidRect(CRect(g + 1, pControl->m_nJoinedColumn > 0 ? rc.top - 3 : rc.top, 2 * g + 1, rc.bottom),
                       GetColor(30));
    DrawControlBackground(pDC, rc, nSelected, FALSE, bEnabled, FALSE, FALSE, xtpBarTypeMenuBar, xtpBarPopup);
    if (CXTPImageManagerIcon* pImage = GetControlImage(pControl, szIcon.cx)) {
        const CSize sz = GetImageDrawSize(pImage, szIcon.cx);
        DrawImage(pDC, CPoint(rc.left + g + g / 2 - szIcon.cx / 2, cy - sz.cy / 2), sz, pImage, nSelected, FALSE,
                  bEnabled, FALSE, FALSE, FALSE);
    }
    if (pControl->GetChecked()) {
        const CRect rcBox = BoxAround(rc.left + g / 2, cy, CSize(szIcon.cx + 4, szIcon.cy + 4));
        DrawControlBackground(pDC, rcBox, nSelected, FALSE, bEnabled, TRUE, FALSE, xtpBarTypeMenuBar, xtpBarPopup);
        DrawCheckMark(pDC, rcBox, bEnabled ? RGB(0, 0, 0) : GetColor(40), pParent->IsLayoutRTL());
    }
    pDC->SetTextColor(GetColor(!bEnabled ? 35 : nSelected ? 45 : 44));
    pDC->SetBkMode(TRANSPARENT);
    CRect rcText(rc.left + 2 * g + 8, rc.top, rc.right, rc.bottom);
    pDC->DrawText(pControl->GetCaption(), &rcText, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    const CString strShortcut = ShortcutOf(pControl);
    if (!strShortcut.IsEmpty()) {
        CRect rcShortcut(rc.left + 2 * g + 8, rc.top, rc.right - 19, rc.bottom);
        pDC->DrawText(strShortcut, &rcShortcut, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
    return CSize(0, 0);
}

// Edit, combo and list-box controls --------------------------------------------

CSize CXTPOfficeXPTheme::DrawFieldControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw, BOOL bCombo)
{
    auto* pCombo = bCombo ? static_cast<CXTPControlComboBox*>(pControl) : nullptr;
    auto* pEdit = bCombo ? nullptr : static_cast<CXTPControlEdit*>(pControl);
    CXTPCommandBar* pParent = pControl->GetParent();
    const BOOL bPopupBar = pParent && pParent->GetType() == xtpBarTypePopup;
    const BOOL bShowLabel = bCombo ? pCombo->GetComboStyle() == 1 : pEdit->GetHasLabel();
    const int nWidth = bCombo ? pCombo->GetWidth() : pEdit->GetWidth();
    CString strCaption = pControl->GetCaption();
    StripMnemonics(strCaption);

    CXTFontSelector font(pDC, &m_fontIcon);
    if (!bDraw) {
        const int h = pDC->GetTextExtent(" ", 1).cy;
        const int nCaption = pDC->GetTextExtent(strCaption).cx;
        const int nLabel = bPopupBar ? IconColumnWidth(pParent) + nCaption + 13 : bShowLabel ? nCaption + 5 : 0;
        if (bCombo) {
            pCombo->SetLabelWidth(nLabel);
            pCombo->SetDropDownWidth(h + 2);
        } else {
            pEdit->SetLabelWidth(nLabel);
        }
        return CSize(bPopupBar ? nWidth + nLabel : nWidth, h + 8);
    }

    const CRect rc = pControl->GetRect();
    const BOOL bEnabled = pControl->GetEnabled();
    const int nSelected = pControl->GetSelected();
    pDC->SetBkMode(TRANSPARENT);
    CRect rcField = rc;
    if (bPopupBar || bShowLabel) {
        if (bPopupBar && nSelected)
            DrawControlBackground(pDC, rc, nSelected, FALSE, TRUE, FALSE, FALSE, xtpBarTypeMenuBar, xtpBarPopup);
        int nText;
        if (bPopupBar)
            nText = !bEnabled ? 35 : nSelected ? 45 : 44;
        else
            nText = bEnabled ? 46 : 40;
        pDC->SetTextColor(GetColor(nText));
        CRect rcLabel(rc.left + (bPopupBar ? IconColumnWidth(pParent) + 1 + 7 : 2), rc.top, rc.right, rc.bottom);
        pDC->DrawText(strCaption, &rcLabel, DT_SINGLELINE | DT_VCENTER);
        rcField.left += bCombo ? pCombo->GetLabelWidth() : pEdit->GetLabelWidth();
    }
    rcField.DeflateRect(1, 1);

    if (!bEnabled) {
        Rectangle(pDC, rcField, nSelected == 2 ? 32 : 40, COLOR_3DFACE);
        if (!bCombo)
            return CSize(0, 0);
    } else if (!bCombo) {
        pDC->FillSolidRect(&rcField, GetColor(COLOR_WINDOW));
        if (nSelected)
            Rectangle(pDC, rcField, 32, COLOR_WINDOW);
        else if (bPopupBar)
            Draw3dRect(pDC, rcField, 53, 53);
        return CSize(0, 0);
    }

    const BOOL bDropped = pCombo->IsDroppedDown();
    CRect rcButton(rcField.right - pCombo->GetDropDownWidth(), rcField.top, rcField.right, rcField.bottom);
    if (bEnabled) {
        Rectangle(pDC, rcField, COLOR_WINDOW, COLOR_WINDOW);
        if (nSelected) {
            Rectangle(pDC, rcField, 32, COLOR_WINDOW);
            Rectangle(pDC, rcButton, 32, bDropped ? 33 : 31);
        } else if (bPopupBar) {
            Draw3dRect(pDC, rcField, 53, 53);
            Rectangle(pDC, rcButton, COLOR_WINDOW, 53);
        } else {
            Draw3dRect(pDC, rcButton, COLOR_WINDOW, COLOR_WINDOW);
        }
        if (!pCombo->GetEditCtrl()) {
            pDC->SetTextColor(GetColor(COLOR_WINDOWTEXT));
            CRect rcText(rcField.left + 3, rcField.top + 1, rcButton.left - 2, rcField.bottom - 1);
            pDC->DrawText(pCombo->GetListBoxText(), &rcText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
    }
    CXTFontSelector glyph(pDC, &m_fontMarlettIcon);
    pDC->SetTextColor(GetColor(!bEnabled ? 40 : bDropped ? 47 : nSelected ? 45 : 46));
    rcButton.left += 1;
    rcButton.top += 1;
    pDC->DrawText("u", 1, &rcButton, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return CSize(0, 0);
}

CSize CXTPOfficeXPTheme::DrawControlEdit(CDC* pDC, CXTPControlEdit* pEdit, BOOL bDraw)
{
    return DrawFieldControl(pDC, pEdit, bDraw, FALSE);
}

CSize CXTPOfficeXPTheme::DrawControlComboBox(CDC* pDC, CXTPControlComboBox* pCombo, BOOL bDraw)
{
    return DrawFieldControl(pDC, pCombo, bDraw, TRUE);
}

CSize CXTPOfficeXPTheme::DrawListBoxControl(CDC* pDC, CXTPControl* pButton, CRect rc, BOOL bSelected, BOOL bDraw,
                                            CXTPControlListBox* pListBox)
{
    const CSize szIcon = pListBox ? pListBox->GetIconSize() : CSize(16, 16);
    const int nItemHeight = std::max(static_cast<int>(szIcon.cy) + 6, m_nTextHeight);
    const int c = std::max(static_cast<int>(szIcon.cx) + 4, m_nTextHeight + 4);
    if (!bDraw)
        return CSize(c, nItemHeight);

    pDC->FillSolidRect(&rc, GetColor(41));
    FillIconColumn(pDC, 0, rc.top, c + 1, rc.Height(), FALSE);
    if (!pButton)
        return CSize(0, 0);
    if (bSelected)
        DrawControlBackground(pDC, rc, bSelected, FALSE, TRUE, FALSE, FALSE, xtpBarTypeMenuBar, xtpBarPopup);
    const int cy = rc.top + rc.Height() / 2;
    if (CXTPImageManagerIcon* pImage = GetControlImage(pButton, szIcon.cx)) {
        const CSize sz = GetImageDrawSize(pImage, szIcon.cx);
        DrawImage(pDC, CPoint(rc.left + c / 2 - szIcon.cx / 2, cy - sz.cy / 2), sz, pImage, bSelected, FALSE, TRUE,
                  FALSE, FALSE, FALSE);
    }
    const COLORREF clrText = GetColor(bSelected ? 45 : 44);
    pDC->SetTextColor(clrText);
    pDC->SetBkMode(TRANSPARENT);
    CString strCaption = pButton->GetCaption();
    // The list's window shares its bar's layout.
    if (pListBox && pListBox->GetParent() && pListBox->GetParent()->IsLayoutRTL())
        FormatCaptionRtl(strCaption);
    else
        StripMnemonics(strCaption);
    CXTFontSelector font(pDC, &m_fontRegular);
    CRect rcText(rc.left + c + 8, rc.top, rc.right, rc.bottom);
    pDC->DrawText(strCaption, &rcText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);

    const int nType = pButton->GetType();
    if (IsPopupControlType(nType)) {
        Triangle(pDC, CPoint(rc.right - 7, cy), CPoint(rc.right - 12, cy - 5), CPoint(rc.right - 12, cy + 5),
                 clrText);
        if (nType == xtpControlSplitButtonPopup)
            Line(pDC, rc.right - 20, rc.top + 1, rc.right - 20, rc.bottom - 1, bSelected ? 32 : 16);
    } else if (nType == xtpControlComboBox || nType == xtpControlEdit) {
        CRect rcCaption(0, 0, 0, 0);
        pDC->DrawText(strCaption, &rcCaption, DT_CALCRECT | DT_SINGLELINE);
        const CRect rcField(rc.left + c + rcCaption.Width() + 13, rc.top, rc.right, rc.bottom);
        Rectangle(pDC, rcField, bSelected ? 32 : COLOR_3DFACE, COLOR_WINDOW);
        if (nType == xtpControlComboBox) {
            const int b = pDC->GetTextExtent(" ", 1).cy + 2;
            CRect rcButton(rcField.right - b, rcField.top, rcField.right, rcField.bottom);
            if (bSelected) {
                DrawControlBackground(pDC, rcButton, TRUE, FALSE, TRUE, FALSE, FALSE, xtpBarTypeMenuBar,
                                      xtpBarPopup);
            } else {
                CRect rcInside = rcButton;
                rcInside.DeflateRect(2, 2);
                pDC->FillSolidRect(&rcInside, GetColor(COLOR_3DFACE));
            }
            rcButton.left += 1;
            rcButton.top += 1;
            CXTFontSelector glyph(pDC, &m_fontMarlettIcon);
            pDC->SetTextColor(GetColor(bSelected ? 45 : 46));
            pDC->DrawText("u", 1, &rcButton, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
    return CSize(c, nItemHeight);
}
