#include "app/dialogs/AddAccountDlg.h"

#include "core/model/ProviderNameList.h"
#include "core/services/Config.h"
#include "platform/win/MessageBox.h"
#include "res/resource.h"

IMPLEMENT_DYNAMIC(CAddAccountDlg, CDialog)

BOOL IsFolderSafeUserName(const CString& userName)
{
    const int length = userName.GetLength();
    for (int i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(userName[i]);
        const unsigned char next = i + 1 < length ? static_cast<unsigned char>(userName[i + 1]) : 0;
        if (c >= 0x81 && c <= 0xFE && next >= 0x40 && next <= 0xFE && next != 0x7F)
            ++i;
        else if (c == '\\' || c == '/')
            return FALSE;
    }
    return TRUE;
}

CAddAccountDlg::CAddAccountDlg(CWnd* pParent) : CDialog(IDD_ADD_ACCOUNT, pParent) {}

void CAddAccountDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ADD_PROVIDER, m_wndProvider);
    DDX_Text(pDX, IDC_PROXY_HOST, m_strProxyHost);
    DDX_Text(pDX, IDC_PROXY_PASSWORD, m_strProxyPassword);
    DDX_Text(pDX, IDC_PROXY_PORT, m_strProxyPort);
    DDX_Text(pDX, IDC_PROXY_USERNAME, m_strProxyUserName);
    DDX_Text(pDX, IDC_ADD_USERNAME, m_strUserName);
    DDX_Text(pDX, IDC_ADD_PASSWORD, m_strPassword);
}

BOOL CAddAccountDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Each name goes on top, so the list reads in the reverse of the names' order.
    for (int i = 0; i < GetProviderCount(); ++i)
        m_wndProvider.InsertString(0, GetProviderName(i));
    m_wndProvider.SetCurSel(0);
    m_strProxyHost = GetConfig(CFG_PROXY_HOST);
    m_strProxyPort = GetConfig(CFG_PROXY_PORT);
    m_strProxyUserName = GetConfig(CFG_PROXY_USERNAME);
    m_strProxyPassword = GetConfig(CFG_PROXY_PASSWORD);
    UpdateData(FALSE);
    return TRUE;
}

void CAddAccountDlg::OnOK()
{
    m_wndProvider.GetWindowText(m_strProvider);
    CString userName;
    GetDlgItemText(IDC_ADD_USERNAME, userName);
    if (!IsFolderSafeUserName(userName)) {
        ::MessageBox(GetSafeHwnd(), "用户名中不能含有\\或/字符！", "添加新帐号", MB_OK | MB_ICONEXCLAMATION);
        if (CWnd* edit = GetDlgItem(IDC_ADD_USERNAME))
            GotoDlgCtrl(edit);
        return;
    }
    CDialog::OnOK();
}
