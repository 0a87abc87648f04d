#include "toolkit/commandbars/XTPControlExt.h"

#include "platform/win/Input.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPropExchange.h"
#include "toolkit/controls/XTColorManager.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CXTPControlWindowList, CXTPControlButton)
IMPLEMENT_DYNCREATE(CXTPControlWorkspaceActions, CXTPControlButton)
IMPLEMENT_DYNCREATE(CXTPControlToolbars, CXTPControlButton)
IMPLEMENT_DYNCREATE(CXTPControlRecentFileList, CXTPControlButton)
IMPLEMENT_DYNCREATE(CXTPControlOleItems, CXTPControlButton)
IMPLEMENT_SERIAL(CXTPControlSelector, CXTPControl, 1)

namespace {

// The parameter that marks the items of the toolbars list.
constexpr const char* kToolbarItem = "CXTPControlToolbar";
// Ids of the window list's items start here.
constexpr int kFirstMdiChild = 0xFF00;

// An item of the toolbars list: closes the menus and shows or hides the bar
// whose place in the bar list its tag holds.
class CToolbarItem : public CXTPControlButton {
public:
    void OnExecute() override
    {
        CXTPCommandBars* pCommandBars = GetCommandBars();
        const int nIndex = static_cast<int>(GetTag());
        XTPMouseManager()->SendTrackLost();
        if (pCommandBars)
            pCommandBars->ToggleVisible(nIndex);
    }
};

BOOL IsToolbarItem(CXTPControl* pControl)
{
    return pControl->GetParameter() == kToolbarItem;
}

BOOL IsWindowItem(CXTPControl* pControl)
{
    return pControl->GetID() >= kFirstMdiChild;
}

BOOL IsWorkspaceAction(CXTPControl* pControl)
{
    return pControl->GetID() >= 9420 && pControl->GetID() <= 9423;
}

BOOL IsRecentFile(CXTPControl* pControl)
{
    return pControl->GetID() >= 0xE110 && pControl->GetID() <= 0xE11F;
}

BOOL IsOleMenu(CXTPControl* pControl)
{
    return pControl->GetParameter() == "OLEMENUPOPUP";
}

} // namespace

BOOL CXTPControlPlaceholder::IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint)
{
    return pCommandBar && pCommandBar->GetType() == xtpBarTypePopup;
}

BOOL CXTPControlPlaceholder::BeginGenerating(BOOL (*pfnGenerated)(CXTPControl*))
{
    m_nGenerated = 0;
    CXTPControls* pControls = GetControls();
    if (!pControls)
        return FALSE;
    for (int i = pControls->GetCount() - 1; i >= 0; --i) {
        CXTPControl* pControl = pControls->GetAt(i);
        if (pControl != this && pfnGenerated(pControl))
            pControls->Remove(pControl);
    }
    if (IsCustomizeMode()) {
        SetHideFlags(0);
        return FALSE;
    }
    return TRUE;
}

CXTPControl* CXTPControlPlaceholder::AddGenerated(CXTPControl* pItem, int nID, LPCTSTR lpszCaption,
                                                  LPCTSTR lpszParameter)
{
    CXTPControls* pControls = GetControls();
    const int nBefore = GetIndex() + 1 + m_nGenerated;
    CXTPControl* pControl = pItem ? pControls->Add(pItem, nID, lpszParameter, nBefore, TRUE)
                                  : pControls->Add(xtpControlButton, nID, lpszParameter, nBefore, TRUE);
    if (!pControl)
        return nullptr;
    pControl->SetCaption(lpszCaption);
    pControl->SetFlags(pControl->GetFlags() | xtpFlagManualUpdate);
    if (m_nGenerated == 0)
        pControl->SetBeginGroup(TRUE);
    ++m_nGenerated;
    return pControl;
}

void CXTPControlWindowList::OnCalcDynamicSize(DWORD)
{
    if (!BeginGenerating(&IsWindowItem))
        return;
    // Only a frame with an area of child windows lists them.
    SetHideFlags(0);
}

void CXTPControlWorkspaceActions::OnCalcDynamicSize(DWORD)
{
    if (!BeginGenerating(&IsWorkspaceAction))
        return;
    SetHideFlag(xtpHideGeneric, TRUE);
}

void CXTPControlRecentFileList::OnCalcDynamicSize(DWORD)
{
    if (!BeginGenerating(&IsRecentFile)) {
        SetEnabled(TRUE);
        return;
    }
    SetHideFlag(xtpHideGeneric, TRUE);
}

void CXTPControlOleItems::OnCalcDynamicSize(DWORD)
{
    if (!BeginGenerating(&IsOleMenu))
        return;
    SetHideFlag(xtpHideGeneric, TRUE);
}

void CXTPControlToolbars::OnCalcDynamicSize(DWORD)
{
    if (!BeginGenerating(&IsToolbarItem))
        return;
    SetHideFlag(xtpHideGeneric, TRUE);
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (!pCommandBars)
        return;
    for (int i = 0; i < pCommandBars->GetCount(); ++i) {
        CXTPCommandBar* pBar = pCommandBars->GetAt(i);
        if (pBar->GetType() != xtpBarTypeNormal || !pBar->m_bCloseable || !pBar->m_bContextMenuPresent)
            continue;
        if (CXTPControl* pItem = AddGenerated(new CToolbarItem, GetID(), pBar->GetTitle(), kToolbarItem)) {
            pItem->SetTag(static_cast<DWORD_PTR>(i));
            pItem->SetChecked(pBar->IsVisible());
        }
    }
}

// Selector ------------------------------------------------------------------------

CXTPControlSelector::CXTPControlSelector() = default;

CSize CXTPControlSelector::GetSize(CDC*)
{
    return CSize(m_szItemsVisible.cx * m_szItem.cx, m_szItemsVisible.cy * m_szItem.cy);
}

void CXTPControlSelector::Draw(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    CXTColorManager* pColors = XTGetColorManager();
    const CRect rc = GetRect();
    for (int c = 0; c < m_szItemsVisible.cx; ++c) {
        for (int r = 0; r < m_szItemsVisible.cy; ++r) {
            const CRect rcCell(rc.left + c * m_szItem.cx + 1, rc.top + r * m_szItem.cy + 1,
                               rc.left + (c + 1) * m_szItem.cx - 1, rc.top + (r + 1) * m_szItem.cy - 1);
            const BOOL bSelected = c < m_szSelected.cx && r < m_szSelected.cy;
            pDC->FillSolidRect(&rcCell, pColors->GetColor(bSelected ? 13 : 5));
            const COLORREF clrItem =
                bSelected ? pColors->GetColor(14) : (pPaintManager ? pPaintManager->GetColor(46) : 0);
            const COLORREF clrFrame = pPaintManager ? pPaintManager->GetColor(43) : 0;
            pDC->Draw3dRect(&rcCell, clrFrame, clrFrame);
            DrawSelectorItem(pDC, rcCell, clrItem);
        }
    }
}

void CXTPControlSelector::NotifySite()
{
    CWnd* pSite = m_pParent ? m_pParent->GetSite() : nullptr;
    if (!pSite || !::IsWindow(pSite->m_hWnd))
        return;
    BarControlNotifyInfo info{{nullptr, static_cast<UINT_PTR>(m_nId), XTP_SN_SELECTION_CHANGED}, this};
    pSite->SendMessage(WM_BAR_CONTROL_NOTIFY, static_cast<WPARAM>(m_nId), reinterpret_cast<LPARAM>(&info));
}

void CXTPControlSelector::SetSelectedCells(CSize szSelected, BOOL bForce)
{
    if (szSelected == m_szSelected && !bForce)
        return;
    m_szSelected = szSelected;
    InvalidateParent();
    NotifySite();
}

void CXTPControlSelector::OnMouseMove(CPoint point)
{
    const CRect rc = GetRect();
    CSize sz(0, 0);
    for (int c = 0; c < m_szItemsVisible.cx; ++c)
        if (rc.left + c * m_szItem.cx < point.x)
            ++sz.cx;
    for (int r = 0; r < m_szItemsVisible.cy; ++r)
        if (rc.top + r * m_szItem.cy < point.y)
            ++sz.cy;
    if (sz == m_szSelected)
        return;
    m_szSelected = sz;
    InvalidateParent();
    NotifySite();
}

BOOL CXTPControlSelector::OnSetSelected(int bSelected)
{
    if (!bSelected && m_pParent && ::IsWindow(m_pParent->m_hWnd) && ::GetKeyState(VK_LBUTTON) < 0) {
        CPoint pt;
        ::GetCursorPos(&pt);
        m_pParent->ScreenToClient(&pt);
        const CRect rc = GetRect();
        CSize szVisible = m_szItemsVisible;
        if (pt.x >= rc.right)
            szVisible.cx = std::min(static_cast<int>(m_szItemsMax.cx), static_cast<int>((pt.x - rc.left) / m_szItem.cx + 1));
        if (pt.y >= rc.bottom)
            szVisible.cy = std::min(static_cast<int>(m_szItemsMax.cy), static_cast<int>((pt.y - rc.top) / m_szItem.cy + 1));
        if (szVisible.cx > m_szItemsVisible.cx || szVisible.cy > m_szItemsVisible.cy) {
            m_szItemsVisible = CSize(std::max(szVisible.cx, m_szItemsVisible.cx), std::max(szVisible.cy, m_szItemsVisible.cy));
            SetSelectedCells(m_szSelected, TRUE);
            m_bLockUpdate = TRUE;
            m_pParent->OnRecalcLayout();
            m_bLockUpdate = FALSE;
            OnMouseMove(pt);
        } else {
            SetSelectedCells(CSize(0, 0), FALSE);
        }
    }
    return CXTPControl::OnSetSelected(bSelected);
}

void CXTPControlSelector::OnLButtonUp(CPoint)
{
    if (m_szSelected == CSize(0, 0))
        return;
    m_szResult = m_szSelected;
    OnExecute();
}

void CXTPControlSelector::OnCalcDynamicSize(DWORD)
{
    if (m_bLockUpdate)
        return;
    m_szSelected = CSize(0, 0);
    m_szItemsVisible = m_szItemsCount;
    SetSelectedCells(m_szSelected, TRUE);
}

void CXTPControlSelector::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    CXTPControl::Copy(pControl, bRecursive);
    if (auto* pSelector = DYNAMIC_DOWNCAST(CXTPControlSelector, pControl)) {
        m_szItemsCount = pSelector->m_szItemsCount;
        m_szItemsMax = pSelector->m_szItemsMax;
        m_szItem = pSelector->m_szItem;
    }
}

void CXTPControlSelector::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPControl::DoPropExchange(pPX);
    PX_Size(pPX, "ItemsCount", m_szItemsCount, CSize(5, 4));
    PX_Size(pPX, "ItemsMax", m_szItemsMax, CSize(12, 12));
    PX_Size(pPX, "ItemSize", m_szItem, CSize(28, 28));
}
