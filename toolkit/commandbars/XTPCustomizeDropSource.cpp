#include "toolkit/commandbars/XTPCustomizeDropSource.h"

#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/Resource.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Capture.h"
#include "platform/win/Cursor.h"
#include "platform/win/Input.h"
#include "platform/win/WinMessage.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"

#include <algorithm>

namespace {

// The drag's cursors from the resources, else the system's.
HCURSOR Cursor(UINT nID, LPCSTR lpszFallback)
{
    HCURSOR hCursor = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nID));
    return hCursor ? hCursor : ::LoadCursorA(nullptr, lpszFallback);
}

} // namespace

CXTPCustomizeDropSource::CXTPCustomizeDropSource(CXTPCommandBars* pCommandBars)
    : m_pCommandBars(pCommandBars), m_hcurNoDrop(Cursor(9303, IDC_NO)), m_hcurMove(Cursor(9302, IDC_ARROW)),
      m_hcurCopy(Cursor(9301, IDC_ARROW))
{
}

void CXTPCustomizeDropSource::Register(CXTPCommandBar* pBar)
{
    m_arrTargets.push_back(pBar);
}

void CXTPCustomizeDropSource::Unregister(CXTPCommandBar* pBar)
{
    m_arrTargets.erase(std::remove(m_arrTargets.begin(), m_arrTargets.end(), pBar), m_arrTargets.end());
    if (m_pTarget == pBar)
        m_pTarget = nullptr;
}

void CXTPCustomizeDropSource::UpdateCursor()
{
    if (!m_pTarget)
        ::SetCursor(m_hcurNoDrop);
    else
        ::SetCursor(m_bMove && !m_bCopyOnly ? m_hcurMove : m_hcurCopy);
}

void CXTPCustomizeDropSource::ForgetTarget()
{
    if (m_pTarget)
        m_pTarget->ClearDropMarker();
    m_pTarget = nullptr;
}

void CXTPCustomizeDropSource::HitTest(CPoint ptScreen)
{
    CXTPCommandBar* pCandidate = nullptr;
    for (auto it = m_arrTargets.rbegin(); it != m_arrTargets.rend(); ++it) {
        CXTPCommandBar* pBar = *it;
        if (!pBar->GetSafeHwnd() || !pBar->IsWindowVisible())
            continue;
        CRect rc;
        pBar->GetWindowRect(&rc);
        if (rc.PtInRect(ptScreen)) {
            pCandidate = pBar;
            break;
        }
    }
    if (pCandidate) {
        CPoint pt = ptScreen;
        pCandidate->ScreenToClient(&pt);
        if (pCandidate == m_pTarget) {
            pCandidate->OnCustomizeDragOver(m_pControl, pt);
        } else {
            ForgetTarget();
            if (pCandidate->IsCustomizeDragEnter(m_pControl, pt)) {
                m_pTarget = pCandidate;
                pCandidate->OnCustomizeDragOver(m_pControl, pt);
            }
        }
    } else {
        ForgetTarget();
    }
    UpdateCursor();
}

int CXTPCustomizeDropSource::Drop(CPoint ptScreen)
{
    if (!m_pTarget)
        return XTP_DROPEFFECT_NONE;
    const int nEffect = m_bMove ? XTP_DROPEFFECT_MOVE : XTP_DROPEFFECT_COPY;
    CXTPCommandBar* pTarget = m_pTarget;
    m_pTarget = nullptr;
    CPoint pt = ptScreen;
    pTarget->ScreenToClient(&pt);
    pTarget->OnCustomizeDrop(m_pControl, nEffect, pt);
    return nEffect;
}

int CXTPCustomizeDropSource::DoDragDrop(CXTPControl* pControl, BOOL bCopyOnly)
{
    CWnd* pCapture = m_pDragWindow;
    if (!pCapture && m_pCommandBars)
        pCapture = m_pCommandBars->GetSite();
    if (!pCapture || !pCapture->GetSafeHwnd() || !pControl)
        return XTP_DROPEFFECT_NONE;
    m_hwndCapture = pCapture->m_hWnd;
    ::SetCapture(m_hwndCapture);
    m_pControl = pControl;
    m_pControl->InternalAddRef();
    m_bMove = FALSE;
    m_pTarget = nullptr;
    m_bCopyOnly = bCopyOnly;
    ::GetCursorPos(&m_ptCursor);
    BOOL bFirstMove = TRUE;

    int nResult = XTP_DRAG_CANCELLED;
    while (::GetCapture() == m_hwndCapture) {
        MSG msg;
        BOOL bQuit = FALSE;
        // A quit passes the paint filter too.
        while (!bQuit && ::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                bQuit = TRUE;
            else
                ::DispatchMessageA(&msg);
        }
        const BOOL bGot = bQuit ? 0 : ::GetMessageA(&msg, nullptr, 0, 0);
        if (bGot <= 0) {
            // The quit stays queued for the loop that owns it.
            if (bGot == 0)
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (::GetCapture() != m_hwndCapture)
            break;
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
            CPoint pt(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
            ::ClientToScreen(msg.hwnd, &pt);
            m_ptCursor = pt;
        }
        if (msg.message == WM_MOUSEMOVE) {
            if (bFirstMove) {
                bFirstMove = FALSE;
                if (CXTPCommandBar* pParent = m_pControl->GetParent()) {
                    CPoint pt = m_ptCursor;
                    if (pParent->GetSafeHwnd())
                        pParent->ScreenToClient(&pt);
                    m_pControl->OnCustomizeDragOver(m_pControl, pt);
                }
            }
            m_bMove = !(msg.wParam & MK_CONTROL);
            HitTest(m_ptCursor);
            if (!(msg.wParam & MK_LBUTTON)) {
                nResult = Drop(m_ptCursor);
                break;
            }
        } else if (msg.message == WM_KEYDOWN && msg.wParam == VK_CONTROL) {
            m_bMove = FALSE;
            UpdateCursor();
        } else if (msg.message == WM_KEYUP && msg.wParam == VK_CONTROL) {
            m_bMove = TRUE;
            UpdateCursor();
        } else if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            break;
        } else if (msg.message == WM_LBUTTONUP) {
            nResult = Drop(m_ptCursor);
            break;
        } else if (msg.message == WM_RBUTTONDOWN) {
            break;
        } else {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    ForgetTarget();
    if (::GetCapture() == m_hwndCapture)
        ::ReleaseCapture();
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    m_hwndCapture = nullptr;
    CXTPControl* pDragged = m_pControl;
    m_pControl = nullptr;
    pDragged->InternalRelease();
    return nResult;
}
