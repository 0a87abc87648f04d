#include "toolkit/commandbars/XTPControlButton.h"

#include "platform/mfc/Archive.h"

#include "toolkit/commandbars/XTPCommandBar.h"

IMPLEMENT_SERIAL(CXTPControlButton, CXTPControl, VERSIONABLE_SCHEMA | 8)
IMPLEMENT_SERIAL(CXTPControlLabel, CXTPControl, VERSIONABLE_SCHEMA | 8)

void CXTPControlButton::OnClick(BOOL bKeyboard, CPoint pt)
{
    if (!m_bEnabled)
        return;
    if (IsCustomizeMode()) {
        if (m_pParent) {
            m_pParent->SetPopuped(-1);
            m_pParent->SetSelected(-1);
        }
        OnCustomizeMouseDown(pt);
        return;
    }
    if (bKeyboard)
        OnExecute();
    else if (!m_pParent || m_pParent->GetType() != xtpBarTypePopup)
        ClickToolBarButton();
    // A menu item runs on the release.
}

void CXTPControlButton::OnLButtonUp(CPoint)
{
    if (m_bEnabled && m_pParent && m_pParent->GetType() == xtpBarTypePopup && !IsCustomizeMode())
        OnExecute();
}
