// Frame windows: the client laid out between the control bars by
// WM_SIZEPARENT, the active view and the routing of commands view -> frame ->
// application, prompts in the status bar, accelerators, the standard
// commands, and the frame's title from its document.
#pragma once

#include "platform/mfc/Document.h"
#include "platform/mfc/Rect.h"

#include <vector>

class CControlBar;

// Frame styles (kept in the window's style).
#define FWS_ADDTOTITLE 0x00008000L
#define FWS_PREFIXTITLE 0x00004000L
#define FWS_SNAPTOBARS 0x00002000L

// WM_FLOATSTATUS flags: what happened to the frame that owns floating windows.
#define FS_SHOW 0x01
#define FS_HIDE 0x02
#define FS_ACTIVATE 0x04
#define FS_DEACTIVATE 0x08
#define FS_ENABLE 0x10
#define FS_DISABLE 0x20
#define FS_SYNCACTIVE 0x40

// Mini-frame styles.
#define MFS_SYNCACTIVE 0x00000100L
#define MFS_4THICKFRAME 0x00000200L
#define MFS_THICKFRAME 0x00000400L
#define MFS_MOVEFRAME 0x00000800L
#define MFS_BLOCKSYSMENU 0x00001000L

#define AFX_WS_DEFAULT_VIEW (WS_CHILD | WS_VISIBLE | WS_BORDER)

// What WM_SIZEPARENT carries (lParam): each bar takes its part of `rect`
// from the edge it is aligned to and places itself through hDWP.
struct AFX_SIZEPARENTPARAMS {
    HDWP hDWP;
    RECT rect;
    SIZE sizeTotal;
    BOOL bStretch;
};
// Places a child as part of a layout pass (deferred when the pass has a batch).
void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect);

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    static const CRect rectDefault;

    // Hides CWnd::Create on purpose, as the framework does: a call with a
    // literal 0 for the menu would otherwise be ambiguous with the id form.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Woverloaded-virtual"
#endif
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                        DWORD dwStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, const RECT& rect = rectDefault,
                        CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr, DWORD dwExStyle = 0,
                        CCreateContext* pContext = nullptr);
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
    // Title from the string resource (its first part), menu, accelerators and
    // icon of the same id.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL IsFrameWnd() const override { return TRUE; }
    void PostNcDestroy() override { delete this; }

    // Layout
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    // Marks the layout for the next idle pass.
    void DelayRecalcLayout(BOOL bNotify = TRUE);
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    virtual void ActivateFrame(int nCmdShow = -1);
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    BOOL IsInRecalcLayout() const { return m_bInRecalcLayout; }

    // Views and documents
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    virtual CFrameWnd* GetActiveFrame() { return this; }

    // Control bars
    CControlBar* GetControlBar(UINT nID);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    virtual CWnd* GetMessageBar();
    // Sends WM_FLOATSTATUS to the popups the frame owns.
    void NotifyFloatingWindows(DWORD dwFlags);

    // Title
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void UpdateFrameTitleForDocument(LPCTSTR lpszDocName);
    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
    CString GetTitle() const { return m_strTitle; }

    // Prompts: the part of the string resource before "\n".
    virtual void GetMessageString(UINT nID, CString& rMessage) const;
    void SetMessageText(LPCTSTR lpszText);
    void SetMessageText(UINT nID);

    virtual HACCEL GetDefaultAccelerator() { return m_hAccelTable; }
    BOOL LoadAccelTable(LPCTSTR lpszResourceName);

    // No print preview here; the call is accepted and does nothing.
    virtual void OnSetPreviewMode(BOOL bPreview, void* pState);
    BOOL IsTracking() const { return m_nIDTracking != 0 && m_nIDTracking != AFX_IDS_IDLEMESSAGE; }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    BOOL m_bAutoMenuEnable = TRUE;
    UINT m_nIDHelp = 0;
    int m_bHelpMode = 0; // never on: there is no help mode
    HMENU m_hMenuDefault = nullptr;
    HACCEL m_hAccelTable = nullptr;
    CRect m_rectBorder;
    enum { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };
    UINT m_nIdleFlags = 0;
    UINT m_nIDTracking = 0;
    UINT m_nIDLastMessage = 0;
    std::vector<CControlBar*> m_listControlBars;

    // Message handlers
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnClose();
    void OnSize(UINT nType, int cx, int cy);
    void OnSetFocus(CWnd* pOldWnd);
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    BOOL OnNcActivate(BOOL bActive);
    void OnEnable(BOOL bEnable);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    void OnInitMenuPopup(CMenu* pMenu, UINT nIndex, BOOL bSysMenu);
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    LRESULT OnPopMessageString(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnFloatStatus(WPARAM wParam, LPARAM lParam);
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    LRESULT OnRecalcParent(WPARAM wParam, LPARAM lParam);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    BOOL OnBarCheck(UINT nID);
    void OnUpdateNextPaneMenu(CCmdUI* pCmdUI);
    // The caps, num and scroll lock panes: enabled (shown) while the lock is on.
    void OnUpdateKeyIndicator(CCmdUI* pCmdUI);
    BOOL OnNextPaneCmd(UINT nID);

protected:
    CView* m_pViewActive = nullptr;
    CString m_strTitle;
    BOOL m_bInRecalcLayout = FALSE;
    virtual BOOL OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    // The views below this frame in window order.
    std::vector<CView*> FrameViews() const;
    DECLARE_MESSAGE_MAP()
};

// A small floating frame (a tool window with a thin caption).
class CMiniFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMiniFrameWnd)
public:
    CMiniFrameWnd() = default;
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Woverloaded-virtual"
#endif
    // A mini frame's own forms hide the frame's, as the framework's do.
    BOOL Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd = nullptr, UINT nID = 0);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd = nullptr, UINT nID = 0);
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
};

// The mini frame that holds a floating dock bar.
class CMiniDockFrameWnd : public CMiniFrameWnd {
    DECLARE_DYNCREATE(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd() = default;
};
