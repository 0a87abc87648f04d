// CAccountPropertiesDlg: an account's password and its access protection.
// Its OK stores the results into the account and always locks it.
#pragma once

#include "platform/mfc/Button.h"
#include "platform/mfc/Dialog.h"
#include "platform/mfc/Edit.h"

class CAccount;

class CAccountPropertiesDlg : public CDialog {
    DECLARE_DYNAMIC(CAccountPropertiesDlg)
public:
    explicit CAccountPropertiesDlg(CWnd* pParent = nullptr);

    // The account to show and change; it stays the account list's.
    void SetAccount(CAccount* pAccount) { m_pAccount = pAccount; }

    CString m_strPassword;
    CString m_strSite;
    CString m_strUserName;
    CButton m_wndAccessCheck;
    CEdit m_wndAccessPassword;
    CAccount* m_pAccount = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnAccessCheck();
    DECLARE_MESSAGE_MAP()
};
