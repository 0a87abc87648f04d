#include "toolkit/commandbars/XTPDockContext.h"

#include "platform/mfc/ControlBar.h"
#include "platform/mfc/FrameWnd.h"
#include "platform/win/Capture.h"
#include "platform/win/Cursor.h"
#include "platform/win/Input.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPDialogBar.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/controls/XTMultiMonitor.h"

#include <algorithm>

namespace {

constexpr int kModeDrag = 1;
// The bar's docking flags: one bit per dock bar, then floating.
constexpr DWORD kDockAny = 0x0F;
constexpr DWORD kFloating = 0x10;
constexpr DWORD kFloatLayout = LM_HORZ | LM_MRUWIDTH | LM_COMMIT;

// Moves rc the least so that it holds pt.
void MoveToHold(CRect& rc, CPoint pt)
{
    if (pt.x < rc.left)
        rc.OffsetRect(pt.x - rc.left, 0);
    else if (pt.x > rc.right)
        rc.OffsetRect(pt.x - rc.right, 0);
    if (pt.y < rc.top)
        rc.OffsetRect(0, pt.y - rc.top);
    else if (pt.y > rc.bottom)
        rc.OffsetRect(0, pt.y - rc.bottom);
}

} // namespace

BOOL XTPGetTrackMessage(MSG* pMsg)
{
    for (;;) {
        BOOL bQuit = FALSE;
        // A quit passes the paint filter too.
        while (!bQuit && ::PeekMessageA(pMsg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
            bQuit = pMsg->message == WM_QUIT;
            if (!bQuit)
                ::DispatchMessageA(pMsg);
        }
        if (bQuit || !::GetMessageA(pMsg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(pMsg->wParam));
            return FALSE;
        }
        if (pMsg->message == WM_LBUTTONUP)
            return FALSE;
        if (pMsg->message != WM_KEYDOWN)
            return TRUE;
        if (pMsg->wParam == VK_ESCAPE)
            return FALSE;
    }
}

CFrameWnd* CXTPDockContext::GetSiteFrame() const
{
    return m_pBar->GetFrameSite();
}

void CXTPDockContext::StartDrag(CPoint pt)
{
    CRect rectSavedDock = m_rectMRUDockPos;
    int nSavedPosition = m_uMRUDockPosition;
    m_nTrackMode = kModeDrag;
    const BOOL bWasFloating = m_pBar->IsFloating();
    // A bar docked by position has no remembered rectangle: its place now is
    // where a double click must bring it back.
    CXTPDockBar* pDock = m_pBar->GetDockBar();
    if (!bWasFloating && pDock && pDock->GetSafeHwnd()) {
        m_pBar->GetWindowRect(&rectSavedDock);
        pDock->ScreenToClient(&rectSavedDock);
        nSavedPosition = pDock->GetPosition();
    }
    m_pBar->GetWindowRect(&m_rectDragDock);
    MoveToHold(m_rectDragDock, pt);
    m_rectDragFrame = m_rectDragDock;
    m_ptLast = pt;

    ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEALL));
    XTPMouseManager()->LockTracking();
    Track();
    XTPMouseManager()->UnlockTracking();

    if (!m_pBar->IsFloating())
        return;
    m_ptMRUFloatPos = m_rectDragFrame.TopLeft();
    if (bWasFloating)
        return;
    // The places passed on the way are not the bar's last docked place.
    m_rectMRUDockPos = rectSavedDock;
    m_uMRUDockPosition = nSavedPosition;
}

void CXTPDockContext::StartResize(int nHitTest, CPoint pt)
{
    m_nTrackMode = nHitTest;
    m_ptLast = pt;
    m_pBar->GetWindowRect(&m_rectDragFrame);
    Track();
    if (!m_pBar->GetSafeHwnd())
        return;
    m_pBar->GetWindowRect(&m_rectDragFrame);
    if (m_pBar->IsFloating())
        m_ptMRUFloatPos = m_rectDragFrame.TopLeft();
    m_pBar->SetWidth(m_rectDragFrame.Width());
}

void CXTPDockContext::Track()
{
    HWND hBar = m_pBar->GetSafeHwnd();
    if (!hBar || ::GetCapture())
        return;
    ::SetCapture(hBar);
    MSG msg;
    while (::IsWindow(hBar) && ::GetCapture() == hBar) {
        if (!XTPGetTrackMessage(&msg))
            break;
        if (msg.message == WM_MOUSEMOVE && CPoint(msg.pt) != m_ptLast) {
            const CPoint pt(msg.pt);
            if (m_nTrackMode == kModeDrag)
                Move(pt);
            else if (m_pBar->IsDialogBar())
                StretchDialogBar(pt);
            else
                StretchToolBar(pt);
        } else {
            ::DispatchMessageA(&msg);
        }
        // Docked bars follow the mouse: the frame is laid out at once.
        CFrameWnd* pFrame = GetSiteFrame();
        if (pFrame && pFrame->GetSafeHwnd() && (pFrame->m_nIdleFlags & CFrameWnd::idleLayout)) {
            pFrame->RecalcLayout();
            pFrame->m_nIdleFlags &= ~CFrameWnd::idleLayout;
        }
    }
    if (::GetCapture() == hBar)
        ::ReleaseCapture();
    if (CXTPCommandBars* pCommandBars = m_pBar->GetCommandBars())
        pCommandBars->GetOptions()->bDirtyState = TRUE;
}

void CXTPDockContext::Move(CPoint pt)
{
    const CPoint delta = pt - m_ptLast;
    m_ptLast = pt;
    m_rectDragDock.OffsetRect(delta);
    m_rectDragFrame.OffsetRect(delta);
    CXTPCommandBars* pCommandBars = m_pBar->GetCommandBars();
    if (!pCommandBars)
        return;
    const DWORD dwFlags = m_pBar->GetFlags();
    CXTPDockBar* pDock = pCommandBars->CanDock(pt, m_pBar->GetDockBar());
    if (pDock && (dwFlags & (1u << pDock->GetPosition()))) {
        const BOOL bSame = pDock == m_pBar->GetDockBar() && !m_pBar->IsFloating();
        pCommandBars->DockCommandBar(m_pBar, &m_rectDragDock, pDock);
        if (bSame)
            return;
        if (CFrameWnd* pFrame = GetSiteFrame())
            pFrame->RecalcLayout();
        m_pBar->GetWindowRect(&m_rectDragDock);
        return;
    }
    if (!(dwFlags & kFloating))
        return;
    if (!m_pBar->IsFloating()) {
        pCommandBars->FloatCommandBar(m_pBar);
        const CSize sz = m_pBar->CalcDynamicLayout(0, kFloatLayout);
        m_rectDragFrame = CRect(m_rectDragFrame.TopLeft(), sz);
        MoveToHold(m_rectDragFrame, pt);
    }
    m_pBar->MoveWindow(&m_rectDragFrame, TRUE);
}

void CXTPDockContext::StretchToolBar(CPoint pt)
{
    const CPoint delta = pt - m_ptLast;
    m_ptLast = pt;
    int nLength;
    DWORD dwMode;
    switch (m_nTrackMode) {
    case HTLEFT:
    case HTRIGHT:
        (m_nTrackMode == HTLEFT ? m_rectDragFrame.left : m_rectDragFrame.right) += delta.x;
        nLength = m_rectDragFrame.Width();
        dwMode = LM_HORZ | LM_COMMIT;
        break;
    default:
        (m_nTrackMode == HTTOP ? m_rectDragFrame.top : m_rectDragFrame.bottom) += delta.y;
        nLength = m_rectDragFrame.Height();
        dwMode = LM_HORZ | LM_LENGTHY | LM_COMMIT;
        break;
    }
    const CSize sz = m_pBar->CalcDynamicLayout(std::max(nLength, 0), dwMode);
    CRect rcWindow;
    m_pBar->GetWindowRect(&rcWindow);
    if (sz == rcWindow.Size())
        return;
    // The edge opposite the dragged one stays.
    CRect rcNew(rcWindow.TopLeft(), sz);
    if (m_nTrackMode == HTLEFT)
        rcNew = CRect(CPoint(rcWindow.right - sz.cx, rcWindow.top), sz);
    else if (m_nTrackMode == HTTOP)
        rcNew = CRect(CPoint(rcWindow.left, rcWindow.bottom - sz.cy), sz);
    CRect rcWork = XTGetWorkAreaOfWindow(m_pBar);
    CRect rcCommon;
    if (!rcCommon.IntersectRect(&rcNew, &rcWork))
        return;
    m_pBar->MoveWindow(&rcNew, TRUE);
    m_pBar->Invalidate(FALSE);
}

void CXTPDockContext::StretchDialogBar(CPoint pt)
{
    const CPoint delta = pt - m_ptLast;
    m_ptLast = pt;
    const int nMode = m_nTrackMode;
    if (nMode == HTLEFT || nMode == HTTOPLEFT || nMode == HTBOTTOMLEFT)
        m_rectDragFrame.left += delta.x;
    if (nMode == HTRIGHT || nMode == HTTOPRIGHT || nMode == HTBOTTOMRIGHT)
        m_rectDragFrame.right += delta.x;
    if (nMode == HTTOP || nMode == HTTOPLEFT || nMode == HTTOPRIGHT)
        m_rectDragFrame.top += delta.y;
    if (nMode == HTBOTTOM || nMode == HTBOTTOMLEFT || nMode == HTBOTTOMRIGHT)
        m_rectDragFrame.bottom += delta.y;
    CRect rcWindow;
    m_pBar->GetWindowRect(&rcWindow);
    if (m_rectDragFrame.Size() == rcWindow.Size())
        return;
    CRect rcWork = XTGetWorkAreaOfWindow(m_pBar);
    CRect rcCommon;
    if (!rcCommon.IntersectRect(&m_rectDragFrame, &rcWork))
        return;
    auto* pDialogBar = static_cast<CXTPDialogBar*>(m_pBar);
    pDialogBar->Resize(m_rectDragFrame, nMode);
    m_pBar->Invalidate(FALSE);
}

BOOL CXTPDockContext::ToggleDocking()
{
    CXTPCommandBars* pCommandBars = m_pBar->GetCommandBars();
    if (!pCommandBars)
        return FALSE;
    const DWORD dwFlags = m_pBar->GetFlags();
    if (!m_pBar->IsFloating()) {
        if (!(dwFlags & kFloating) || !pCommandBars->GetOptions()->bDblClickFloat)
            return FALSE;
        CPoint pt = m_ptMRUFloatPos;
        if (pt.x <= 0 || pt.y <= 0) {
            pt = m_rectMRUDockPos.TopLeft();
            if (CWnd* pParent = m_pBar->GetParent())
                pParent->ClientToScreen(&pt);
        }
        pCommandBars->FloatCommandBar(m_pBar);
        const CSize sz = m_pBar->CalcDynamicLayout(0, kFloatLayout);
        m_pBar->MoveWindow(CRect(pt, sz), TRUE);
    } else {
        if (!(dwFlags & kDockAny))
            return FALSE;
        if (m_pBar->GetSafeHwnd()) {
            CRect rcWindow;
            m_pBar->GetWindowRect(&rcWindow);
            m_ptMRUFloatPos = rcWindow.TopLeft();
        }
        CXTPDockBar* pDock = pCommandBars->GetDockBar(m_uMRUDockPosition);
        if (!pDock)
            return FALSE;
        if (!m_rectMRUDockPos.IsRectEmpty()) {
            CRect rc = m_rectMRUDockPos;
            pDock->ClientToScreen(&rc);
            pCommandBars->DockCommandBar(m_pBar, &rc, pDock);
        } else {
            pCommandBars->DockCommandBar(m_pBar, m_uMRUDockPosition);
        }
        pCommandBars->RecalcFrameLayout(TRUE);
    }
    pCommandBars->GetOptions()->bDirtyState = TRUE;
    return TRUE;
}
