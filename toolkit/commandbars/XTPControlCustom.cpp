#include "toolkit/commandbars/XTPControlCustom.h"

#include "platform/mfc/Archive.h"
#include "platform/mfc/ControlBar.h"
#include "platform/mfc/FrameWnd.h"
#include "platform/win/Input.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPropExchange.h"
#include "toolkit/controls/XTDrawHelpers.h"

#include <algorithm>

namespace {

// SWP flags of showing or hiding a hosted window in place.
constexpr UINT kShowInPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

BOOL IsVerticalBar(CXTPCommandBar* pBar)
{
    return pBar && (pBar->GetPosition() == xtpBarLeft || pBar->GetPosition() == xtpBarRight);
}

} // namespace

// Custom control -------------------------------------------------------------------

IMPLEMENT_SERIAL(CXTPControlCustom, CXTPControlButton, VERSIONABLE_SCHEMA | 8)

CXTPControlCustom::CXTPControlCustom()
{
    m_dwFlags = xtpFlagNoMovable;
}

CXTPControlCustom::~CXTPControlCustom()
{
    SetControl(nullptr);
}

CXTPControlCustom* CXTPControlCustom::CreateControlCustom(CWnd* pWnd)
{
    auto* pControl = new CXTPControlCustom;
    pControl->SetControl(pWnd);
    if (pWnd && ::IsWindow(pWnd->m_hWnd))
        pControl->m_nControlID = pWnd->GetDlgCtrlID();
    return pControl;
}

void CXTPControlCustom::SetControl(CWnd* pWnd)
{
    // The owner may have ended the window object already: only its handle is used.
    if (m_hwndHooked)
        XTPHookManager()->RemoveHook(m_hwndHooked, this);
    m_hwndHooked = nullptr;
    m_pControl = pWnd;
    if (!pWnd || !::IsWindow(pWnd->m_hWnd))
        return;
    m_hwndHooked = pWnd->m_hWnd;
    XTPHookManager()->SetHook(m_hwndHooked, this);
    CRect rc;
    pWnd->GetWindowRect(&rc);
    m_szControl = rc.Size();
}

void CXTPControlCustom::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom)
{
    m_rcBorders.SetRect(cxLeft, cyTop, cxRight, cyBottom);
    DelayLayoutParent();
}

BOOL CXTPControlCustom::IsWindowShownHere() const
{
    return m_pControl && ::IsWindow(m_pControl->m_hWnd) && m_bControlVisible;
}

void CXTPControlCustom::ShowHostedWindow()
{
    if (!m_pControl || !::IsWindow(m_pControl->m_hWnd))
        return;
    const BOOL bShow = m_bControlVisible && m_dwHideFlags == 0;
    m_pControl->SetWindowPos(nullptr, 0, 0, 0, 0, kShowInPlace | (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void CXTPControlCustom::SetEnabled(BOOL bEnabled)
{
    if (m_bEnabled == bEnabled)
        return;
    m_bEnabled = bEnabled;
    if (m_pControl && ::IsWindow(m_pControl->m_hWnd))
        m_pControl->EnableWindow(bEnabled);
    RedrawParent();
}

void CXTPControlCustom::SetRect(CRect rcControl)
{
    const BOOL bParented = !m_pControl || !::IsWindow(m_pControl->m_hWnd) ||
                           (m_pParent && ::GetParent(m_pControl->m_hWnd) == m_pParent->m_hWnd);
    if (m_rcControl == rcControl && bParented)
        return;
    m_rcControl = rcControl;
    if (!m_pControl || !::IsWindow(m_pControl->m_hWnd) || !m_pParent || !::IsWindow(m_pParent->m_hWnd))
        return;
    if (::GetParent(m_pControl->m_hWnd) != m_pParent->m_hWnd)
        m_pControl->SetParent(m_pParent);
    CRect rcWindow(rcControl.left + m_rcBorders.left, rcControl.top + m_rcBorders.top,
                   rcControl.right - m_rcBorders.right, rcControl.bottom - m_rcBorders.bottom);
    m_pControl->MoveWindow(rcWindow, FALSE);
    ShowHostedWindow();
}

void CXTPControlCustom::SetHideFlags(DWORD dwFlags)
{
    m_dwHideFlags = dwFlags;
    ShowHostedWindow();
    DelayLayoutParent();
}

CSize CXTPControlCustom::GetSize(CDC* pDC)
{
    if (IsWindowShownHere())
        return CSize(m_szControl.cx + m_rcBorders.left + m_rcBorders.right,
                     m_szControl.cy + m_rcBorders.top + m_rcBorders.bottom);
    return CXTPControlButton::GetSize(pDC);
}

void CXTPControlCustom::Draw(CDC* pDC)
{
    if (m_pControl && ::IsWindow(m_pControl->m_hWnd) && m_pControl->IsWindowVisible())
        return;
    CXTPControlButton::Draw(pDC);
}

void CXTPControlCustom::OnCalcDynamicSize(DWORD dwMode)
{
    const BOOL bVertical = (dwMode & LM_VERTDOCK) != 0;
    if (m_verticalOptions == xtpVerticalHide) {
        SetHideFlag(xtpHideDockingPosition, bVertical);
    } else if (m_verticalOptions == xtpVerticalButton) {
        m_bControlVisible = !bVertical;
        ShowHostedWindow();
    }
}

void CXTPControlCustom::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPControlButton::DoPropExchange(pPX);
    PX_Rect(pPX, "Borders", m_rcBorders, CRect(0, 0, 0, 0));
    PX_Size(pPX, "ControlSize", m_szControl, CSize(0, 0));
    PX_Int(pPX, "VerticalOptions", m_verticalOptions, 0);
    if (pPX->GetSchema() > 5)
        PX_Int(pPX, "ControlId", m_nControlID, 0);
    if (pPX->IsLoading() && m_nControlID != 0) {
        if (CWnd* pWnd = FindControlWindow(m_nControlID)) {
            const CSize szStored = m_szControl;
            SetControl(pWnd);
            // The stored size wins over the window's present one.
            if (szStored != CSize(0, 0))
                m_szControl = szStored;
        }
    }
}

CWnd* CXTPControlCustom::FindControlWindow(int nID) const
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (!pCommandBars)
        return nullptr;
    if (CFrameWnd* pFrame = pCommandBars->GetSite())
        if (::IsWindow(pFrame->m_hWnd))
            if (HWND hWnd = ::GetDlgItem(pFrame->m_hWnd, nID))
                return CWnd::FromHandle(hWnd);
    for (int i = 0; i < pCommandBars->GetCount(); ++i) {
        CXTPCommandBar* pBar = pCommandBars->GetAt(i);
        if (pBar && ::IsWindow(pBar->m_hWnd))
            if (HWND hWnd = ::GetDlgItem(pBar->m_hWnd, nID))
                return CWnd::FromHandle(hWnd);
    }
    return nullptr;
}

void CXTPControlCustom::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    if (auto* pCustom = DYNAMIC_DOWNCAST(CXTPControlCustom, pControl)) {
        m_rcBorders = pCustom->m_rcBorders;
        m_verticalOptions = pCustom->m_verticalOptions;
        SetControl(pCustom->m_pControl);
        m_szControl = pCustom->m_szControl;
        m_nControlID = pCustom->m_nControlID;
    }
    CXTPControlButton::Copy(pControl, bRecursive);
}

void CXTPControlCustom::OnClick(BOOL bKeyboard, CPoint pt)
{
    if (m_pControl && ::IsWindow(m_pControl->m_hWnd) && m_pControl->IsWindowVisible() && !IsCustomizeMode())
        return;
    CXTPControlButton::OnClick(bKeyboard, pt);
}

BOOL CXTPControlCustom::IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint)
{
    return pCommandBar && pCommandBar->GetType() == xtpBarTypePopup;
}

int CXTPControlCustom::OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT&)
{
    if (nMessage != WM_MOUSEMOVE || !m_pParent || !::IsWindow(m_pParent->m_hWnd) || !hWnd)
        return 0;
    // The bar's hot tracking follows the mouse over the hosted window.
    CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    ::MapWindowPoints(hWnd, m_pParent->m_hWnd, &pt, 1);
    m_pParent->OnMouseMove(static_cast<UINT>(wParam), pt);
    return 0;
}

// Static control ---------------------------------------------------------------------

IMPLEMENT_SERIAL(CXTPControlStatic, CXTPControl, VERSIONABLE_SCHEMA | 8)

CSize CXTPControlStatic::GetSize(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (!pPaintManager)
        return CSize(m_nWidth, 22);
    const BOOL bVertical = IsVerticalBar(m_pParent);
    CXTFontSelector font(pDC, pPaintManager->GetCommandBarFont(m_pParent));
    const CSize szText =
        pPaintManager->DrawControlCaption(pDC, GetCaption(), CRect(0, 0, 0, 0), FALSE, bVertical, FALSE, FALSE, FALSE);
    if (bVertical)
        return CSize(std::max(22, static_cast<int>(szText.cx)), std::max(m_nWidth, static_cast<int>(szText.cy)));
    return CSize(std::max(m_nWidth, static_cast<int>(szText.cx)), std::max(22, static_cast<int>(szText.cy)));
}

void CXTPControlStatic::Draw(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (!pPaintManager)
        return;
    const int nPosition = m_pParent ? m_pParent->GetPosition() : xtpBarTop;
    CXTFontSelector font(pDC, pPaintManager->GetCommandBarFont(m_pParent));
    pPaintManager->DrawControlEntry(pDC, m_rcControl, m_bEnabled, FALSE, FALSE, FALSE, FALSE, nPosition);
    pPaintManager->DrawControlCaption(pDC, GetCaption(), m_rcControl, TRUE, IsVerticalBar(m_pParent), FALSE, FALSE,
                                      !m_bEnabled);
}

void CXTPControlStatic::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPControl::DoPropExchange(pPX);
    PX_Int(pPX, "Width", m_nWidth, 0);
}

void CXTPControlStatic::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    if (auto* pStatic = DYNAMIC_DOWNCAST(CXTPControlStatic, pControl))
        m_nWidth = pStatic->m_nWidth;
    CXTPControl::Copy(pControl, bRecursive);
}

void CXTPControlStatic::SetWidth(int nWidth)
{
    if (m_nWidth == nWidth)
        return;
    m_nWidth = nWidth;
    DelayLayoutParent();
}
