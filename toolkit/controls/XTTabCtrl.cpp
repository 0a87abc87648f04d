#include "toolkit/controls/XTTabCtrl.h"

#include "toolkit/controls/XTTabCtrlTheme.h"

IMPLEMENT_DYNAMIC(CXTTabCtrl, CTabCtrl)

BEGIN_MESSAGE_MAP(CXTTabCtrl, CTabCtrl)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SETTINGCHANGE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_RBUTTONDOWN()
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_WINDOWPOSCHANGED()
    ON_NOTIFY_REFLECT_EX(TCN_SELCHANGING, OnSelChangingReflect)
    ON_NOTIFY_REFLECT_EX(TCN_SELCHANGE, OnSelChangeReflect)
    ON_MESSAGE(WM_DEFERRED_INIT, OnDeferredInitMessage)
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdate)
END_MESSAGE_MAP()

CXTTabCtrl::CXTTabCtrl()
{
    ImplAttach(this);
}

CXTTabCtrl::~CXTTabCtrl() = default;

BOOL CXTTabCtrl::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (RouteToActivePage(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return CTabCtrl::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CXTTabCtrl::PreSubclassWindow()
{
    CTabCtrl::PreSubclassWindow();
    OnInitCreate();
}

BOOL CXTTabCtrl::PreTranslateMessage(MSG* pMsg)
{
    if (TranslateTabKey(pMsg))
        return TRUE;
    return CTabCtrl::PreTranslateMessage(pMsg);
}

void CXTTabCtrl::OnThemeChanged()
{
    if (m_hWnd)
        Invalidate(FALSE);
}

void CXTTabCtrl::OnPaint()
{
    OnPaintTabs();
}

void CXTTabCtrl::OnSettingChange(UINT, LPCTSTR)
{
    Default();
    OnTabSettingChange();
}

void CXTTabCtrl::OnSysColorChange()
{
    Default();
    OnTabSettingChange();
}

void CXTTabCtrl::OnRButtonDown(UINT, CPoint point)
{
    // Only the menu: the native control never sees the press.
    OnTabRButtonDown(point);
}

int CXTTabCtrl::OnCreate(LPCREATESTRUCT)
{
    const int result = static_cast<int>(Default());
    if (result == -1)
        return -1;
    OnInitCreate();
    return result;
}

void CXTTabCtrl::OnDestroy()
{
    DeleteAllViews(TRUE);
    Default();
}

void CXTTabCtrl::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    OnTabWindowPosChanged(lpwndpos);
    Default();
    if (m_bAutoCondense)
        Condense();
}

BOOL CXTTabCtrl::OnSelChangingReflect(NMHDR*, LRESULT* pResult)
{
    SetRedraw(FALSE);
    OnSelChanging();
    *pResult = 0;
    return FALSE;
}

BOOL CXTTabCtrl::OnSelChangeReflect(NMHDR*, LRESULT* pResult)
{
    OnSelChange();
    SetRedraw(TRUE);
    Invalidate();
    UpdateWindow();
    *pResult = 0;
    return FALSE;
}

LRESULT CXTTabCtrl::OnDeferredInitMessage(WPARAM, LPARAM lParam)
{
    OnDeferredInit(lParam);
    return 0;
}

LRESULT CXTTabCtrl::OnInitialUpdate(WPARAM, LPARAM)
{
    Initialize();
    return 0;
}
