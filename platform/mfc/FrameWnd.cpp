#include "platform/mfc/FrameWnd.h"

#include "platform/mfc/ControlBar.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/Resource.h"
#include "platform/mfc/Splitter.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Accelerator.h"
#include "platform/win/Input.h"
#include "platform/win/Menu.h"
#include "platform/win/ResourceImage.h"
#include "platform/win/WindowPos.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)
IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CMiniFrameWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_ACTIVATE()
    ON_WM_NCACTIVATE()
    ON_WM_ENABLE()
    ON_WM_SHOWWINDOW()
    ON_WM_MENUSELECT()
    ON_WM_INITMENUPOPUP()
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
    ON_MESSAGE(WM_POPMESSAGESTRING, OnPopMessageString)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_FLOATSTATUS, OnFloatStatus)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_RECALCPARENT, OnRecalcParent)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_NEXT_PANE, OnUpdateNextPaneMenu)
    ON_COMMAND_EX(ID_NEXT_PANE, OnNextPaneCmd)
    ON_UPDATE_COMMAND_UI(ID_PREV_PANE, OnUpdateNextPaneMenu)
    ON_COMMAND_EX(ID_PREV_PANE, OnNextPaneCmd)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_CAPS, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_NUM, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_SCRL, OnUpdateKeyIndicator)
END_MESSAGE_MAP()

CFrameWnd::~CFrameWnd()
{
    for (CControlBar* pBar : m_listControlBars)
        pBar->m_pDockSite = nullptr;
    if (m_hAccelTable)
        ::DestroyAcceleratorTable(m_hAccelTable);
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    HMENU hMenu = nullptr;
    if (lpszMenuName) {
        hMenu = ::LoadMenuA(AfxFindResourceHandle(lpszMenuName, RT_MENU), lpszMenuName);
        if (!hMenu) {
            PostNcDestroy(); // the object may free itself
            return FALSE;
        }
    }
    m_strTitle = lpszWindowName;
    // The default rectangle leaves place and size to the window system.
    bool byDefault = rect.left == CW_USEDEFAULT;
    int cx = byDefault ? CW_USEDEFAULT : rect.right - rect.left;
    int cy = byDefault ? CW_USEDEFAULT : rect.bottom - rect.top;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, cx, cy,
                  AfxHwndOf(pParentWnd), hMenu, pContext)) {
        if (hMenu)
            ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString strFullString;
    if (AfxLoadString(nIDResource, strFullString))
        AfxExtractSubString(m_strTitle, strFullString, 0);
    LPCSTR name = MAKEINTRESOURCEA(nIDResource);
    HICON hIcon = ::LoadIconA(AfxFindResourceHandle(name, RT_GROUP_ICON), name);
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                            reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)), hIcon);
    CString title = m_strTitle;
    if (!Create(lpszClass, title, dwDefaultStyle, rectDefault, pParentWnd, name, 0, pContext))
        return FALSE; // the frame has freed itself
    m_hMenuDefault = ::GetMenu(m_hWnd);
    LoadAccelTable(name);
    if (!pContext)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

BOOL CFrameWnd::LoadAccelTable(LPCTSTR lpszResourceName)
{
    if (m_hAccelTable)
        return FALSE;
    m_hAccelTable = ::LoadAcceleratorsA(AfxFindResourceHandle(lpszResourceName, RT_ACCELERATOR), lpszResourceName);
    return m_hAccelTable != nullptr;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
    // The document's name goes before the application's.
    if (cs.style & FWS_ADDTOTITLE)
        cs.style |= FWS_PREFIXTITLE;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    return OnCreateHelper(lpcs, static_cast<CCreateContext*>(lpcs->lpCreateParams)) ? 0 : -1;
}

BOOL CFrameWnd::OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return FALSE;
    if (!OnCreateClient(lpcs, pContext))
        return FALSE;
    // The idle prompt once the frame is up.
    PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    RecalcLayout();
    return TRUE;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CObject* pObject = pContext->m_pNewViewClass->CreateObject();
    CWnd* pView = DYNAMIC_DOWNCAST(CWnd, pObject);
    if (!pView) {
        delete pObject;
        return nullptr;
    }
    // A view that fails to be created frees itself (PostNcDestroy).
    if (!pView->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, nID, pContext))
        return nullptr;
    if (pView->GetExStyle() & WS_EX_CLIENTEDGE)
        pView->ModifyStyle(WS_BORDER, 0, SWP_FRAMECHANGED);
    return pView;
}

void CFrameWnd::OnDestroy()
{
    SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

void CFrameWnd::OnClose()
{
    HWND self = m_hWnd;
    CDocument* pDocument = GetActiveDocument();
    if (pDocument && !pDocument->CanCloseFrame(this))
        return;
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this) {
        if (!pDocument && !pApp->SaveAllModified())
            return;
        // Closing the documents destroys their frames, this one too.
        pApp->CloseAllDocuments(FALSE);
        if (!::IsWindow(self))
            return;
    }
    if (pDocument && pDocument->m_bAutoDelete) {
        BOOL bOtherFrame = FALSE;
        POSITION pos = pDocument->GetFirstViewPosition();
        while (pos) {
            CView* pView = pDocument->GetNextView(pos);
            if (pView && pView->GetParentFrame() != this) {
                bOtherFrame = TRUE;
                break;
            }
        }
        if (!bOtherFrame) {
            pDocument->PreCloseFrame(this);
            pDocument->OnCloseDocument();
            return;
        }
    }
    DestroyWindow();
}

void CFrameWnd::OnSize(UINT nType, int, int)
{
    Default();
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

void CFrameWnd::OnSetFocus(CWnd*)
{
    if (m_pViewActive && m_pViewActive->m_hWnd)
        m_pViewActive->SetFocus();
    else
        Default();
}

void CFrameWnd::OnActivate(UINT nState, CWnd*, BOOL bMinimized)
{
    Default();
    if (nState != WA_INACTIVE && !bMinimized && m_pViewActive && m_pViewActive->m_hWnd)
        m_pViewActive->OnActivateFrame(nState, this);
}

BOOL CFrameWnd::OnNcActivate(BOOL bActive)
{
    NotifyFloatingWindows(bActive ? FS_ACTIVATE : FS_DEACTIVATE);
    return static_cast<BOOL>(Default());
}

void CFrameWnd::OnEnable(BOOL bEnable)
{
    Default();
    NotifyFloatingWindows(bEnable ? FS_ENABLE : FS_DISABLE);
}

void CFrameWnd::OnShowWindow(BOOL bShow, UINT nStatus)
{
    Default();
    if (nStatus == 0)
        NotifyFloatingWindows(bShow ? FS_SHOW : FS_HIDE);
}

void CFrameWnd::NotifyFloatingWindows(DWORD dwFlags)
{
    std::vector<HWND> owned;
    for (HWND h = ::GetTopWindow(nullptr); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h != m_hWnd && ::GetWindow(h, GW_OWNER) == m_hWnd)
            owned.push_back(h);
    }
    for (HWND h : owned) {
        if (::IsWindow(h))
            ::SendMessageA(h, WM_FLOATSTATUS, dwFlags, 0);
    }
}

LRESULT CFrameWnd::OnFloatStatus(WPARAM wParam, LPARAM)
{
    // Only a floating frame that follows its owner answers.
    if (!(GetStyle() & MFS_SYNCACTIVE) || !(GetStyle() & WS_POPUP))
        return 0;
    if (wParam & (FS_SHOW | FS_HIDE))
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     ((wParam & FS_SHOW) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) | SWP_NOZORDER | SWP_NOMOVE |
                         SWP_NOSIZE | SWP_NOACTIVATE);
    if (wParam & (FS_ENABLE | FS_DISABLE))
        EnableWindow((wParam & FS_ENABLE) != 0);
    if (wParam & (FS_ACTIVATE | FS_DEACTIVATE))
        ::SendMessageA(m_hWnd, WM_NCACTIVATE, (wParam & FS_ACTIVATE) != 0, 0);
    return 1;
}

// Layout

void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect)
{
    if (!lpLayout || !lpLayout->hDWP)
        return;
    RECT old;
    ::GetWindowRect(hWnd, &old);
    ::MapWindowPoints(nullptr, ::GetParent(hWnd), reinterpret_cast<LPPOINT>(&old), 2);
    if (old.left == lpRect->left && old.top == lpRect->top && old.right == lpRect->right &&
        old.bottom == lpRect->bottom)
        return;
    lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, hWnd, nullptr, lpRect->left, lpRect->top,
                                      lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
                                      SWP_NOACTIVATE | SWP_NOZORDER);
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch)
{
    UINT mode = nFlag & ~static_cast<UINT>(reposNoPosLeftOver);
    AFX_SIZEPARENTPARAMS layout{};
    layout.bStretch = bStretch;
    if (lpRectClient)
        layout.rect = *lpRectClient;
    else
        ::GetClientRect(m_hWnd, &layout.rect);
    if (mode != reposQuery)
        layout.hDWP = ::BeginDeferWindowPos(8);
    HWND hWndLeftOver = nullptr;
    for (HWND hChild = ::GetTopWindow(m_hWnd); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        UINT nIDC = static_cast<UINT>(::GetDlgCtrlID(hChild));
        if (nIDC == nIDLeftOver)
            hWndLeftOver = hChild;
        else if (nIDC >= nIDFirst && nIDC <= nIDLast)
            ::SendMessageA(hChild, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }
    if (mode == reposQuery) {
        if (lpRectParam) {
            if (bStretch) {
                *lpRectParam = layout.rect;
            } else {
                lpRectParam->left = lpRectParam->top = 0;
                lpRectParam->right = layout.sizeTotal.cx;
                lpRectParam->bottom = layout.sizeTotal.cy;
            }
        }
        return;
    }
    if (mode == reposExtra && lpRectParam) {
        layout.rect.left += lpRectParam->left;
        layout.rect.top += lpRectParam->top;
        layout.rect.right -= lpRectParam->right;
        layout.rect.bottom -= lpRectParam->bottom;
    }
    if (hWndLeftOver && !(nFlag & reposNoPosLeftOver)) {
        if (layout.rect.right < layout.rect.left)
            layout.rect.right = layout.rect.left;
        if (layout.rect.bottom < layout.rect.top)
            layout.rect.bottom = layout.rect.top;
        AfxRepositionWindow(&layout, hWndLeftOver, &layout.rect);
    }
    if (layout.hDWP)
        ::EndDeferWindowPos(layout.hDWP);
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_bInRecalcLayout || !m_hWnd)
        return;
    m_bInRecalcLayout = TRUE;
    m_nIdleFlags &= ~(idleLayout | idleNotify);
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder);
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::DelayRecalcLayout(BOOL bNotify) { m_nIdleFlags |= idleLayout | (bNotify ? idleNotify : 0); }

LRESULT CFrameWnd::OnSizeParent(WPARAM, LPARAM lParam)
{
    // A frame inside another frame is laid out like the rest of the client.
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    if (lpLayout && (GetStyle() & WS_CHILD))
        AfxRepositionWindow(lpLayout, m_hWnd, &lpLayout->rect);
    return 0;
}

LRESULT CFrameWnd::OnRecalcParent(WPARAM, LPARAM)
{
    RecalcLayout();
    return 0;
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    // Bars shown or hidden since the last pass, and any layout asked for.
    for (CControlBar* pBar : m_listControlBars) {
        if (pBar->m_nStateFlags & (CControlBar::delayShow | CControlBar::delayHide))
            m_nIdleFlags |= idleLayout;
    }
    if (m_nIdleFlags & idleLayout)
        RecalcLayout((m_nIdleFlags & idleNotify) != 0);
    if (m_nIdleFlags & idleTitle)
        OnUpdateFrameTitle(TRUE);
    m_nIdleFlags = 0;
    return 0;
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1) {
        if (!IsWindowVisible())
            nCmdShow = SW_SHOWNORMAL;
        else if (IsIconic())
            nCmdShow = SW_RESTORE;
    }
    if (nCmdShow != -1) {
        ShowWindow(nCmdShow);
        BringWindowToTop();
    }
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL bMakeVisible)
{
    CView* pView = m_pViewActive;
    if (!pView) {
        pView = DYNAMIC_DOWNCAST(CView, CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST)));
        if (pView)
            SetActiveView(pView, FALSE);
    }
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    if (bMakeVisible) {
        if (pView && m_pViewActive == pView)
            pView->OnActivateFrame(WA_INACTIVE, this);
        CWinApp* pApp = AfxGetApp();
        int nCmdShow = -1;
        if (pApp && pApp->m_pMainWnd == this) {
            nCmdShow = pApp->m_nCmdShow;
            pApp->m_nCmdShow = -1; // only the first frame takes it
        }
        ActivateFrame(nCmdShow);
        if (pView && m_pViewActive == pView)
            pView->OnActivateView(TRUE, pView, pView);
    }
    OnUpdateFrameTitle(TRUE);
}

// Views

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld)
        return;
    m_pViewActive = nullptr;
    if (bNotify && pViewOld)
        pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    m_pViewActive = pViewNew;
    if (bNotify && pViewNew)
        pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument()
{
    CView* pView = GetActiveView();
    return pView ? pView->GetDocument() : nullptr;
}

std::vector<CView*> CFrameWnd::FrameViews() const
{
    std::vector<CView*> views;
    std::vector<HWND> stack;
    auto collect = [&](auto& self, HWND parent) -> void {
        for (HWND h = ::GetTopWindow(parent); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
            CWnd* pWnd = CWnd::FromHandlePermanent(h);
            if (pWnd && pWnd->IsFrameWnd())
                continue; // views of inner frames are theirs
            if (CView* pView = DYNAMIC_DOWNCAST(CView, pWnd))
                views.push_back(pView);
            self(self, h);
        }
    };
    collect(collect, m_hWnd);
    return views;
}

void CFrameWnd::OnUpdateNextPaneMenu(CCmdUI* pCmdUI)
{
    if (CSplitterWnd* pSplitter = CView::GetParentSplitter(m_pViewActive, FALSE)) {
        pCmdUI->Enable(pSplitter->CanActivateNext(pCmdUI->m_nID == ID_PREV_PANE));
        return;
    }
    pCmdUI->Enable(FrameViews().size() > 1);
}

BOOL CFrameWnd::OnNextPaneCmd(UINT nID)
{
    // The panes of the active view's splitter, in their grid order.
    if (CSplitterWnd* pSplitter = CView::GetParentSplitter(m_pViewActive, FALSE)) {
        pSplitter->ActivateNext(nID == ID_PREV_PANE);
        return TRUE;
    }
    std::vector<CView*> views = FrameViews();
    if (views.size() < 2)
        return FALSE;
    auto it = std::find(views.begin(), views.end(), m_pViewActive);
    size_t n = views.size();
    size_t i = it == views.end() ? 0 : static_cast<size_t>(it - views.begin());
    size_t next = nID == ID_PREV_PANE ? (i + n - 1) % n : (i + 1) % n;
    if (it == views.end())
        next = 0;
    SetActiveView(views[next]);
    views[next]->SetFocus();
    return TRUE;
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI)
{
    int key = pCmdUI->m_nID == ID_INDICATOR_CAPS ? VK_CAPITAL
              : pCmdUI->m_nID == ID_INDICATOR_NUM ? VK_NUMLOCK
                                                  : VK_SCROLL;
    pCmdUI->Enable((::GetKeyState(key) & 1) != 0);
}

// Bars

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    if (std::find(m_listControlBars.begin(), m_listControlBars.end(), pBar) == m_listControlBars.end())
        m_listControlBars.push_back(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    m_listControlBars.erase(std::remove(m_listControlBars.begin(), m_listControlBars.end(), pBar),
                            m_listControlBars.end());
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    for (CControlBar* pBar : m_listControlBars) {
        if (pBar->m_hWnd && static_cast<UINT>(pBar->GetDlgCtrlID()) == nID)
            return pBar;
    }
    return nullptr;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    if (!pBar)
        return;
    pBar->DelayShow(bShow);
    if (bDelay) {
        DelayRecalcLayout();
    } else {
        pBar->ApplyDelayedShow();
        RecalcLayout();
    }
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
    if (!pBar) {
        pCmdUI->ContinueRouting();
        return;
    }
    pCmdUI->SetCheck(pBar->IsVisible() ? 1 : 0);
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* pBar = GetControlBar(nID);
    if (!pBar)
        return FALSE;
    ShowControlBar(pBar, !pBar->IsVisible(), FALSE);
    return TRUE;
}

// Title

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!(GetStyle() & FWS_ADDTOTITLE))
        return;
    CDocument* pDocument = GetActiveDocument();
    if (bAddToTitle && pDocument)
        UpdateFrameTitleForDocument(pDocument->GetTitle());
    else
        UpdateFrameTitleForDocument(nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCTSTR lpszDocName)
{
    CString text;
    if (!lpszDocName || !*lpszDocName) {
        text = m_strTitle;
    } else if (GetStyle() & FWS_PREFIXTITLE) {
        text = lpszDocName;
        if (!m_strTitle.IsEmpty()) {
            text += " - ";
            text += m_strTitle;
        }
    } else {
        text = m_strTitle;
        if (!text.IsEmpty())
            text += " - ";
        text += lpszDocName;
    }
    AfxSetWindowText(m_hWnd, text);
}

// Prompts

CWnd* CFrameWnd::GetMessageBar() { return GetDescendantWindow(AFX_IDW_STATUS_BAR, TRUE); }

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    CString full;
    if (nID && AfxLoadString(nID, full))
        AfxExtractSubString(rMessage, full, 0);
    else
        rMessage.Empty();
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    UINT nIDLast = m_nIDLastMessage;
    m_nFlags &= ~WF_NOPOPMSG;
    CWnd* pMessageBar = GetMessageBar();
    if (pMessageBar) {
        CString strMessage;
        LPCTSTR lpsz = nullptr;
        if (lParam) {
            lpsz = reinterpret_cast<LPCTSTR>(lParam);
        } else if (wParam) {
            GetMessageString(static_cast<UINT>(wParam), strMessage);
            lpsz = strMessage;
        }
        pMessageBar->SetWindowText(lpsz ? lpsz : "");
        // The bar may be hidden: the next pass of its owner paints it.
    }
    m_nIDLastMessage = static_cast<UINT>(wParam);
    m_nIDTracking = static_cast<UINT>(wParam);
    return nIDLast;
}

LRESULT CFrameWnd::OnPopMessageString(WPARAM wParam, LPARAM lParam)
{
    if (m_nFlags & WF_NOPOPMSG)
        return 0;
    return SendMessage(WM_SETMESSAGESTRING, wParam, lParam);
}

void CFrameWnd::SetMessageText(LPCTSTR lpszText) { SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText)); }

void CFrameWnd::SetMessageText(UINT nID) { SendMessage(WM_SETMESSAGESTRING, nID); }

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    if (nFlags == 0xFFFF && !hSysMenu) {
        // The menu closed: back to the idle prompt.
        m_nFlags &= ~WF_NOPOPMSG;
        m_nIDTracking = AFX_IDS_IDLEMESSAGE;
        SendMessage(WM_SETMESSAGESTRING, m_nIDTracking);
        return;
    }
    if (nItemID == 0 || (nFlags & (MF_SEPARATOR | MF_POPUP))) {
        m_nIDTracking = 0;
    } else if (nItemID >= 0xF000 && nItemID < 0xF1F0) {
        m_nIDTracking = AFX_IDS_SCSIZE + (nItemID - 0xF000) / 16; // system commands
    } else {
        m_nIDTracking = nItemID;
    }
    if (m_nIDTracking != m_nIDLastMessage)
        SendMessage(WM_SETMESSAGESTRING, m_nIDTracking);
    m_nFlags |= WF_NOPOPMSG;
}

void CFrameWnd::OnInitMenuPopup(CMenu* pMenu, UINT, BOOL bSysMenu)
{
    if (bSysMenu || !pMenu)
        return;
    CCmdUI state;
    state.m_pMenu = pMenu;
    state.m_nIndexMax = pMenu->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = pMenu->GetMenuItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1))
            continue; // separators and submenus
        state.m_pSubMenu = nullptr;
        state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
        // An update handler may have removed items.
        UINT count = pMenu->GetMenuItemCount();
        if (count < state.m_nIndexMax) {
            state.m_nIndex -= state.m_nIndexMax - count;
            state.m_nIndexMax = count;
        }
    }
}

void CFrameWnd::OnSetPreviewMode(BOOL, void*) {}

// Routing and keys

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        HACCEL hAccel = GetDefaultAccelerator();
        return hAccel && ::TranslateAcceleratorA(m_hWnd, hAccel, pMsg);
    }
    return FALSE;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active view (and through it its document) first, then the frame,
    // then the application.
    if (CView* pView = GetActiveView()) {
        if (pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    }
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// Mini frames

BOOL CMiniFrameWnd::Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                           CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, lpClassName, lpWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CMiniFrameWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle,
                             const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    m_strTitle = lpWindowName;
    return CWnd::CreateEx(dwExStyle | WS_EX_TOOLWINDOW, lpClassName, lpWindowName, dwStyle, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top, AfxHwndOf(pParentWnd),
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), nullptr);
}

BOOL CMiniFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    return TRUE;
}
