#include "platform/mfc/WinApp.h"
#include "platform/mfc/DocTemplate.h"

#include "platform/base/CodePage.h"
#include "platform/base/Socket.h"
#include "platform/base/Thread.h"
#include "platform/mfc/ImageList.h"

#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

UINT AfxThreadEntry(LPVOID param);

namespace {

CWinApp* currentApp = nullptr;
thread_local CWinThread* currentThread = nullptr;
thread_local MSG threadMessage{}; // the pump's message on threads without a thread object

// The process's arguments in the program's code page.
std::vector<std::string>& Arguments()
{
    static std::vector<std::string> arguments;
    return arguments;
}
std::string commandLine;

void DeleteTempMaps()
{
    CWnd::DeleteTempMap();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    CMenu::DeleteTempMap();
    CImageList::DeleteTempMap();
}

} // namespace

void tavrin::mfc::SetCurrentApp(CWinApp* app)
{
    currentApp = app;
    currentThread = app;
}

CWinApp* AfxGetApp() { return currentApp; }
CWinThread* AfxGetThread() { return currentThread; }

CWnd* AfxGetMainWnd()
{
    CWinThread* thread = AfxGetThread();
    return thread ? thread->GetMainWnd() : nullptr;
}

HINSTANCE AfxGetInstanceHandle() { return currentApp ? currentApp->m_hInstance : nullptr; }

const MSG& AfxGetCurrentThreadMessage()
{
    CWinThread* thread = AfxGetThread();
    return thread ? thread->m_msgCur : threadMessage;
}

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    if (CWinThread* thread = AfxGetThread())
        return thread->PreTranslateMessage(pMsg);
    return CWnd::WalkPreTranslateTree(nullptr, pMsg);
}

BOOL AfxPumpMessage()
{
    if (CWinThread* thread = AfxGetThread())
        return thread->PumpMessage();
    if (!::GetMessageA(&threadMessage, nullptr, 0, 0))
        return FALSE;
    if (threadMessage.message != WM_KICKIDLE && !AfxPreTranslateMessage(&threadMessage)) {
        ::TranslateMessage(&threadMessage);
        ::DispatchMessageA(&threadMessage);
    }
    return TRUE;
}

BOOL AfxIsIdleMessage(const MSG* pMsg)
{
    if (CWinThread* thread = AfxGetThread())
        return thread->IsIdleMessage(const_cast<MSG*>(pMsg));
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118 && pMsg->message != WM_MOUSEMOVE &&
           pMsg->message != WM_NCMOUSEMOVE;
}

void AfxPostQuitMessage(int nExitCode) { ::PostQuitMessage(nExitCode); }

BOOL AfxSocketInit(void* lpwsaData)
{
    WSADATA data{};
    if (::WSAStartup(0x0101, &data) != 0)
        return FALSE;
    if (lpwsaData)
        std::memcpy(lpwsaData, &data, sizeof data);
    return TRUE;
}

CWinThread::CWinThread() = default;

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam)
{
}

CWinThread::~CWinThread()
{
    if (m_hThread)
        ::CloseHandle(m_hThread);
    if (currentThread == this)
        currentThread = nullptr;
}

namespace {
DWORD WINAPI ThreadEntryStatic(LPVOID param) { return AfxThreadEntry(param); }
} // namespace

UINT AfxThreadEntry(LPVOID param)
{
    auto* thread = static_cast<CWinThread*>(param);
    currentThread = thread;
    UINT result = tavrin::mfc::GuardBoundary("a thread's entry", 0u, [&]() -> UINT {
        if (thread->m_pfnThreadProc)
            return thread->m_pfnThreadProc(thread->m_pThreadParams);
        if (!thread->InitInstance())
            return static_cast<UINT>(thread->ExitInstance());
        return static_cast<UINT>(thread->Run());
    });
    DeleteTempMaps();
    currentThread = nullptr;
    if (thread->m_bAutoDelete)
        thread->Delete();
    return result;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize)
{
    DWORD id = 0;
    m_hThread = ::CreateThread(nullptr, nStackSize, &ThreadEntryStatic, this, dwCreateFlags, &id);
    if (!m_hThread)
        return FALSE;
    m_nThreadID = id;
    return TRUE;
}

DWORD CWinThread::ResumeThread() { return ::ResumeThread(m_hThread); }

void CWinThread::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

CWnd* CWinThread::GetMainWnd() { return m_pActiveWnd ? m_pActiveWnd : m_pMainWnd; }

BOOL CWinThread::DispatchThreadMessageEx(MSG* pMsg)
{
    const AFX_MSGMAP_ENTRY* e = tavrin::mfc::FindMessageEntry(GetMessageMap(), pMsg->message, 0, 0);
    if (!e)
        return FALSE;
    AFX_MSGCALL call{pMsg->message, pMsg->wParam, pMsg->lParam, 0, 0, 0, nullptr};
    e->pfn(this, call);
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    if (!pMsg->hwnd && DispatchThreadMessageEx(pMsg))
        return TRUE;
    CWnd* pMainWnd = AfxGetMainWnd();
    if (CWnd::WalkPreTranslateTree(AfxHwndOf(pMainWnd), pMsg))
        return TRUE;
    // A modeless window outside the main window's tree still gets the main
    // window's translation (its accelerators).
    if (pMainWnd && pMainWnd->m_hWnd && pMsg->hwnd) {
        CWnd* pWnd = CWnd::FromHandle(pMsg->hwnd);
        if (pWnd->GetTopLevelParent() != pMainWnd)
            return pMainWnd->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessageA(&m_msgCur, nullptr, 0, 0))
        return FALSE;
    if (m_msgCur.message != WM_KICKIDLE && !AfxPreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        // A move to where the mouse already was is no reason to run the idle pass.
        if (m_ptCursorLast.x == pMsg->pt.x && m_ptCursorLast.y == pMsg->pt.y && pMsg->message == m_nMsgLast)
            return FALSE;
        m_ptCursorLast = pMsg->pt;
        m_nMsgLast = pMsg->message;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount <= 0) {
        CWnd* pMainWnd = m_pMainWnd;
        if (pMainWnd && pMainWnd->m_hWnd && pMainWnd->IsWindowVisible()) {
            AfxCallWndProc(pMainWnd, pMainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
            pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
        }
    } else {
        DeleteTempMaps();
    }
    return lCount < 0;
}

int CWinThread::Run()
{
    bool idle = true;
    LONG idleCount = 0;
    MSG peek{};
    for (;;) {
        while (idle && !::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                idle = false;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                idle = true;
                idleCount = 0;
            }
        } while (::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}

int CWinThread::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

void CCommandLineInfo::ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL bLast)
{
    if (bFlag)
        ParseParamFlag(pszParam);
    else
        ParseParamNotFlag(pszParam);
    ParseLast(bLast);
}

void CCommandLineInfo::ParseParamFlag(const char* pszParam)
{
    if (strcasecmp(pszParam, "pt") == 0)
        m_nShellCommand = FilePrintTo;
    else if (strcasecmp(pszParam, "p") == 0)
        m_nShellCommand = FilePrint;
    else if (strcasecmp(pszParam, "Register") == 0 || strcasecmp(pszParam, "Regserver") == 0)
        m_nShellCommand = AppRegister;
    else if (strcasecmp(pszParam, "Unregister") == 0 || strcasecmp(pszParam, "Unregserver") == 0)
        m_nShellCommand = AppUnregister;
    else if (strcasecmp(pszParam, "dde") == 0)
        m_nShellCommand = FileDDE;
    else if (strcasecmp(pszParam, "Embedding") == 0)
        m_bRunEmbedded = TRUE;
    else if (strcasecmp(pszParam, "Automation") == 0)
        m_bRunAutomated = TRUE;
}

void CCommandLineInfo::ParseParamNotFlag(const char* pszParam)
{
    if (m_strFileName.IsEmpty())
        m_strFileName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty())
        m_strPrinterName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strDriverName.IsEmpty())
        m_strDriverName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPortName.IsEmpty())
        m_strPortName = pszParam;
}

void CCommandLineInfo::ParseLast(BOOL bLast)
{
    if (!bLast)
        return;
    if (m_nShellCommand == FileNew && !m_strFileName.IsEmpty())
        m_nShellCommand = FileOpen;
    m_bShowSplash = !m_bRunEmbedded && !m_bRunAutomated;
}

CWinApp::CWinApp(LPCTSTR lpszAppName)
{
    if (lpszAppName) {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName;
    }
    m_nThreadID = ::GetCurrentThreadId();
    tavrin::mfc::SetCurrentApp(this);
}

CWinApp::~CWinApp()
{
    delete m_pDocManager;
    m_pDocManager = nullptr;
    if (currentApp == this)
        currentApp = nullptr;
    if (currentThread == this)
        currentThread = nullptr;
}

void CWinApp::SetCommandLine(int argc, char** argv)
{
    Arguments().clear();
    commandLine.clear();
    for (int i = 0; i < argc; ++i) {
        // Arguments arrive in the desktop's UTF-8; the program's text is GBK.
        Arguments().push_back(tavrin::Utf8ToGbk(argv[i] ? argv[i] : ""));
        if (i > 0) {
            if (!commandLine.empty())
                commandLine += ' ';
            commandLine += Arguments().back();
        }
    }
}

void CWinApp::SetExeName(const std::string& path)
{
    // The file name without folder and extension; the application's name
    // when it has none of its own.
    std::string name = path.substr(path.find_last_of('/') + 1);
    if (size_t dot = name.find_last_of('.'); dot != std::string::npos && dot > 0)
        name.erase(dot);
    m_strExeName = name.c_str();
    m_pszExeName = m_strExeName;
    if (!m_pszAppName) {
        m_strAppName = m_strExeName;
        m_pszAppName = m_strAppName;
    }
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    const auto& args = Arguments();
    for (size_t i = 1; i < args.size(); ++i) {
        const char* param = args[i].c_str();
        BOOL flag = FALSE;
        // An absolute path also starts with '/': a switch never holds another one.
        bool slashSwitch = param[0] == '/' && std::strchr(param + 1, '/') == nullptr;
        if (param[0] == '-' || slashSwitch) {
            flag = TRUE;
            ++param;
        }
        rCmdInfo.ParseParam(param, flag, i + 1 == args.size());
    }
}

int CWinApp::Run()
{
    // Without a main window nothing could end the loop.
    if (!m_pMainWnd)
        AfxPostQuitMessage(0);
    return CWinThread::Run();
}

int CWinApp::ExitInstance() { return CWinThread::ExitInstance(); }

BOOL CWinApp::OnIdle(LONG lCount)
{
    if (lCount <= 1)
        CWinThread::OnIdle(lCount);
    return lCount < 1;
}

void CWinApp::BeginWaitCursor() { DoWaitCursor(1); }
void CWinApp::EndWaitCursor() { DoWaitCursor(-1); }

void CWinApp::DoWaitCursor(int nCode)
{
    m_nWaitCursorCount += nCode;
    if (m_nWaitCursorCount > 0) {
        HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
        if (nCode > 0 && m_nWaitCursorCount == 1)
            m_hcurWaitCursorRestore = previous;
    } else {
        m_nWaitCursorCount = 0;
        ::SetCursor(m_hcurWaitCursorRestore ? m_hcurWaitCursorRestore : ::LoadCursorA(nullptr, IDC_ARROW));
    }
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int, UINT nStackSize, DWORD dwCreateFlags,
                           void*)
{
    auto* thread = new CWinThread(pfnThreadProc, pParam);
    if (!thread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize)) {
        delete thread;
        return nullptr;
    }
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        thread->ResumeThread();
    return thread;
}

int AfxWinMain(int argc, char** argv)
{
    CWinApp::SetCommandLine(argc, argv);
    CWinApp* app = AfxGetApp();
    CWinThread* thread = AfxGetThread();
    if (!app || !thread)
        return -1;
    app->SetExeName(Arguments().empty() ? std::string() : Arguments()[0]);
    return tavrin::mfc::GuardBoundary("the application's entry", -1, [&] {
        if (!app->InitApplication())
            return -1;
        if (!thread->InitInstance()) {
            if (thread->m_pMainWnd)
                thread->m_pMainWnd->DestroyWindow();
            return thread->ExitInstance();
        }
        return thread->Run();
    });
}
