#include "toolkit/commandbars/XTPNativeXPTheme.h"

#include "platform/mfc/ControlBar.h"
#include "platform/mfc/StatusBar.h"
#include "platform/mfc/WinApp.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"

#include <algorithm>

namespace {

// Visual-style parts and states.
enum {
    TP_BUTTON = 1,
    TP_SPLITBUTTON = 3,
    TP_SPLITBUTTONDROPDOWN = 4,
    TS_NORMAL = 1,
    TS_HOT = 2,
    TS_PRESSED = 3,
    TS_DISABLED = 4,
    TS_CHECKED = 5,
    TS_HOTCHECKED = 6,
    RP_GRIPPER = 1,
    RP_GRIPPERVERT = 2,
    RP_BAND = 3,
    CP_DROPDOWNBUTTON = 1,
    SP_PANE = 1,
    SP_GRIPPERPANE = 2,
    SP_GRIPPER = 3,
};

bool Succeeded(HRESULT hr)
{
    return hr >= 0;
}

void Frame(CDC* pDC, const CRect& rc, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    pDC->Draw3dRect(&rc, clrTopLeft, clrBottomRight);
}

} // namespace

CXTPNativeXPTheme::CXTPNativeXPTheme()
{
    m_iconsInfo.bUseFadedIcons = TRUE;
    m_iconsInfo.bIconsWithShadow = FALSE;
    m_nPopupBarText = COLOR_MENUTEXT;
    RefreshMetrics();
}

CXTPNativeXPTheme::~CXTPNativeXPTheme()
{
    m_themeRebar.CloseThemeData();
    m_themeToolbar.CloseThemeData();
    m_themeComboBox.CloseThemeData();
    m_themeStatusBar.CloseThemeData();
}

void CXTPNativeXPTheme::RefreshMetrics()
{
    CXTPOffice2000Theme::RefreshMetrics();
    CWnd* pMainWnd = AfxGetMainWnd();
    const HWND hWnd = pMainWnd ? pMainWnd->GetSafeHwnd() : nullptr;
    m_themeToolbar.OpenThemeData(hWnd, L"TOOLBAR");
    m_themeRebar.OpenThemeData(hWnd, L"REBAR");
    m_themeComboBox.OpenThemeData(hWnd, L"COMBOBOX");
    m_themeStatusBar.OpenThemeData(hWnd, L"STATUS");

    COLORREF clr = 0;
    m_clrEdgeShadowColor = m_themeRebar.IsAppThemed() &&
                                   Succeeded(m_themeRebar.GetThemeColor(RP_BAND, 0, TMT_EDGESHADOWCOLOR, &clr))
                               ? clr
                               : GetColor(COLOR_BTNSHADOW);
    if (m_themeToolbar.IsAppThemed() && Succeeded(m_themeToolbar.GetThemeColor(0, 0, TMT_TEXTCOLOR, &clr)))
        m_arColor[COLOR_BTNTEXT].clrStandard = clr;
    if (m_themeRebar.IsAppThemed() && Succeeded(m_themeRebar.GetThemeColor(0, 0, TMT_FILLCOLORHINT, &clr)))
        m_arColor[COLOR_3DFACE].clrStandard = clr;
    if (m_themeStatusBar.IsAppThemed() &&
        Succeeded(m_themeStatusBar.GetThemeColor(SP_PANE, 0, TMT_TEXTCOLOR, &clr)))
        m_clrStatusTextColor = clr;
}

void CXTPNativeXPTheme::FillRebarBackground(CDC* pDC, CWnd* pWnd, CWnd* pReference)
{
    CRect rcClient;
    pWnd->GetClientRect(&rcClient);
    if (!m_themeRebar.IsAppThemed()) {
        pDC->FillSolidRect(&rcClient, GetColor(COLOR_3DFACE));
        return;
    }
    CRect rcWnd, rcRef;
    pWnd->GetWindowRect(&rcWnd);
    pReference->GetWindowRect(&rcRef);
    CRect rc = rcClient;
    rc.left += rcRef.left - rcWnd.left;
    rc.top += rcRef.top - rcWnd.top;
    rc.right += rcRef.right - rcWnd.right;
    rc.bottom += rcRef.bottom - rcWnd.bottom;
    m_themeRebar.DrawThemeBackground(pDC->GetSafeHdc(), 0, 0, &rc, &rcClient);
}

void CXTPNativeXPTheme::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    if (!m_themeRebar.IsAppThemed()) {
        CXTPOffice2000Theme::FillCommandBar(pDC, pBar);
        return;
    }
    CRect rc;
    pBar->GetClientRect(&rc);
    switch (pBar->GetPosition()) {
    case xtpBarPopup:
        Rectangle(pDC, rc, COLOR_BTNSHADOW, COLOR_MENU);
        return;
    case xtpBarFloating:
        pDC->FillSolidRect(&rc, GetColor(COLOR_3DFACE));
        Draw3dRect(pDC, rc, COLOR_3DFACE, 0);
        rc.DeflateRect(1, 1);
        Draw3dRect(pDC, rc, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
        return;
    case xtpBarTop: {
        CWnd* pParent = pBar->GetParent();
        if (pParent && pParent->GetSafeHwnd())
            FillRebarBackground(pDC, pBar, pParent);
        else
            pDC->FillSolidRect(&rc, GetColor(COLOR_3DFACE));
        break;
    }
    default:
        pDC->FillSolidRect(&rc, GetColor(COLOR_3DFACE));
        break;
    }
    Frame(pDC, rc, GetColor(COLOR_BTNHIGHLIGHT), m_clrEdgeShadowColor);
}

void CXTPNativeXPTheme::FillDockBar(CDC* pDC, CWnd* pDockBar)
{
    // Only the top dock bar carries the rebar look; the others are plain.
    if ((pDockBar->GetStyle() & CBRS_ALIGN_ANY) == CBRS_ALIGN_TOP) {
        FillRebarBackground(pDC, pDockBar, pDockBar);
        return;
    }
    CRect rc;
    pDockBar->GetClientRect(&rc);
    pDC->FillSolidRect(&rc, GetColor(COLOR_3DFACE));
}

void CXTPNativeXPTheme::DrawControlBackground(CDC* pDC, CRect rc, BOOL bSelected, BOOL bPressed, BOOL bEnabled,
                                              BOOL bChecked, BOOL bPopuped, int nBarType, int nBarPosition)
{
    if (!m_themeToolbar.IsAppThemed()) {
        CXTPOffice2000Theme::DrawControlBackground(pDC, rc, bSelected, bPressed, bEnabled, bChecked, bPopuped,
                                                   nBarType, nBarPosition);
        return;
    }
    int nState;
    if (!bEnabled)
        nState = bChecked && nBarType == xtpBarTypeMenuBar ? TS_PRESSED : TS_DISABLED;
    else if (bPopuped)
        nState = TS_PRESSED;
    else if (bChecked && !bPressed)
        nState = bSelected ? TS_HOTCHECKED : TS_CHECKED;
    else if ((bSelected && bPressed) || bPressed == 2)
        nState = TS_PRESSED;
    else
        nState = bSelected ? TS_HOT : TS_NORMAL;
    m_themeToolbar.DrawThemeBackground(pDC->GetSafeHdc(), TP_BUTTON, nState, &rc, nullptr);
}

void CXTPNativeXPTheme::DrawSplitButtonFrame(CDC* pDC, CXTPControl* pControl, CRect rc)
{
    if (!m_themeToolbar.IsAppThemed()) {
        CXTPOffice2000Theme::DrawSplitButtonFrame(pDC, pControl, rc);
        return;
    }
    const BOOL bPopuped = IsControlPopuped(pControl);
    const BOOL bEnabled = pControl->GetEnabled();
    int nState;
    if (!bEnabled)
        nState = TS_DISABLED;
    else if (pControl->GetPressed() && pControl->GetSelected())
        nState = TS_PRESSED;
    else if (pControl->GetChecked())
        nState = TS_CHECKED;
    else if (bPopuped || pControl->GetSelected())
        nState = TS_HOT;
    else
        nState = TS_NORMAL;
    const CRect rcButton(rc.left, rc.top, rc.right - 12, rc.bottom);
    const CRect rcArrow(rc.right - 12, rc.top, rc.right, rc.bottom);
    m_themeToolbar.DrawThemeBackground(pDC->GetSafeHdc(), TP_SPLITBUTTON, nState, &rcButton, nullptr);
    m_themeToolbar.DrawThemeBackground(pDC->GetSafeHdc(), TP_SPLITBUTTONDROPDOWN, bPopuped ? TS_PRESSED : nState,
                                       &rcArrow, nullptr);
    pDC->SetTextColor(GetColor(bEnabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    pDC->SetBkMode(TRANSPARENT);
}

CSize CXTPNativeXPTheme::DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    if (!m_themeRebar.IsAppThemed())
        return CXTPOffice2000Theme::DrawCommandBarGripper(pDC, pBar, bDraw);
    if (pBar->IsDialogBar())
        return DrawDialogBarGripper(pDC, pBar, bDraw);
    CRect rc;
    pBar->GetClientRect(&rc);
    switch (pBar->GetPosition()) {
    case xtpBarFloating:
        return CXTPOffice2000Theme::DrawCommandBarGripper(pDC, pBar, bDraw);
    case xtpBarTop:
    case xtpBarBottom:
        if (bDraw) {
            const CRect rcGripper(rc.left + 2, rc.top, rc.left + 8, rc.bottom);
            m_themeRebar.DrawThemeBackground(pDC->GetSafeHdc(), RP_GRIPPER, 1, &rcGripper, nullptr);
        }
        return CSize(8, 0);
    case xtpBarLeft:
    case xtpBarRight:
        if (bDraw) {
            const CRect rcGripper(rc.left, rc.top + 2, rc.right, rc.top + 8);
            m_themeRebar.DrawThemeBackground(pDC->GetSafeHdc(), RP_GRIPPERVERT, 1, &rcGripper, nullptr);
        }
        return CSize(0, 8);
    default:
        return CSize(0, 0);
    }
}

CSize CXTPNativeXPTheme::DrawDialogBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    const int nHeight = std::max(22, m_nTextHeight + 4);
    if (bDraw) {
        if (m_themeRebar.IsAppThemed()) {
            const CRect rc(2, 3, 8, nHeight);
            m_themeRebar.DrawThemeBackground(pDC->GetSafeHdc(), RP_GRIPPER, 1, &rc, nullptr);
        } else {
            // Unthemed: the classic raised gripper, in this theme's width.
            CXTPOffice2000Theme::DrawDialogBarGripper(pDC, pBar, TRUE);
        }
    }
    return CSize(8, nHeight);
}

void CXTPNativeXPTheme::AdjustExcludeRect(CRect& rc, CXTPControl* pControl, BOOL bVertical)
{
    if (!m_themeRebar.IsAppThemed()) {
        CXTPOffice2000Theme::AdjustExcludeRect(rc, pControl, bVertical);
        return;
    }
    CXTPCommandBar* pParent = pControl->GetParent();
    if (pControl->GetType() != xtpControlComboBox && pParent && pParent->GetType() == xtpBarTypePopup)
        rc.DeflateRect(3, -3);
}

void CXTPNativeXPTheme::DrawEditFrame(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected)
{
    if (!m_themeComboBox.IsAppThemed()) {
        CXTPOffice2000Theme::DrawEditFrame(pDC, rc, bEnabled, nSelected);
        return;
    }
    COLORREF clr = 0;
    if (!Succeeded(m_themeComboBox.GetThemeColor(CP_DROPDOWNBUTTON, bEnabled ? 1 : 4, TMT_BORDERCOLOR, &clr)))
        clr = GetColor(COLOR_BTNSHADOW);
    Frame(pDC, rc, clr, clr);
}

void CXTPNativeXPTheme::DrawComboBoxButton(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, BOOL bDropped)
{
    if (!m_themeComboBox.IsAppThemed()) {
        CXTPOffice2000Theme::DrawComboBoxButton(pDC, rc, bEnabled, nSelected, bDropped);
        return;
    }
    const int nState = !bEnabled ? 4 : bDropped ? 3 : nSelected ? 2 : 1;
    const CRect rcButton(rc.left - 2, rc.top + 1, rc.right - 1, rc.bottom - 1);
    m_themeComboBox.DrawThemeBackground(pDC->GetSafeHdc(), CP_DROPDOWNBUTTON, nState, &rcButton, nullptr);
}

void CXTPNativeXPTheme::FillStatusBar(CDC* pDC, CStatusBar* pBar)
{
    if (!m_themeStatusBar.IsAppThemed()) {
        CXTPOffice2000Theme::FillStatusBar(pDC, pBar);
        return;
    }
    CRect rc;
    pBar->GetClientRect(&rc);
    m_themeStatusBar.DrawThemeBackground(pDC->GetSafeHdc(), 0, 0, &rc, nullptr);
}

void CXTPNativeXPTheme::DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL bLast)
{
    if (!m_themeStatusBar.IsAppThemed()) {
        CXTPOffice2000Theme::DrawStatusBarPaneBorder(pDC, rc, bLast);
        return;
    }
    m_themeStatusBar.DrawThemeBackground(pDC->GetSafeHdc(), bLast ? SP_GRIPPERPANE : SP_PANE, 0, &rc, nullptr);
}

void CXTPNativeXPTheme::DrawStatusBarGripper(CDC* pDC, CRect rcClient)
{
    if (!m_themeStatusBar.IsAppThemed()) {
        CXTPOffice2000Theme::DrawStatusBarGripper(pDC, rcClient);
        return;
    }
    const CRect rc(rcClient.right - 18, rcClient.top, rcClient.right, rcClient.bottom);
    m_themeStatusBar.DrawThemeBackground(pDC->GetSafeHdc(), SP_GRIPPER, 0, &rc, nullptr);
}
