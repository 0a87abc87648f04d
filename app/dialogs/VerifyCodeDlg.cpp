#include "app/dialogs/VerifyCodeDlg.h"

#include "core/services/FolderUtil.h"
#include "platform/base/FileFind.h"
#include "platform/controls/Edit.h"
#include "platform/win/MessageBox.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CVerifyCodeDlg, CDialog)
ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

CVerifyCodeDlg::CVerifyCodeDlg(CWnd* pParent) : CDialog(IDD_VERIFY_CODE, pParent) {}

void CVerifyCodeDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_VERIFY_PICTURE, m_picture);
    DDX_Text(pDX, IDC_VERIFY_CODE, m_strCode);
}

BOOL CVerifyCodeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CString path = m_strImagePath;
    CFileFind find;
    if (!find.FindFile(path))
        path = GetAppDir() + "\\styles\\common\\images\\auth_missing.gif";
    m_picture.LoadImage(path);
    return TRUE;
}

void CVerifyCodeDlg::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CDialog::OnShowWindow(bShow, nStatus);
    if (CWnd* edit = GetDlgItem(IDC_VERIFY_CODE))
        edit->SetFocus();
}

void CVerifyCodeDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    // Bytes of the code-page text: two double-byte characters make 4.
    if (m_strCode.GetLength() != 4) {
        ::MessageBox(m_hWnd, "请正确输入图中的4位验证码字符！", "错误", MB_ICONERROR);
        if (CWnd* edit = GetDlgItem(IDC_VERIFY_CODE)) {
            edit->SetFocus();
            edit->SendMessage(EM_SETSEL, 0, -1);
            edit->SendMessage(EM_SCROLLCARET);
        }
        return;
    }
    EndDialog(IDOK);
}
