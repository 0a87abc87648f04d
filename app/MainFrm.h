// The main window: five panes in nested splitters, the caption bar above the
// item lists, the status bar and the tray icon. It restores the pane sizes
// at creation, stores them at close, hides itself in the tray when
// minimised and asks before closing while an update runs.
#pragma once

#include "app/MainSplitterWnd.h"
#include "app/MainTrayIcon.h"
#include "platform/mfc/Button.h"
#include "platform/mfc/FrameWnd.h"
#include "toolkit/commandbars/XTPCommandBarsFrame.h"
#include "platform/mfc/GdiObject.h"
#include "toolkit/controls/XTCaption.h"
#include "toolkit/controls/XTStatusBar.h"

#include <vector>

class CTavrinView;
class CComposeView;
class CMiscView;
class CMsgDispView;
class CMsgListView;
class CTaskbarNotifier;
class CXTPPaintManager;
class CSchoolClass;

class CMainFrame : public CXTPCommandBarsFrame {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame() = default;
    ~CMainFrame() override;

    CTavrinView* m_pTreeView = nullptr;
    CComposeView* m_pComposeView = nullptr;
    CMiscView* m_pMiscView = nullptr;
    CMsgDispView* m_pDispView = nullptr;
    CMsgListView* m_pListView = nullptr;
    CXTStatusBar m_wndStatusBar;
    CFont m_fontCaption;
    CXTCaption m_wndCaption;
    CMainTrayIcon m_wndTrayIcon;
    CButton m_wndSearchWithin;
    CMainSplitterWnd m_wndSplitterListDisp;
    CMainSplitterWnd m_wndSplitterItems;
    CXTSplitterWnd m_wndSplitterRight;
    CMainSplitterWnd m_wndSplitterLeft;
    CMainSplitterWnd m_wndSplitterMain;
    std::vector<CTaskbarNotifier*> m_arrNotifiers;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    BOOL CreateCaptionBar();

    void ShowOtherInfoPane(BOOL bShow);
    void ShowComposePane(BOOL bShow);
    void SetListRowMinHeight(const CRect& rect);
    // The caption bar's text and icon; the icon stays the caller's.
    void SetCaption(LPCTSTR lpszText, HICON hIcon);
    HICON m_hCaptionIcon = nullptr;

    // The item lists' tab: 0 messages, 1 photos, 2 contacts, 3 notes.
    int GetCurrentListTab();
    // Selects the row of a list again so that its page shows.
    void ShowListRow(int nTab, int nIndex);
    // A class still listed in the tree; events may outlive a deleted class.
    BOOL IsListedClass(CSchoolClass* pClass);

    int OnCreate(LPCREATESTRUCT lpcs);
    // The bars' request for a control of a toolbar item: the split buttons.
    LRESULT OnCreateControl(WPARAM wParam, LPARAM lParam);
    LRESULT OnClassEvent(WPARAM wParam, LPARAM lParam);
    // Class events of the compose pane: 9 to 12 the sends ended, 14 to 16 a
    // code the provider rejected (MainFrmCompose.cpp).
    void OnComposeEvent(int nCode, CSchoolClass* pClass);
    // Asks for a new code and submits the kept texts again.
    void AskCodeAgain(int nCode, CSchoolClass* pClass);
    void OnSize(UINT nType, int cx, int cy);
    void OnClose();

    // Commands
    void OnRefreshButton();
    void OnStopButton();
    void OnViewCompose();
    void OnViewOtherInfo();
    void OnShowMainWindow();
    void OnAddAccount();
    void OnUpdateViewCompose(CCmdUI* pCmdUI);
    void OnUpdateViewOtherInfo(CCmdUI* pCmdUI);
    // Commands that need a selected class or account: disabled while the
    // tree has none.
    void OnUpdateNeedsClass(CCmdUI* pCmdUI);
    void OnUpdateNeedsAccount(CCmdUI* pCmdUI);
    // Reports of the current class (in MainFrmReports.cpp).
    void OnExportData();
    void OnMessageStatistics();

    // Styles: the look stored in key 0 (the style commands live in MainFrmStyles.cpp).
    // nStyle 0 Office XP, 1 Office 2000, 2 Office 2003.
    void ApplyStyle(int nStyle);
    // The stored look at creation; nothing is stored.
    void ApplyStoredStyle();
    void OnStyleDefault();
    void OnStyleOfficeXP();
    void OnStyleOffice2003();
    void OnStyleOffice2000();
    void OnStyleGnome();
    void OnUpdateStyleDefault(CCmdUI* pCmdUI);
    void OnUpdateStyleOfficeXP(CCmdUI* pCmdUI);
    void OnUpdateStyleOffice2003(CCmdUI* pCmdUI);
    void OnUpdateStyleOffice2000(CCmdUI* pCmdUI);
    void OnUpdateStyleGnome(CCmdUI* pCmdUI);

protected:
    // Menu bar, toolbars, the saved layout and the command icons; FALSE
    // when a bar cannot be made.
    BOOL CreateCommandBars();
    // The silent run of the updater at start-up.
    void StartUpdaterSilently();
    // ApplyStyle's steps with a paint theme of its own.
    void ApplyStyleSteps(int nPaintTheme, int nStyle);
    void InstallGnomeStyle(BOOL bRedraw);
    static void SetIconOptions(CXTPPaintManager* pManager);
    void RedrawStyle();
    DECLARE_MESSAGE_MAP()
};

// The main frame of the running program; null before it is made.
CMainFrame* GetMainFrame();
