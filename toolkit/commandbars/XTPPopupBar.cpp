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

CXTPCommandBar* CXTPPopupBar::GetParentCommandBar() const
{
    return m_pControlPopup ? m_pControlPopup->GetParent() : nullptr;
}
