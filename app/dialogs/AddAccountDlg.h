// CAddAccountDlg: a new account's provider, user name and password, and the
// HTTP proxy setting shared by all accounts. The caller reads the texts
// after OK and decides what they mean.
#pragma once

#include "platform/mfc/ComboBox.h"
#include "platform/mfc/Dialog.h"

// FALSE when the user name holds a backslash or "/" character; a GBK trail byte
// of the same value belongs to its character. The name becomes a folder
// name directly under accounts.
BOOL IsFolderSafeUserName(const CString& userName);

class CAddAccountDlg : public CDialog {
    DECLARE_DYNAMIC(CAddAccountDlg)
public:
    explicit CAddAccountDlg(CWnd* pParent = nullptr);

    CString m_strProvider;
    CComboBox m_wndProvider;
    CString m_strProxyHost;
    CString m_strProxyPassword;
    CString m_strProxyPort;
    CString m_strProxyUserName;
    CString m_strUserName;
    CString m_strPassword;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
};
