#include "toolkit/controls/XTResizeFormView.h"

#include "platform/mfc/WndMessages.h"

IMPLEMENT_DYNCREATE(CXTResizeFormView, CFormView)

BEGIN_MESSAGE_MAP(CXTResizeFormView, CFormView)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_WM_GETMINMAXINFO()
    ON_WM_SIZE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CXTResizeFormView::CXTResizeFormView()
    : CFormView(static_cast<LPCTSTR>(nullptr)), CXTResizeLayout(this, SZ_NOSIZEICON)
{
}

CXTResizeFormView::CXTResizeFormView(UINT nIDTemplate, UINT nFlags)
    : CFormView(nIDTemplate), CXTResizeLayout(this, nFlags | SZ_NOSIZEICON)
{
}

LRESULT CXTResizeFormView::HandleInitDialog(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CFormView::HandleInitDialog(wParam, lParam);
    OnInitDialog();
    return result;
}

BOOL CXTResizeFormView::OnInitDialog()
{
    Init();
    UpdateData(FALSE);
    return TRUE;
}

void CXTResizeFormView::OnGetMinMaxInfo(MINMAXINFO* pMMI)
{
    GetMinMaxInfo(pMMI);
}

void CXTResizeFormView::OnSize(UINT nType, int cx, int cy)
{
    CFormView::OnSize(nType, cx, cy);
    // Smaller than the form it scrolls; the controls keep their places.
    const CSize total = GetTotalSize();
    if (cx >= total.cx && cy >= total.cy)
        Move();
}

void CXTResizeFormView::OnDestroy()
{
    if (!GetPlacementSection().IsEmpty())
        SavePlacement(GetPlacementSection());
    Default();
}
