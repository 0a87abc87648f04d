#include "toolkit/controls/XTResizeDialog.h"

#include "platform/mfc/WndMessages.h"

IMPLEMENT_DYNCREATE(CXTResizeDialog, CDialog)

BEGIN_MESSAGE_MAP(CXTResizeDialog, CDialog)
    ON_WM_GETMINMAXINFO()
    ON_WM_SIZE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CXTResizeDialog::CXTResizeDialog() : CXTResizeLayout(nullptr, 0) {}

CXTResizeDialog::CXTResizeDialog(UINT nIDTemplate, CWnd* pParent, UINT nFlags)
    : CDialog(nIDTemplate, pParent), CXTResizeLayout(this, nFlags)
{
}

BOOL CXTResizeDialog::OnInitDialog()
{
    if (!(GetStyle() & WS_THICKFRAME))
        SetFlag(SZ_NOSIZEICON);
    CDialog::OnInitDialog();
    Init();
    EnableToolTips(TRUE);
    return TRUE;
}

void CXTResizeDialog::OnGetMinMaxInfo(MINMAXINFO* pMMI)
{
    GetMinMaxInfo(pMMI);
}

void CXTResizeDialog::OnSize(UINT, int, int)
{
    Default();
    Move();
}

void CXTResizeDialog::OnDestroy()
{
    if (!GetPlacementSection().IsEmpty())
        SavePlacement(GetPlacementSection());
    Default();
}
