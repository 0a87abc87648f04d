#include "tests/toolkit/TestViews.h"

#include "platform/mfc/Dc.h"

namespace tavrin::test {

IMPLEMENT_DYNCREATE(WhiteView, CView)

void WhiteView::OnDraw(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, RGB(255, 255, 255));
}

} // namespace tavrin::test
