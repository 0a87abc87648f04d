#include "toolkit/commandbars/XTPToolBar.h"

#include "platform/mfc/Archive.h"

#include "platform/mfc/FrameWnd.h"
#include "platform/win/Dialog.h"
#include "platform/win/Focus.h"
#include "platform/win/WindowPos.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPDockContext.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPToolBarControls.h"

#include <algorithm>

IMPLEMENT_SERIAL(CXTPToolBar, CXTPCommandBar, VERSIONABLE_SCHEMA | 8)

BEGIN_MESSAGE_MAP(CXTPToolBar, CXTPCommandBar)
ON_WM_LBUTTONDBLCLK()
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
ON_WM_RBUTTONDOWN()
ON_WM_NCCREATE()
ON_MESSAGE(WM_FLOATSTATUS, OnFloatStatus)
ON_WM_MOUSEACTIVATE()
ON_WM_NCACTIVATE()
ON_WM_NCHITTEST()
ON_WM_SETFOCUS()
ON_WM_LBUTTONDOWN()
ON_WM_NCLBUTTONDOWN()
ON_WM_CLOSE()
END_MESSAGE_MAP()

CXTPToolBar::CXTPToolBar()
{
    m_dwStyle = CBRS_GRIPPER;
    m_bCloseable = TRUE;
}

CXTPToolBar::~CXTPToolBar()
{
    if (m_pDockBar)
        m_pDockBar->ForgetCommandBar(this);
    delete m_pDockContext;
}

LRESULT CXTPToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The last reference may go inside a handler (a torn-off bar hidden by
    // its own close button): the bar lives until the handler has returned.
    InternalAddRef();
    const LRESULT lResult = CXTPCommandBar::WindowProc(message, wParam, lParam);
    InternalRelease();
    return lResult;
}

void CXTPToolBar::EnableDocking(DWORD dwFlags)
{
    if (!m_pDockContext)
        m_pDockContext = new CXTPDockContext(this);
    m_dwFlags = dwFlags;
}

BOOL CXTPToolBar::LoadToolBar(UINT nIDResource, BOOL bLoadIcons)
{
    m_nBarID = nIDResource;
    if (!CXTPCommandBar::LoadToolBar(nIDResource, bLoadIcons))
        return FALSE;
    GetControls()->CreateInitialControls();
    return TRUE;
}

void CXTPToolBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    CXTPCommandBar::Copy(pCommandBar, bRecursive);
    if (auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pCommandBar)) {
        m_bBuiltIn = pToolBar->m_bBuiltIn;
        m_bTearOff = pToolBar->m_bTearOff;
        m_bCloseable = pToolBar->m_bCloseable;
    }
}

BOOL CXTPToolBar::SetPosition(int nPosition)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (!pCommandBars)
        return FALSE;
    if (nPosition >= xtpBarTop && nPosition <= xtpBarRight)
        return pCommandBars->DockCommandBar(this, nPosition);
    if (nPosition == xtpBarFloating)
        return pCommandBars->FloatCommandBar(this);
    return FALSE;
}

void CXTPToolBar::SetVisible(BOOL bVisible)
{
    m_bVisible = bVisible;
    if (!bVisible && m_bTracking)
        SetTrackingMode(FALSE);
    if (m_hWnd)
        ShowWindow(bVisible ? SW_SHOWNA : SW_HIDE);
    if (!IsFloating())
        if (CFrameWnd* pFrame = GetFrameSite())
            if (pFrame->GetSafeHwnd())
                pFrame->RecalcLayout(FALSE);
    if (!bVisible && m_bTearOff)
        if (CXTPCommandBars* pCommandBars = GetCommandBars())
            pCommandBars->Remove(this);
}

void CXTPToolBar::OnRecalcLayout()
{
    if (!IsFloating()) {
        if (CXTPCommandBars* pCommandBars = GetCommandBars())
            pCommandBars->RecalcFrameLayout(FALSE);
        return;
    }
    if (!m_hWnd)
        return;
    const CSize sz = CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
    SetWindowPos(nullptr, 0, 0, sz.cx, sz.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate(FALSE);
}

BOOL CXTPToolBar::CreateToolBar(CWnd* pParent, BOOL bFloating)
{
    if (!m_hWnd) {
        const CPoint pt = m_pDockContext ? m_pDockContext->m_ptMRUFloatPos : CPoint(100, 100);
        DWORD dwExStyle = 0;
        CWnd* pSite = GetSite();
        if (pSite && pSite->GetSafeHwnd() && (pSite->GetExStyle() & WS_EX_LAYOUTRTL))
            dwExStyle |= WS_EX_LAYOUTRTL;
        LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW));
        if (!CreateEx(dwExStyle, lpszClass, m_strTitle, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | MFS_SYNCACTIVE,
                      CRect(pt, CSize(0, 0)), pParent, 0))
            return FALSE;
        if (m_bVisible)
            ShowWindow(SW_SHOWNA);
    }
    if (!bFloating) {
        ModifyStyle(WS_POPUP | MFS_SYNCACTIVE, WS_CHILD);
        if (pParent && ::GetParent(m_hWnd) != pParent->GetSafeHwnd())
            ::SetParent(m_hWnd, pParent->GetSafeHwnd());
    } else {
        ::SetWindowLongPtrA(m_hWnd, GWLP_HWNDPARENT, 0);
        ModifyStyle(WS_CHILD, WS_POPUP | MFS_SYNCACTIVE);
        if (::GetParent(m_hWnd))
            ::SetParent(m_hWnd, nullptr);
        ::SetWindowLongPtrA(m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(pParent ? pParent->GetSafeHwnd() : nullptr));
    }
    return TRUE;
}

void CXTPToolBar::OnSetPreviewMode(BOOL bPreview)
{
    if (bPreview == m_bPreviewMode)
        return;
    m_bPreviewMode = bPreview;
    if (bPreview) {
        m_bPreviewVisible = m_bVisible;
        if (m_bVisible) {
            m_bVisible = FALSE;
            if (m_hWnd)
                ShowWindow(SW_HIDE);
        }
        return;
    }
    if (!m_bPreviewVisible)
        return;
    m_bVisible = TRUE;
    if (m_hWnd)
        ShowWindow(SW_SHOWNA);
}

BOOL CXTPToolBar::OnKeyDown(UINT nChar)
{
    if (nChar != VK_TAB || m_pDockContext)
        return CXTPCommandBar::OnKeyDown(nChar);
    CWnd* pParent = GetParent();
    if (pParent) {
        const BOOL bPrevious = ::GetKeyState(VK_SHIFT) < 0;
        HWND hNext = ::GetNextDlgTabItem(pParent->m_hWnd, m_hWnd, bPrevious);
        if (hNext && hNext != m_hWnd)
            ::SetFocus(hNext);
    }
    SetTrackingMode(FALSE);
    return TRUE;
}

// Messages ---------------------------------------------------------------------

void CXTPToolBar::BringToTop()
{
    if (IsFloating())
        ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CXTPToolBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    BringToTop();
    if (HitTestControl(point)) {
        CXTPCommandBar::OnLButtonDown(nFlags, point);
        return;
    }
    XTPMouseManager()->SendTrackLost();
    if (m_pDockContext && (m_dwFlags & 0x1F)) {
        ClientToScreen(&point);
        m_pDockContext->StartDrag(point);
    }
}

void CXTPToolBar::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    if (nHitTest >= HTLEFT && nHitTest <= HTBOTTOMRIGHT && m_pDockContext) {
        BringToTop();
        XTPMouseManager()->SendTrackLost();
        m_pDockContext->StartResize(static_cast<int>(nHitTest), point);
        return;
    }
    CXTPCommandBar::OnNcLButtonDown(nHitTest, point);
}

void CXTPToolBar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    if (!HitTestControl(point) && m_pDockContext) {
        m_pDockContext->ToggleDocking();
        return;
    }
    CXTPCommandBar::OnLButtonDblClk(nFlags, point);
}

void CXTPToolBar::OnRButtonDown(UINT nFlags, CPoint point)
{
    if (IsCustomizeMode()) {
        CXTPCommandBar::OnRButtonDown(nFlags, point);
        return;
    }
    SetTrackingMode(FALSE);
    SetSelected(-1);
    Invalidate(FALSE);
    if (CXTPCommandBars* pCommandBars = GetCommandBars()) {
        ClientToScreen(&point);
        pCommandBars->ContextMenu(point.x, point.y);
    }
}

LRESULT CXTPToolBar::OnNcHitTest(CPoint point)
{
    if (!IsFloating())
        return CXTPCommandBar::OnNcHitTest(point);
    CRect rc;
    GetWindowRect(&rc);
    CRect rcInner = rc;
    rcInner.DeflateRect(3, 3);
    if (rcInner.PtInRect(point))
        return CXTPCommandBar::OnNcHitTest(point);
    // Sizing edges only: a floating toolbar has no corner codes.
    if (point.y < rcInner.top)
        return HTTOP;
    if (point.y >= rcInner.bottom)
        return HTBOTTOM;
    if (point.x < rcInner.left)
        return HTLEFT;
    return HTRIGHT;
}

int CXTPToolBar::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    if (IsFloating())
        return MA_NOACTIVATE;
    CWnd* pTop = GetTopLevelParent();
    if (pTop && ::GetActiveWindow() == pTop->m_hWnd) {
        HWND hFocus = ::GetFocus();
        for (HWND h = hFocus; h; h = ::GetParent(h))
            if (DYNAMIC_DOWNCAST(CMiniFrameWnd, CWnd::FromHandlePermanent(h)))
                return MA_NOACTIVATE;
    }
    return CXTPCommandBar::OnMouseActivate(pDesktopWnd, nHitTest, message);
}

BOOL CXTPToolBar::OnNcActivate(BOOL bActive)
{
    // Never drawn as an active window.
    if (bActive)
        return TRUE;
    return CXTPCommandBar::OnNcActivate(bActive);
}

BOOL CXTPToolBar::OnNcCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (!CXTPCommandBar::OnNcCreate(lpCreateStruct))
        return FALSE;
    if (GetStyle() & MFS_SYNCACTIVE) {
        // Follow the frame's activation from the start.
        CWnd* pParent = GetTopLevelParent();
        HWND hParent = ::GetWindow(m_hWnd, GW_OWNER);
        if (!hParent && pParent)
            hParent = pParent->m_hWnd;
        BOOL bActive = FALSE;
        if (hParent) {
            HWND hForeground = ::GetForegroundWindow();
            if (hForeground == hParent)
                bActive = TRUE;
            else if (HWND hLast = ::GetLastActivePopup(hParent))
                bActive = hLast == hForeground && ::SendMessageA(hLast, WM_FLOATSTATUS, FS_SYNCACTIVE, 0) != 0;
        }
        SendMessage(WM_FLOATSTATUS, bActive ? FS_ACTIVATE : FS_DEACTIVATE);
    }
    return TRUE;
}

LRESULT CXTPToolBar::OnFloatStatus(WPARAM wParam, LPARAM)
{
    const DWORD dwFlags = static_cast<DWORD>(wParam);
    CXTPCommandBars* pCommandBars = GetCommandBars();
    const BOOL bSync = !pCommandBars || pCommandBars->GetOptions()->bSyncFloatingBars;
    const UINT nHide = SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    const UINT nShow = SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    if (IsFloating() && m_bVisible && bSync) {
        CWnd* pOwner = GetOwner();
        const BOOL bOwnerActive = pOwner && pOwner->GetSafeHwnd() && ::GetActiveWindow() == pOwner->m_hWnd;
        if ((dwFlags & FS_DEACTIVATE) && !bOwnerActive)
            SetWindowPos(nullptr, 0, 0, 0, 0, nHide);
        if (dwFlags & FS_ACTIVATE) {
            HWND hForeground = ::GetForegroundWindow();
            if (!IsWindowVisible() && bOwnerActive && hForeground && ::IsWindowVisible(hForeground) &&
                !::IsIconic(hForeground))
                SetWindowPos(nullptr, 0, 0, 0, 0, nShow);
        }
    }
    if (dwFlags & (FS_SHOW | FS_HIDE))
        SetWindowPos(nullptr, 0, 0, 0, 0, (dwFlags & FS_SHOW) ? nShow : nHide);
    if (dwFlags & (FS_ENABLE | FS_DISABLE))
        EnableWindow((dwFlags & FS_ENABLE) != 0);
    return (GetStyle() & MFS_SYNCACTIVE) && (dwFlags & FS_SYNCACTIVE);
}

void CXTPToolBar::OnSetFocus(CWnd* pOldWnd)
{
    if (!m_hwndFocus && pOldWnd)
        m_hwndFocus = pOldWnd->GetSafeHwnd();
    CXTPCommandBar::OnSetFocus(pOldWnd);
    SetTrackingMode(TRUE, TRUE, FALSE);
}

LRESULT CXTPToolBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    if (!lpLayout || !(GetStyle() & WS_VISIBLE))
        return 0;
    const CRect rcFree(lpLayout->rect);
    DWORD dwMode = LM_HORZ | LM_HORZDOCK | LM_COMMIT;
    if (m_dwFlags & 0x40)
        dwMode |= LM_STRETCH;
    if (m_dwFlags & 0x20)
        dwMode |= LM_HIDEWRAP;
    if (!lpLayout->hDWP)
        dwMode &= ~static_cast<DWORD>(LM_COMMIT);
    CSize sz = CalcDockingLayout(rcFree.Width(), dwMode, 0);
    sz.cx = std::min(sz.cx, static_cast<LONG>(rcFree.Width()));
    sz.cy = std::min(sz.cy, static_cast<LONG>(rcFree.Height()));
    lpLayout->sizeTotal.cy += sz.cy;
    lpLayout->sizeTotal.cx = std::max(lpLayout->sizeTotal.cx, sz.cx);
    const CRect rc(rcFree.left, rcFree.top, rcFree.left + sz.cx, rcFree.top + sz.cy);
    lpLayout->rect.top += sz.cy;
    if (lpLayout->hDWP)
        AfxRepositionWindow(lpLayout, m_hWnd, &rc);
    return 0;
}
