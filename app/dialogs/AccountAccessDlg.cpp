#include "app/dialogs/AccountAccessDlg.h"

#include "res/resource.h"

IMPLEMENT_DYNAMIC(CAccountAccessDlg, CDialog)

BEGIN_MESSAGE_MAP(CAccountAccessDlg, CDialog)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

CAccountAccessDlg::CAccountAccessDlg(CWnd* pParent) : CDialog(IDD_ACCOUNT_ACCESS, pParent) {}

void CAccountAccessDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ACCESS_SITE, m_strSite);
    DDX_Text(pDX, IDC_ACCESS_USERNAME, m_strUserName);
    DDX_Text(pDX, IDC_ACCESS_PASSWORD, m_strAccessPassword);
}

void CAccountAccessDlg::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CDialog::OnShowWindow(bShow, nStatus);
    // The user types the password at once.
    if (CWnd* edit = GetDlgItem(IDC_ACCESS_PASSWORD))
        edit->SetFocus();
}
