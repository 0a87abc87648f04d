#include "toolkit/commandbars/XTPDockContext.h"

#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPToolBar.h"

void CXTPDockContext::ToggleDocking()
{
    CXTPCommandBars* pCommandBars = m_pBar->GetCommandBars();
    if (!pCommandBars)
        return;
    if (m_pBar->IsFloating()) {
        if (m_pBar->GetSafeHwnd()) {
            CRect rcWindow;
            m_pBar->GetWindowRect(&rcWindow);
            m_ptMRUFloatPos = rcWindow.TopLeft();
        }
        CXTPDockBar* pDock = pCommandBars->GetDockBar(m_uMRUDockPosition);
        if (pDock && !m_rectMRUDockPos.IsRectEmpty()) {
            CRect rc = m_rectMRUDockPos;
            pDock->ClientToScreen(&rc);
            pCommandBars->DockCommandBar(m_pBar, &rc, pDock);
        } else {
            pCommandBars->DockCommandBar(m_pBar, m_uMRUDockPosition);
        }
    } else if (pCommandBars->GetOptions()->bDblClickFloat) {
        pCommandBars->FloatCommandBar(m_pBar);
    } else {
        return;
    }
    pCommandBars->RecalcFrameLayout();
}
