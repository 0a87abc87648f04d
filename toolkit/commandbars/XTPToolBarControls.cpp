#include "toolkit/commandbars/XTPToolBarControls.h"

#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPResourceManager.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/res/ToolkitIds.h"

IMPLEMENT_SERIAL(CXTPToolBarExpandButton, CXTPControlPopup, 1)
IMPLEMENT_SERIAL(CXTPToolBarCloseButton, CXTPControlButton, 1)
IMPLEMENT_SERIAL(CXTPToolBarOptionItem, CXTPControlButton, 1)

// The expand chevron ---------------------------------------------------------

CXTPToolBarExpandButton::CXTPToolBarExpandButton()
{
    m_controlType = xtpControlButtonPopup;
    m_dwFlags = xtpFlagLeftPopup | xtpFlagManualUpdate | xtpFlagNoMovable;
    SetPrompt("\n工具栏选项");
}

void CXTPToolBarExpandButton::SetRect(CRect rcControl)
{
    CXTPControlPopup::SetRect(rcControl);
    m_bHiddenExists = FALSE;
    if (m_pParent)
        for (int i = 0; i < m_pParent->GetControlCount() && !m_bHiddenExists; ++i)
            m_bHiddenExists = m_pParent->GetControl(i)->GetHideFlags() == xtpHideWrap;
}

CSize CXTPToolBarExpandButton::GetSize(CDC*)
{
    return m_rcControl.Size();
}

void CXTPToolBarExpandButton::Draw(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (!pPaintManager || !m_pParent)
        return;
    if (m_pParent->GetPosition() == xtpBarFloating)
        pPaintManager->DrawSpecialControl(pDC, xtpButtonExpandFloating, this, m_pParent, TRUE, nullptr);
    else
        pPaintManager->DrawSpecialControl(pDC, xtpButtonExpandToolbar, this, m_pParent, TRUE, &m_bHiddenExists);
}

void CXTPToolBarExpandButton::OnClick(BOOL bKeyboard, CPoint)
{
    if (IsCustomizeMode() || !m_pParent)
        return;
    // The bar tracks while the popup is open, as a menu bar does.
    if (!m_pParent->GetTrackingMode())
        m_pParent->SetTrackingMode(TRUE, FALSE, bKeyboard);
    m_pParent->SetPopuped(m_nIndex, bKeyboard);
}

CXTPPopupBar* CXTPToolBarExpandButton::BuildExpandPopup()
{
    SetCommandBar(nullptr);
    auto* pBar = DYNAMIC_DOWNCAST(CXTPToolBar, m_pParent);
    if (!pBar)
        return nullptr;
    CXTPCommandBars* pCommandBars = pBar->GetCommandBars();

    CXTPPopupBar* pPopup = nullptr;
    if (CWnd* pSite = pBar->GetSite()) {
        CreateBarInfo info{nullptr, TRUE, TRUE, FALSE, FALSE, nullptr, 0};
        if (pSite->SendMessage(WM_CREATE_COMMAND_BAR, 0, reinterpret_cast<LPARAM>(&info)) && info.pCommandBar)
            pPopup = DYNAMIC_DOWNCAST(CXTPPopupBar, info.pCommandBar);
    }
    if (!pPopup)
        pPopup = CXTPPopupToolBar::CreatePopupToolBar(pCommandBars);
    pPopup->m_bCustomizable = FALSE;

    if (pCommandBars)
        pCommandBars->GetHiddenControls(pBar, pPopup);
    if (!ShowsOptions(pCommandBars)) {
        pPopup->SetWidth(150);
    } else {
        CString strCaption;
        XTPGetResourceManager()->LoadString(&strCaption, XTP_IDS_ADDORREMOVE);
        CXTPControl* pItem = pPopup->GetControls()->Add(xtpControlPopup, 0);
        pItem->SetCaption(strCaption);
        if (pPopup->GetControlCount() > 1)
            pItem->SetBeginGroup(TRUE);
        if (pCommandBars && pItem->GetCommandBar())
            if (auto* pOptions = DYNAMIC_DOWNCAST(CXTPPopupBar, pItem->GetCommandBar()))
                pCommandBars->GetToolbarOptions(pBar, pOptions);
    }
    SetCommandBar(pPopup);
    pPopup->SetControlPopup(this);
    pPopup->InternalRelease();
    return pPopup;
}

BOOL CXTPToolBarExpandButton::ShowsOptions(CXTPCommandBars* pCommandBars)
{
    return !pCommandBars || pCommandBars->GetOptions()->bShowExpandButtonAlways || pCommandBars->IsCustomizeAvail();
}

BOOL CXTPToolBarExpandButton::OnSetPopup(BOOL bPopup)
{
    m_bPopup = bPopup;
    if (bPopup) {
        CXTPPopupBar* pPopup = BuildExpandPopup();
        if (!pPopup || !pPopup->Popup(this, FALSE)) {
            m_bPopup = FALSE;
        }
    } else if (m_pCommandBar) {
        m_pCommandBar->SetTrackingMode(FALSE);
    }
    if (m_pParent)
        m_pParent->Redraw();
    return TRUE;
}

// The close button -------------------------------------------------------------------

CXTPToolBarCloseButton::CXTPToolBarCloseButton()
{
    m_dwFlags = xtpFlagSkipFocus | xtpFlagManualUpdate | xtpFlagNoMovable;
    SetPrompt("\n关闭");
}

CSize CXTPToolBarCloseButton::GetSize(CDC*)
{
    return m_rcControl.Size();
}

void CXTPToolBarCloseButton::Draw(CDC* pDC)
{
    if (CXTPPaintManager* pPaintManager = GetPaintManager())
        pPaintManager->DrawSpecialControl(pDC, xtpButtonCloseToolbar, this, m_pParent, TRUE, nullptr);
}

void CXTPToolBarCloseButton::OnExecute()
{
    if (auto* pBar = DYNAMIC_DOWNCAST(CXTPToolBar, m_pParent))
        pBar->SetVisible(FALSE);
}

// One line of the option list --------------------------------------------------------

CSize CXTPToolBarOptionItem::GetSize(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (!pPaintManager)
        return CSize(0, 0);
    const CSize sz = pPaintManager->DrawSpecialControl(pDC, xtpButtonCustomize, this, m_pParent, FALSE, nullptr);
    return sz == CSize(0, 0) ? CXTPControlButton::GetSize(pDC) : sz;
}

void CXTPToolBarOptionItem::Draw(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (!pPaintManager)
        return;
    if (pPaintManager->DrawSpecialControl(pDC, xtpButtonCustomize, this, m_pParent, FALSE, nullptr) == CSize(0, 0))
        CXTPControlButton::Draw(pDC);
    else
        pPaintManager->DrawSpecialControl(pDC, xtpButtonCustomize, this, m_pParent, TRUE, nullptr);
}

void CXTPToolBarOptionItem::OnExecute()
{
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->GetOptions()->bDirtyState = TRUE;
    if (m_pTarget) {
        const BOOL bHidden = !(m_pTarget->GetHideFlags() & xtpHideCustomize);
        m_pTarget->SetHideFlag(xtpHideCustomize, bHidden);
        SetChecked(!bHidden);
        if (CXTPCommandBar* pBar = m_pTarget->GetParent())
            pBar->OnRecalcLayout();
        if (m_pParent) {
            if (m_pParent->GetSafeHwnd())
                m_pParent->Invalidate(FALSE);
            m_pParent->InvalidateParents();
        }
        return;
    }
    if (m_pResetBar) {
        XTPMouseManager()->SendTrackLost();
        m_pResetBar->Reset();
    }
}
