// Threads and the application object: the message pump with
// pre-translation, the idle pass that runs update handlers and frees
// temporary objects, and the application's start, run and exit.
#pragma once

#include "platform/mfc/Wnd.h"
#include "platform/win/Registry.h"

#include <string>

class CWinThread;
class CWinApp;
class CDocManager;
class CDocTemplate;
class CDocument;

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    ~CWinThread() override;

    CWnd* m_pMainWnd = nullptr;
    CWnd* m_pActiveWnd = nullptr;
    BOOL m_bAutoDelete = TRUE;
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    MSG m_msgCur{};

    // A worker runs its procedure; a user-interface thread runs
    // InitInstance and then its message loop.
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0);
    DWORD ResumeThread();
    operator HANDLE() const { return m_hThread; }

    virtual BOOL InitInstance() { return FALSE; }
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL PumpMessage();
    // The idle pass: lCount 0 runs the main window's update handlers, 1 frees
    // temporary objects. Answers whether more idle work is wanted.
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual int ExitInstance();
    virtual CWnd* GetMainWnd();
    virtual void Delete();

    AFX_THREADPROC m_pfnThreadProc = nullptr;
    LPVOID m_pThreadParams = nullptr;

protected:
    // Thread messages (null window) go to the thread's own map.
    BOOL DispatchThreadMessageEx(MSG* pMsg);
    POINT m_ptCursorLast{-1, -1};
    UINT m_nMsgLast = 0;
    friend UINT AfxThreadEntry(LPVOID);
};

// Command-line switches as the framework reads them.
class CCommandLineInfo : public CObject {
public:
    CCommandLineInfo() = default;
    ~CCommandLineInfo() override = default;
    // One argument: a switch (without its / or -) or a parameter.
    virtual void ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppRegister, AppUnregister, FileNothing = -1 };
    int m_nShellCommand = FileNew;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;

protected:
    void ParseParamFlag(const char* pszParam);
    void ParseParamNotFlag(const char* pszParam);
    void ParseLast(BOOL bLast);
};

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCTSTR m_pszAppName = nullptr;
    LPCTSTR m_pszExeName = nullptr;
    LPCTSTR m_pszRegistryKey = nullptr;
    LPCTSTR m_pszProfileName = nullptr;
    LPCTSTR m_pszHelpFilePath = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPTSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;

    virtual BOOL InitApplication() { return TRUE; }
    BOOL InitInstance() override { return TRUE; }
    int Run() override;
    int ExitInstance() override;
    BOOL OnIdle(LONG lCount) override;

    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    // Runs the command line's shell command: a new document, a file opened
    // through the templates; FALSE ends the program (also for printing and
    // registration, which have nothing to do here).
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    // Document templates (the application owns them).
    CDocManager* m_pDocManager = nullptr;
    void AddDocTemplate(CDocTemplate* pTemplate);
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    virtual BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);
    void OnFileNew();
    // ID_APP_EXIT: closes the main window, which ends the application.
    void OnAppExit();

    // Settings under HKEY_CURRENT_USER\Software\<key>\<profile name> once a
    // registry key is set, else in the profile file m_pszProfileName.
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCTSTR lpszSection);
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    // A null entry removes the whole section; a null value removes the entry.
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    // The caller frees *ppData with delete[].
    BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, BYTE** ppData, UINT* pBytes);
    BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes);
    // Reads the standard settings; the recent-file list holds nMaxMRU names.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    int m_nNumPreviewPages = 0;
    UINT m_nMaxMRU = 0;

    // A counted wait cursor for the whole application.
    void BeginWaitCursor();
    void EndWaitCursor();
    void DoWaitCursor(int nCode);

    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursorA(nullptr, lpszCursorName); }

    // The command line of the process, as the entry saw it.
    static void SetCommandLine(int argc, char** argv);

protected:
    void SetExeName(const std::string& path);
    friend int AfxWinMain(int argc, char** argv);
    int m_nWaitCursorCount = 0;
    HCURSOR m_hcurWaitCursorRestore = nullptr;
    CString m_strAppName;
    CString m_strExeName;
    CString m_strRegistryKey;
    CString m_strProfileName;
    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWinThread* AfxGetThread();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
// Pumps one message of the calling thread through pre-translation; FALSE on WM_QUIT.
BOOL AfxPumpMessage();
// The message the calling thread's pump took last.
const MSG& AfxGetCurrentThreadMessage();
BOOL AfxIsIdleMessage(const MSG* pMsg);
// Offers the message to the thread's PreTranslateMessage, or (for threads
// without a thread object) to the window chain up to the main window.
BOOL AfxPreTranslateMessage(MSG* pMsg);
void AfxPostQuitMessage(int nExitCode);
BOOL AfxSocketInit(void* lpwsaData = nullptr);

// Starts a worker thread running pfnThreadProc(pParam). The thread object
// deletes itself when the procedure returns unless m_bAutoDelete is cleared
// (the caller must then start it suspended and clear the flag first).
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority = 0, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, void* lpSecurityAttrs = nullptr);

// The framework's entry: the application object (made before it runs) gets
// InitApplication, InitInstance and Run, or ExitInstance when start-up fails.
int AfxWinMain(int argc, char** argv);

namespace tavrin::mfc {
// Tests make and drop application objects: the one current for the process.
void SetCurrentApp(CWinApp* app);
} // namespace tavrin::mfc
