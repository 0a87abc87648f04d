#include "platform/mfc/Dialog.h"

#include "platform/mfc/Resource.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/res/FrameworkIds.h"
#include "platform/win/WindowPos.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* pDlg = DYNAMIC_DOWNCAST(CDialog, CWnd::FromHandlePermanent(hWnd));
    if (!pDlg)
        return TRUE;
    return tavrin::mfc::GuardBoundary("OnInitDialog", static_cast<INT_PTR>(TRUE),
                                      [&] { return static_cast<INT_PTR>(pDlg->OnInitDialog()); });
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd)
{
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_pParentWnd(pParentWnd), m_nIDHelp(nIDTemplate)
{
}

CDialog::~CDialog()
{
    if (m_hWnd)
        DestroyWindow();
}

LPCDLGTEMPLATE CDialog::FindTemplate(HINSTANCE* phInst) const
{
    *phInst = nullptr;
    if (m_lpDialogTemplate)
        return m_lpDialogTemplate;
    if (!m_lpszTemplateName)
        return nullptr;
    HINSTANCE hInst = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    HRSRC hResource = ::FindResourceA(hInst, m_lpszTemplateName, RT_DIALOG);
    if (!hResource)
        return nullptr;
    *phInst = hInst;
    return static_cast<LPCDLGTEMPLATE>(::LockResource(::LoadResource(hInst, hResource)));
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName) && !m_nIDHelp)
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    HINSTANCE hInst = nullptr;
    LPCDLGTEMPLATE lpTemplate = FindTemplate(&hInst);
    if (!lpTemplate)
        return FALSE;
    return CreateDlgIndirect(lpTemplate, pParentWnd, hInst);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) { return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd); }

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd)
{
    return CreateDlgIndirect(lpDialogTemplate, pParentWnd, nullptr);
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd)
{
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    return lpDialogTemplate != nullptr;
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst)
{
    if (!pParentWnd)
        pParentWnd = AfxGetMainWnd();
    m_pParentWnd = pParentWnd;
    m_lpCreatingTemplate = lpDialogTemplate;
    tavrin::mfc::HookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamA(hInst, lpDialogTemplate, AfxHwndOf(pParentWnd), &AfxDlgProc, 0);
    if (!tavrin::mfc::UnhookWindowCreate())
        PostNcDestroy(); // never made: the object may free itself
    // A dialog whose creation failed part way has been destroyed already.
    return hWnd != nullptr && m_hWnd == hWnd;
}

BOOL CDialog::CheckAutoCenter()
{
    const auto* bytes = reinterpret_cast<const BYTE*>(m_lpCreatingTemplate);
    if (!bytes)
        return TRUE;
    DWORD style;
    short x, y;
    WORD signature;
    std::memcpy(&signature, bytes + 2, sizeof signature);
    if (signature == 0xFFFF) { // the extended layout
        std::memcpy(&style, bytes + 12, sizeof style);
        std::memcpy(&x, bytes + 18, sizeof x);
        std::memcpy(&y, bytes + 20, sizeof y);
    } else {
        std::memcpy(&style, bytes, sizeof style);
        std::memcpy(&x, bytes + 10, sizeof x);
        std::memcpy(&y, bytes + 12, sizeof y);
    }
    if (style & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN))
        return FALSE;
    return x == 0 && y == 0;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    // The dialog procedure runs OnInitDialog through the default handling.
    return Default();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    if (!(GetStyle() & WS_CHILD) && CheckAutoCenter())
        CenterWindow();
    return TRUE; // the dialog manager focuses the first control
}

INT_PTR CDialog::DoModal()
{
    HINSTANCE hInst = nullptr;
    LPCDLGTEMPLATE lpTemplate = FindTemplate(&hInst);
    if (!lpTemplate)
        return -1;
    HWND hWndTop = nullptr;
    CWnd* pOwner = CWnd::GetSafeOwner(m_pParentWnd, &hWndTop);
    HWND hWndParent = AfxHwndOf(pOwner);
    m_hWndTop = hWndTop;
    // The owner takes no input while the dialog runs.
    BOOL bEnableParent = FALSE;
    if (hWndParent && hWndParent != ::GetDesktopWindow() && ::IsWindowEnabled(hWndParent)) {
        ::EnableWindow(hWndParent, FALSE);
        bEnableParent = TRUE;
    }
    m_nModalResult = -1;
    m_nFlags |= WF_CONTINUEMODAL; // EndDialog in OnInitDialog skips the loop
    try {
        if (CreateDlgIndirect(lpTemplate, pOwner, hInst)) {
            if (m_nFlags & WF_CONTINUEMODAL) {
                DWORD dwFlags = MLF_SHOWONIDLE;
                if (GetStyle() & DS_NOIDLEMSG)
                    dwFlags |= MLF_NOIDLEMSG;
                RunModalLoop(dwFlags);
            }
            if (m_hWnd)
                SetWindowPos(nullptr, 0, 0, 0, 0,
                             SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    } catch (CException* e) {
        tavrin::mfc::ReportEscapedException("DoModal", e);
        m_nModalResult = -1;
    }
    m_nFlags &= ~(WF_CONTINUEMODAL | WF_MODALLOOP);
    if (bEnableParent)
        ::EnableWindow(hWndParent, TRUE);
    if (hWndParent && m_hWnd && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndParent);
    if (m_hWnd)
        DestroyWindow();
    if (m_hWndTop)
        ::EnableWindow(m_hWndTop, TRUE);
    m_hWndTop = nullptr;
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL))
        EndModalLoop(nResult);
    ::EndDialog(m_hWnd, nResult);
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return; // the dialog stays open
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    // Keys and mouse messages for the dialog get its keyboard interface.
    bool key = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    bool mouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST;
    if (!key && !mouse)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    // Commands and their updates may be the application's.
    if (nCode != CN_COMMAND && nCode != CN_UPDATE_COMMAND_UI)
        return FALSE;
    CWinApp* pApp = AfxGetApp();
    return pApp && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    if (HWND hCtrl = AfxHwndOf(pWndCtrl))
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hCtrl), 1);
}

void CDialog::NextDlgCtrl() const { SendMessage(WM_NEXTDLGCTL, 0, 0); }

void CDialog::PrevDlgCtrl() const { SendMessage(WM_NEXTDLGCTL, 1, 0); }
