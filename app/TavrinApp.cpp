#include "app/TavrinApp.h"

#include "app/MainFrm.h"
#include "app/PaneViews.h"
#include "app/SplashWnd.h"
#include "core/services/Config.h"
#include "platform/controls/CommCtrl.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/OleControl.h"
#include "platform/mfc/Resource.h"
#include "platform/win/Atom.h"
#include "platform/win/Broadcast.h"
#include "platform/win/NamedMutex.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/Privilege.h"
#include "providers/5460/Provider5460.h"
#include "providers/chinaren/ProviderChinaRen.h"
#include "res/resource.h"
#include "toolkit/controls/XTGlobalData.h"

#include <cstdio>

IMPLEMENT_DYNCREATE(CTavrinDoc, CDocument)

// Single instance

BOOL CWinAppEx::CheckSingleInstance(LPCTSTR lpszName)
{
    if (!lpszName)
        return TRUE;
    m_uInstanceMessage = ::RegisterWindowMessage(lpszName);
    HANDLE mutex = ::CreateMutex(nullptr, FALSE, lpszName);
    const DWORD error = ::GetLastError();
    if (mutex) {
        ::ReleaseMutex(mutex);
        // The handle stays open for the life of the process: it keeps the name taken.
        m_hInstanceMutex = mutex;
    }
    if (!mutex || (error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED))
        return TRUE;

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (cmdInfo.m_nShellCommand != CCommandLineInfo::FileNew && cmdInfo.m_nShellCommand != CCommandLineInfo::FileOpen)
        return TRUE;
    WPARAM wParam = 0;
    if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileOpen)
        wParam = ::GlobalAddAtom(cmdInfo.m_strFileName);
    BroadcastToInstances(wParam, 0);
    return FALSE;
}

BOOL CWinAppEx::BroadcastToInstances(WPARAM wParam, LPARAM lParam)
{
    DWORD recipients = BSM_APPLICATIONS;
    if (EnableTcbPrivilege(SE_TCB_NAME, TRUE))
        recipients |= BSM_ALLDESKTOPS;
    return ::BroadcastSystemMessage(BSF_IGNORECURRENTTASK | BSF_POSTMESSAGE | BSF_FORCEIFHUNG, &recipients,
                                    m_uInstanceMessage, wParam, lParam) != -1;
}

BOOL CWinAppEx::EnableTcbPrivilege(LPCTSTR lpszPrivilege, BOOL bEnable)
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return FALSE;
    BOOL ok = FALSE;
    TOKEN_PRIVILEGES privileges{};
    if (::LookupPrivilegeValue(nullptr, lpszPrivilege, &privileges.Privileges[0].Luid)) {
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = bEnable ? SE_PRIVILEGE_ENABLED : 0;
        ok = ::AdjustTokenPrivileges(token, FALSE, &privileges, sizeof(privileges), nullptr, nullptr) &&
             ::GetLastError() == 0;
    }
    ::CloseHandle(token);
    return ok;
}

BOOL CWinAppEx::ActivateInstance(MSG* pMsg)
{
    // A file name from the other copy is read and let go: the one document
    // holds nothing, and opening it again would run every view's one-time
    // set-up a second time. The running copy only comes to the front.
    const ATOM atom = static_cast<ATOM>(pMsg->wParam);
    if (atom) {
        char name[256] = {};
        ::GlobalGetAtomName(atom, name, sizeof(name));
        ::GlobalDeleteAtom(atom);
    }
    CWnd* main = m_pMainWnd;
    if (main && main->m_hWnd) {
        HWND popup = ::GetLastActivePopup(main->m_hWnd);
        if (!popup)
            popup = main->m_hWnd;
        ::BringWindowToTop(popup);
        if (!main->IsWindowVisible())
            main->ShowWindow(SW_SHOWNORMAL);
        else if (main->IsIconic())
            main->ShowWindow(SW_RESTORE);
        ::BringWindowToTop(popup);
        ::SetForegroundWindow(popup);
    }
    return TRUE;
}

BOOL CWinAppEx::PreTranslateMessage(MSG* pMsg)
{
    if (m_uInstanceMessage && pMsg->message == m_uInstanceMessage)
        return ActivateInstance(pMsg);
    return CWinApp::PreTranslateMessage(pMsg);
}

// The application

BEGIN_MESSAGE_MAP(CTavrinApp, CWinAppEx)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
END_MESSAGE_MAP()

CTavrinApp::CTavrinApp() : CWinAppEx("Tavrin") {}

namespace {

// The toolkit's fonts: 12-pixel SimSun, horizontal and vertical.
void SetToolkitFonts()
{
    CXTGlobalData* data = XTGetGlobalData();
    LOGFONT lf{};
    data->font.GetLogFont(&lf);
    lf.lfHeight = 12;
    lf.lfWidth = 0;
    lf.lfCharSet = 134;
    std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", "宋体");
    CFont horz;
    horz.CreateFontIndirect(&lf);
    std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", "@宋体");
    CFont vert;
    vert.CreateFontIndirect(&lf);
    data->DeleteFonts();
    data->SetGlobalFonts(&horz, &vert);
}

} // namespace

BOOL CTavrinApp::InitInstance()
{
    // Icons, bitmaps and menus come from the program's own module.
    if (!m_hInstance)
        m_hInstance = ::GetModuleHandle(nullptr);
    if (!AfxGetResourceHandle())
        AfxSetResourceHandle(m_hInstance);
    ::InitCommonControls();
    // New and stored accounts are made by their provider's class.
    RegisterProvider5460();
    RegisterProviderChinaRen();
    if (GetConfig(CFG_OTHER_SINGLE_TAVRIN) == "1" && !CheckSingleInstance(TAVRIN_INSTANCE_NAME))
        return FALSE;
    if (!AfxSocketInit()) {
        AfxMessageBox(IDP_SOCKETS_INIT_FAILED);
        return FALSE;
    }
    AfxEnableControlContainer();
    ::LoadLibrary("RICHED32.DLL");
    SetToolkitFonts();
    *XTGetGlobalData()->m_pstrProfileFile = "tavrin.ini";
    SetRegistryKey("Tavrin");
    LoadStdProfileSettings(0);

    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CTavrinDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(CTavrinView)));
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    CSplashWnd::EnableSplashScreen(cmdInfo.m_bShowSplash);
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;
    m_pMainWnd->ShowWindow(GetConfig(CFG_STARTUP_MINIMIZED) == "1" ? SW_SHOWMINIMIZED : SW_SHOW);
    m_pMainWnd->UpdateWindow();
    return TRUE;
}

BOOL CTavrinApp::PreTranslateMessage(MSG* pMsg)
{
    if (CSplashWnd::PreTranslateAppMessage(pMsg))
        return TRUE;
    return CWinAppEx::PreTranslateMessage(pMsg);
}

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

void CTavrinApp::OnAppAbout()
{
    CAboutDlg dlg;
    dlg.DoModal();
}
