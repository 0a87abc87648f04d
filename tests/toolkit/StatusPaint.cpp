#include "tests/toolkit/StatusPaint.h"

#include "platform/mfc/StatusBar.h"

namespace tavrin::test {

void StatusPaint::FillStatusBar(CDC* pDC, CStatusBar* pBar)
{
    ++fills;
    CRect rc;
    pBar->GetClientRect(&rc);
    pDC->FillSolidRect(&rc, m_fill);
}

void StatusPaint::DrawStatusBarPane(CDC* pDC, CStatusBar* pBar, int nIndex)
{
    ++panes;
    CXTPPaintManager::DrawStatusBarPane(pDC, pBar, nIndex);
}

void StatusPaint::DrawStatusBarGripper(CDC* pDC, CRect rcClient)
{
    ++grips;
    CXTPPaintManager::DrawStatusBarGripper(pDC, rcClient);
}

} // namespace tavrin::test
