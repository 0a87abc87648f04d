// The application object and its single-instance base, and the empty
// document the single-document template needs.
#pragma once

#include "platform/mfc/Dialog.h"
#include "platform/mfc/Document.h"
#include "platform/mfc/WinApp.h"

// The name of the single-instance mutex and of the message between copies.
#define TAVRIN_INSTANCE_NAME "{6A97833C-7441-4711-B96A-B9D28D4B4DF9}"

// An application that can keep itself to one running copy: a second copy
// tells the first (by a registered message) and ends.
class CWinAppEx : public CWinApp {
public:
    explicit CWinAppEx(LPCTSTR lpszAppName = nullptr) : CWinApp(lpszAppName) {}

    // FALSE when another copy runs and has been told; a null name gives TRUE.
    virtual BOOL CheckSingleInstance(LPCTSTR lpszName);
    // The running copy's side: opens the file a second copy passed, or
    // brings the main window to the front. Always TRUE.
    virtual BOOL ActivateInstance(MSG* pMsg);
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Posts the registered message to the other copies; FALSE only when the
    // broadcast itself fails.
    BOOL BroadcastToInstances(WPARAM wParam, LPARAM lParam);
    static BOOL EnableTcbPrivilege(LPCTSTR lpszPrivilege, BOOL bEnable);

    UINT GetInstanceMessage() const { return m_uInstanceMessage; }

protected:
    UINT m_uInstanceMessage = 0;
    HANDLE m_hInstanceMutex = nullptr;
};

class CTavrinApp : public CWinAppEx {
public:
    CTavrinApp();
    BOOL InitInstance() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnAppAbout();

protected:
    DECLARE_MESSAGE_MAP()
};

class CTavrinDoc : public CDocument {
    DECLARE_DYNCREATE(CTavrinDoc)
public:
    CTavrinDoc() = default;
    void Serialize(CArchive&) override {}
};

// The about box: the program's icon, name and version.
class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
