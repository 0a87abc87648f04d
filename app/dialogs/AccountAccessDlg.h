// CAccountAccessDlg: asks for the access password of a protected account;
// the caller sets the two read-only texts and compares the typed one.
#pragma once

#include "platform/mfc/Dialog.h"

class CAccountAccessDlg : public CDialog {
    DECLARE_DYNAMIC(CAccountAccessDlg)
public:
    explicit CAccountAccessDlg(CWnd* pParent = nullptr);

    CString m_strSite;
    CString m_strUserName;
    CString m_strAccessPassword;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnShowWindow(BOOL bShow, UINT nStatus);
    DECLARE_MESSAGE_MAP()
};
