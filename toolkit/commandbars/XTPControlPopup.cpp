#include "toolkit/commandbars/XTPControlPopup.h"

#include "platform/mfc/Archive.h"

#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPShadowManager.h"

IMPLEMENT_SERIAL(CXTPControlPopup, CXTPControlButton, VERSIONABLE_SCHEMA | 8)

CXTPControlPopup::~CXTPControlPopup()
{
    SetCommandBar(nullptr);
}

CXTPControlPopup* CXTPControlPopup::CreateControlPopup(int controlType)
{
    auto* pControl = new CXTPControlPopup;
    pControl->m_controlType = controlType;
    return pControl;
}

void CXTPControlPopup::SetCommandBar(CXTPCommandBar* pBar)
{
    if (pBar)
        pBar->InternalAddRef();
    if (m_pCommandBar) {
        auto* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, m_pCommandBar);
        if (pPopupBar && pPopupBar->GetControlPopup() == this)
            pPopupBar->SetControlPopup(nullptr);
        m_pCommandBar->InternalRelease();
    }
    m_pCommandBar = pBar;
}

void CXTPControlPopup::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    CXTPControlButton::Copy(pControl, bRecursive);
    auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControl);
    if (!pPopup)
        return;
    CXTPCommandBar* pBar = pPopup->GetCommandBar();
    if (bRecursive && pBar) {
        CXTPCommandBar* pClone = pBar->Clone(TRUE);
        SetCommandBar(pClone);
        if (pClone)
            pClone->InternalRelease();
    } else {
        SetCommandBar(pBar);
    }
}

BOOL CXTPControlPopup::Compare(CXTPControl* pOther)
{
    if (!CXTPControlButton::Compare(pOther))
        return FALSE;
    auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pOther);
    if (!pPopup)
        return FALSE;
    CXTPCommandBar* pMine = m_pCommandBar;
    CXTPCommandBar* pTheirs = pPopup->GetCommandBar();
    if (!pMine || !pTheirs || pMine == pTheirs)
        return TRUE;
    return pMine->GetControls()->Compare(pTheirs->GetControls());
}

namespace {

// The arrow part of a split button: in a popup, and on any other bar.
constexpr int kSplitArrowInPopup = 20;
constexpr int kSplitArrowOnBar = 11;

BOOL IsPopupBar(CXTPCommandBar* pBar)
{
    return pBar && pBar->GetType() == xtpBarTypePopup;
}

} // namespace

BOOL CXTPControlPopup::OnSetPopup(BOOL bPopup)
{
    m_bPopup = bPopup;
    if (!m_pCommandBar)
        return FALSE;
    if (bPopup) {
        if (m_pCommandBar->GetTrackingMode())
            return TRUE;
        m_pCommandBar->Popup(this, m_bSelected == 2);
        UpdateShadow();
        return TRUE;
    }
    m_pCommandBar->SetTrackingMode(FALSE, TRUE, FALSE);
    if (m_pParent && ::IsWindow(m_pParent->m_hWnd))
        m_pParent->DelayRedraw();
    return TRUE;
}

void CXTPControlPopup::OnClick(BOOL bKeyboard, CPoint pt)
{
    if (!m_bEnabled || !m_pParent)
        return;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    const BOOL bCustomize = IsCustomizeMode();
    if (bCustomize && pCommandBars)
        pCommandBars->SetDragControl(this);
    const BOOL bInPopup = IsPopupBar(m_pParent);
    if (m_bPopup && !bInPopup) {
        // A menu title or drop-down clicked again closes its popup.
        m_pParent->SetTrackingMode(FALSE, FALSE, FALSE);
    } else if (!bCustomize && m_controlType == xtpControlSplitButtonPopup && bInPopup &&
               (bKeyboard || pt.x - m_rcControl.left < m_rcControl.Width() - kSplitArrowInPopup)) {
        if (bKeyboard) {
            OnExecute();
            return;
        }
        // The command runs on the release.
        m_pParent->KillTimer(XTP_TID_HOVER);
        return;
    } else if (!bCustomize && m_controlType == xtpControlSplitButtonPopup && !bInPopup && !bKeyboard &&
               pt.x - m_rcControl.left < m_rcControl.Width() - kSplitArrowOnBar) {
        CRect rcButton = m_rcControl;
        rcButton.right -= kSplitArrowOnBar;
        ClickToolBarButton(rcButton);
    } else if (!bCustomize || (m_pCommandBar && m_pCommandBar->IsCustomizable())) {
        m_pParent->SetPopuped(m_nIndex, bKeyboard);
    }
    if (bCustomize)
        OnCustomizeMouseDown(pt);
}

void CXTPControlPopup::OnLButtonUp(CPoint point)
{
    if (m_bEnabled && m_controlType == xtpControlSplitButtonPopup && IsPopupBar(m_pParent) &&
        point.x < m_rcControl.right - kSplitArrowInPopup)
        OnExecute();
}

BOOL CXTPControlPopup::OnLButtonDblClk(CPoint point)
{
    auto* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, m_pCommandBar);
    if ((m_controlType != xtpControlPopup && m_controlType != xtpControlButtonPopup) || !pPopupBar)
        return CXTPControlButton::OnLButtonDblClk(point);
    if (!m_bPopup && m_pParent)
        m_pParent->OnLButtonDown(0, point);
    if (!m_bPopup)
        return FALSE;
    const int nDefault = pPopupBar->FindDefaultItem(TRUE);
    if (nDefault != -1) {
        pPopupBar->GetControl(nDefault)->OnExecute();
        return TRUE;
    }
    if (pPopupBar->HasHiddenControls()) {
        pPopupBar->ExpandBar();
        return TRUE;
    }
    return FALSE;
}

void CXTPControlPopup::OnMouseHover()
{
    if (m_bEnabled && m_pParent && (m_pParent->GetTrackingMode() == 2 || IsPopupBar(m_pParent))) {
        m_pParent->SetPopuped(m_nIndex, FALSE);
        return;
    }
    CXTPControlButton::OnMouseHover();
}

BOOL CXTPControlPopup::OnSetSelected(int bSelected)
{
    if (!CXTPControlButton::OnSetSelected(bSelected))
        return FALSE;
    CXTPCommandBar* pParent = m_pParent;
    if (!pParent)
        return TRUE;
    const BOOL bInPopup = IsPopupBar(pParent);
    if ((m_controlType == xtpControlButtonPopup || m_controlType == xtpControlSplitButtonPopup) && !bInPopup) {
        if (m_bEnabled && bSelected == 2 && pParent->GetTrackingMode() == 2)
            pParent->SetPopuped(m_nIndex, TRUE);
        return TRUE;
    }
    if (bInPopup)
        return TRUE; // submenus open on hover
    if (m_bEnabled && bSelected && pParent->GetTrackingMode() == 2)
        pParent->SetPopuped(m_nIndex, bSelected == 2);
    else if (!bSelected && m_bPopup)
        pParent->SetPopuped(-1);
    return TRUE;
}

void CXTPControlPopup::AdjustExcludeRect(CRect& rc)
{
    const int nPosition = m_pParent ? m_pParent->GetPosition() : xtpBarTop;
    if (CXTPPaintManager* pPaintManager = GetPaintManager())
        pPaintManager->AdjustExcludeRect(
            rc, this, nPosition == xtpBarLeft || nPosition == xtpBarRight || nPosition == xtpBarPopup);
}

void CXTPControlPopup::ExpandCommandBar()
{
    auto* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, m_pCommandBar);
    if (m_bPopup && pPopupBar && m_controlType == xtpControlPopup)
        pPopupBar->ExpandBar();
}

void CXTPControlPopup::UpdateShadow()
{
    if (!m_pParent || m_pParent->GetPosition() == xtpBarPopup || !CXTPPaintManager::IsPopupControlType(m_controlType))
        return;
    auto* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, m_pCommandBar);
    if (pPopupBar && pPopupBar->GetShowShadow())
        XTPShadowManager()->SetShadow(this);
}
