#include "app/PaneViews.h"

#include "platform/mfc/Dc.h"

IMPLEMENT_DYNAMIC(CPlainPaneView, CView)

BOOL CPlainPaneView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return CView::PreCreateWindow(cs);
}

void CPlainPaneView::OnDraw(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_WINDOW));
}
