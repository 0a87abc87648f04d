#include "toolkit/commandbars/XTPControlPopup.h"

#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPopupBar.h"

IMPLEMENT_SERIAL(CXTPControlPopup, CXTPControlButton, 1)

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
