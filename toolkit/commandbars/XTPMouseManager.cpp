#include "toolkit/commandbars/XTPMouseManager.h"

#include "platform/mfc/Wnd.h"
#include "platform/win/Hooks.h"
#include "platform/win/Input.h"

#include <algorithm>
#include <memory>

#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"

namespace {

// The last mouse position the hook saw, for all threads.
POINT g_ptLastMouse = {-1, -1};

} // namespace

CXTPMouseManager* XTPMouseManager()
{
    thread_local std::unique_ptr<CXTPMouseManager> manager(new CXTPMouseManager);
    return manager.get();
}

CXTPMouseManager::CXTPMouseManager()
{
    m_hHookMouse = ::SetWindowsHookExA(WH_MOUSE, &MouseProc, nullptr, ::GetCurrentThreadId());
}

CXTPMouseManager::~CXTPMouseManager()
{
    if (m_hHookMouse)
        ::UnhookWindowsHookEx(m_hHookMouse);
    if (m_hwndLeave && ::IsWindow(m_hwndLeave))
        ::KillTimer(m_hwndLeave, TID_MOUSELEAVE);
}

BOOL CXTPMouseManager::IsTracked(CXTPCommandBar* pBar) const
{
    return std::find(m_arrTracked.begin(), m_arrTracked.end(), pBar) != m_arrTracked.end();
}

CXTPCommandBar* CXTPMouseManager::GetTrackedBar(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetTrackedCount() ? m_arrTracked[static_cast<size_t>(nIndex)] : nullptr;
}

void CXTPMouseManager::SetTrack(CXTPCommandBar* pBar)
{
    if (m_arrTracked.empty() && m_pSelected && m_pSelected != pBar)
        m_pSelected->SetSelected(-1, FALSE);
    if (pBar && !IsTracked(pBar))
        m_arrTracked.push_back(pBar);
}

void CXTPMouseManager::RemoveTrack(CXTPCommandBar* pBar)
{
    m_arrTracked.erase(std::remove(m_arrTracked.begin(), m_arrTracked.end(), pBar), m_arrTracked.end());
    m_bIgnoreRelease = FALSE;
    if (m_arrTracked.empty()) {
        // The windows under the cursor get a fresh mouse move.
        POINT pt;
        if (::GetCursorPos(&pt))
            ::SetCursorPos(pt.x, pt.y);
    }
}

void CXTPMouseManager::SendTrackLost()
{
    if (!m_arrTracked.empty())
        m_arrTracked.front()->SetTrackingMode(0, TRUE, FALSE);
}

BOOL CXTPMouseManager::IsTopParentActive(HWND hWnd)
{
    CWnd* pWnd = CWnd::FromHandle(hWnd);
    CWnd* pTop = pWnd ? pWnd->GetTopLevelParent() : nullptr;
    if (!pTop)
        return FALSE;
    return ::GetForegroundWindow() == ::GetLastActivePopup(pTop->GetSafeHwnd());
}

void CXTPMouseManager::TrackMouseLeave(HWND hWnd)
{
    if (hWnd == m_hwndLeave)
        return;
    HWND hwndOld = m_hwndLeave;
    m_hwndLeave = hWnd;
    if (hwndOld && ::IsWindow(hwndOld)) {
        // One watch at a time: the old timer would otherwise end the new watch.
        ::KillTimer(hwndOld, TID_MOUSELEAVE);
        ::SendMessageA(hwndOld, WM_MOUSELEAVE, 0, 0);
    }
    if (hWnd && hWnd == m_hwndLeave)
        ::SetTimer(hWnd, TID_MOUSELEAVE, MOUSELEAVE_ELAPSE, &MouseLeaveTimerProc);
}

void CALLBACK CXTPMouseManager::MouseLeaveTimerProc(HWND hWnd, UINT, UINT_PTR, DWORD)
{
    CXTPMouseManager* pManager = XTPMouseManager();
    if (::IsWindow(hWnd)) {
        POINT pt;
        RECT rc;
        ::GetCursorPos(&pt);
        ::GetWindowRect(hWnd, &rc);
        if (::PtInRect(&rc, pt) && (!::GetParent(hWnd) || IsTopParentActive(hWnd)))
            return;
        ::KillTimer(hWnd, TID_MOUSELEAVE);
        if (pManager->m_hwndLeave == hWnd)
            pManager->m_hwndLeave = nullptr;
        ::PostMessageA(hWnd, WM_MOUSELEAVE, 0, 0);
        return;
    }
    if (pManager->m_hwndLeave == hWnd)
        pManager->m_hwndLeave = nullptr;
}

void CXTPMouseManager::AddTrustedWindow(HWND hWnd)
{
    if (hWnd && std::find(m_arrTrusted.begin(), m_arrTrusted.end(), hWnd) == m_arrTrusted.end())
        m_arrTrusted.push_back(hWnd);
}

void CXTPMouseManager::RemoveTrustedWindow(HWND hWnd)
{
    m_arrTrusted.erase(std::remove(m_arrTrusted.begin(), m_arrTrusted.end(), hWnd), m_arrTrusted.end());
}

BOOL CXTPMouseManager::IsTrustedPoint(POINT point) const
{
    for (HWND hWnd : m_arrTrusted) {
        RECT rc;
        if (::IsWindow(hWnd) && ::GetWindowRect(hWnd, &rc) && ::PtInRect(&rc, point))
            return TRUE;
    }
    return FALSE;
}

int CXTPMouseManager::ProcessHook(UINT nMessage, POINT point)
{
    for (CXTPCommandBar* pBar : m_arrTracked) {
        HWND hWnd = pBar->GetSafeHwnd();
        if (!hWnd)
            continue;
        int nInside = pBar->IsPointInside(point);
        if (nInside == -2)
            continue;
        if (nInside)
            return 0;
        HWND hWndUnder = ::WindowFromPoint(point);
        if (hWndUnder && ::IsChild(hWnd, hWndUnder))
            return 0;
    }
    CXTPCommandBars* pCommandBars = m_arrTracked.empty() ? nullptr : m_arrTracked.front()->GetCommandBars();
    if (pCommandBars && pCommandBars->IsCustomizeMode() && IsTrustedPoint(point))
        return 0;

    // Ending the root's tracking ends its popups too: walk a copy.
    const std::vector<CXTPCommandBar*> snapshot = m_arrTracked;
    for (CXTPCommandBar* pBar : snapshot) {
        if (!IsTracked(pBar))
            continue;
        switch (nMessage) {
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
            if (HWND hWnd = pBar->GetSafeHwnd()) {
                POINT pt = point;
                ::ScreenToClient(hWnd, &pt);
                ::SendMessageA(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
            pBar->SetTrackingMode(0, TRUE, FALSE);
            break;
        case WM_LBUTTONUP:
        case WM_NCLBUTTONUP:
            if (!IsTrackingLocked())
                pBar->SetTrackingMode(0, TRUE, FALSE);
            break;
        default:
            break;
        }
    }
    return 0;
}

LRESULT CALLBACK CXTPMouseManager::MouseProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CXTPMouseManager* pManager = XTPMouseManager();
    HHOOK hHook = pManager->m_hHookMouse;
    auto* pInfo = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam);
    if (nCode != HC_ACTION || !pInfo)
        return ::CallNextHookEx(hHook, nCode, wParam, lParam);

    const UINT nMessage = static_cast<UINT>(wParam);
    if (nMessage == WM_LBUTTONDOWN) {
        pManager->m_bIgnoreRelease = FALSE;
    } else if (nMessage == WM_LBUTTONUP && pManager->m_bIgnoreRelease) {
        pManager->m_bIgnoreRelease = FALSE;
        return TRUE;
    }

    const POINT pt = pInfo->pt;
    const bool bSamePoint = pt.x == g_ptLastMouse.x && pt.y == g_ptLastMouse.y;
    g_ptLastMouse = pt;
    if (pManager->m_arrTracked.empty())
        return ::CallNextHookEx(hHook, nCode, wParam, lParam);
    // Mouse-move storms at one point do not hit-test the menus again.
    if ((nMessage == WM_MOUSEMOVE || nMessage == WM_NCMOUSEMOVE) && bSamePoint)
        return TRUE;
    if (pManager->ProcessHook(nMessage, pt))
        return TRUE;
    return ::CallNextHookEx(hHook, nCode, wParam, lParam);
}
