#include "app/dialogs/AccountPropertiesDlg.h"

#include "core/model/Account.h"
#include "res/resource.h"

IMPLEMENT_DYNAMIC(CAccountPropertiesDlg, CDialog)

BEGIN_MESSAGE_MAP(CAccountPropertiesDlg, CDialog)
    ON_BN_CLICKED(IDC_PROP_ACCESS_CHECK, OnAccessCheck)
    ON_BN_CLICKED(IDOK, OnOK)
END_MESSAGE_MAP()

CAccountPropertiesDlg::CAccountPropertiesDlg(CWnd* pParent) : CDialog(IDD_ACCOUNT_PROPERTIES, pParent) {}

void CAccountPropertiesDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PROP_PASSWORD, m_strPassword);
    DDX_Text(pDX, IDC_PROP_SITE, m_strSite);
    DDX_Text(pDX, IDC_PROP_USERNAME, m_strUserName);
    DDX_Control(pDX, IDC_PROP_ACCESS_CHECK, m_wndAccessCheck);
    DDX_Control(pDX, IDC_PROP_ACCESS_PASSWORD, m_wndAccessPassword);
}

BOOL CAccountPropertiesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_pAccount)
        return TRUE;
    m_strSite = m_pAccount->GetProvider();
    m_strUserName = m_pAccount->GetUserName();
    m_strPassword = m_pAccount->GetPassword();
    UpdateData(FALSE);
    m_wndAccessPassword.EnableWindow(FALSE);
    if (m_pAccount->IsAccessEnabled()) {
        m_wndAccessCheck.SetCheck(BST_CHECKED);
        m_wndAccessPassword.EnableWindow(TRUE);
        m_wndAccessPassword.SetWindowText(m_pAccount->GetAccessPassword());
    }
    return TRUE;
}

void CAccountPropertiesDlg::OnAccessCheck()
{
    // The edit keeps its text either way.
    m_wndAccessPassword.EnableWindow(m_wndAccessCheck.GetCheck() == BST_CHECKED);
}

void CAccountPropertiesDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_pAccount) {
        m_pAccount->SetUserNameAndPassword(m_strUserName, m_strPassword);
        m_pAccount->SetLocked(TRUE);
        CString access;
        m_wndAccessPassword.GetWindowText(access);
        m_pAccount->SetAccessPassword(access);
        m_pAccount->SetAccessEnabled(m_wndAccessCheck.GetCheck() == BST_CHECKED && !access.IsEmpty());
    }
    EndDialog(IDOK);
}
