#include "app/PaneViews.h"

#include "app/MainFrm.h"
#include "core/services/Config.h"
#include "platform/mfc/Dc.h"

IMPLEMENT_DYNAMIC(CPlainPaneView, CView)
IMPLEMENT_DYNCREATE(CComposeView, CPlainPaneView)

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

void CComposeView::OnInitialUpdate()
{
    CPlainPaneView::OnInitialUpdate();
    CMainFrame* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
    if (frame && GetConfig(CFG_PLACEMENT_PANE_2_2_VISIBLE) == "0")
        frame->ShowComposePane(FALSE);
}
