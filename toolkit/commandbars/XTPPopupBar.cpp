#include "toolkit/commandbars/XTPPopupBar.h"

#include "toolkit/commandbars/XTPControlPopup.h"

IMPLEMENT_SERIAL(CXTPPopupBar, CXTPCommandBar, 1)

CXTPPopupBar::CXTPPopupBar()
{
    m_barType = xtpBarTypePopup;
    m_barPosition = xtpBarPopup;
}

CXTPPopupBar* CXTPPopupBar::CreatePopupBar(CXTPCommandBars* pCommandBars)
{
    auto* pBar = new CXTPPopupBar;
    pBar->m_pCommandBars = pCommandBars;
    return pBar;
}

BOOL CXTPPopupBar::Popup(int, int, LPCRECT)
{
    // Showing a popup belongs to its placement and tracking.
    return FALSE;
}

CXTPCommandBar* CXTPPopupBar::GetParentCommandBar() const
{
    return m_pControlPopup ? m_pControlPopup->GetParent() : nullptr;
}

IMPLEMENT_SERIAL(CXTPPopupToolBar, CXTPPopupBar, 1)

CXTPPopupToolBar::CXTPPopupToolBar()
{
    m_barType = xtpBarTypeNormal;
}

CXTPPopupToolBar* CXTPPopupToolBar::CreatePopupToolBar(CXTPCommandBars* pCommandBars)
{
    auto* pBar = new CXTPPopupToolBar;
    pBar->m_pCommandBars = pCommandBars;
    return pBar;
}
