// The verification-code dialog "认证信息": shows the code picture the provider
// sent and takes the 4 characters the user reads from it.
#pragma once

#include "app/GifCtrl.h"
#include "platform/mfc/Dialog.h"

class CVerifyCodeDlg : public CDialog {
public:
    explicit CVerifyCodeDlg(CWnd* pParent = nullptr);

    // The full path of the GIF to show; set before the dialog runs.
    void SetImagePath(CString path) { m_strImagePath = path; }

    // The code as typed; exactly 4 bytes of text after IDOK.
    CString m_strCode;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnShowWindow(BOOL bShow, UINT nStatus);
    DECLARE_MESSAGE_MAP()

    CGifCtrl m_picture;
    CString m_strImagePath;
};
