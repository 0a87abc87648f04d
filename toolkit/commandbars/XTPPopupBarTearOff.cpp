// Tearing a popup off into a floating toolbar: the gripper row's hot
// tracking and the modal drag that switches between the popup and the bar.
#include "toolkit/commandbars/XTPPopupBar.h"

#include "platform/win/Capture.h"
#include "platform/win/Cursor.h"
#include "platform/win/Input.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPDockContext.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPToolBar.h"

namespace {

constexpr UINT kHotInterval = 80;
// How far the pointer may leave the gripper before the popup tears off.
constexpr int kMargin = 10;
// The floating bar's top stays this far above the pointer.
constexpr int kAbovePointer = 10;

} // namespace

void CXTPPopupBar::SetTearOffPopup(LPCTSTR lpszCaption, UINT nID, DWORD dwWidth)
{
    m_bTearOffPopup = TRUE;
    m_strTearOffCaption = lpszCaption;
    m_nTearOffID = nID;
    m_nTearOffWidth = static_cast<int>(dwWidth);
}

void CXTPPopupBar::OnTearOffMouseMove(CPoint point)
{
    if (!m_bTearOffPopup || IsCustomizeMode() || m_bTearOffSelected || !m_rcTearOffGripper.PtInRect(point))
        return;
    SetSelected(-1, FALSE);
    SetPopuped(-1);
    m_nTearOffTimer = SetTimer(XTP_TID_TEAROFF_HOT, kHotInterval, nullptr);
}

void CXTPPopupBar::OnTearOffTimer()
{
    CPoint pt;
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    const BOOL bOnGripper = m_rcTearOffGripper.PtInRect(pt);
    if (!m_bTearOffSelected && bOnGripper) {
        m_bTearOffSelected = TRUE;
        Invalidate(FALSE);
    } else if (m_bTearOffSelected && !bOnGripper && !m_bTearOffTracking) {
        m_bTearOffSelected = FALSE;
        Invalidate(FALSE);
        KillTimer(m_nTearOffTimer);
        m_nTearOffTimer = 0;
    }
}

void CXTPPopupBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    // Tearing off closes the menus: the bar lives until this press returns.
    InternalAddRef();
    if (m_bTearOffPopup && !IsCustomizeMode() && m_rcTearOffGripper.PtInRect(point)) {
        ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEALL));
        XTPMouseManager()->LockTracking();
        m_bTearOffTracking = TRUE;
        TrackTearOff();
        m_bTearOffTracking = FALSE;
        XTPMouseManager()->UnlockTracking();
    }
    if (m_hWnd)
        CXTPCommandBar::OnLButtonDown(nFlags, point);
    InternalRelease();
}

void CXTPPopupBar::TrackTearOff()
{
    CRect rcGripper = m_rcTearOffGripper;
    ClientToScreen(&rcGripper);
    rcGripper.InflateRect(kMargin, kMargin);
    m_pTearOffBar = nullptr;
    BOOL bInside = TRUE;
    HWND hWnd = m_hWnd;
    if (!hWnd || ::GetCapture())
        return;
    ::SetCapture(hWnd);
    // The press's own point: moves queued behind it count from there.
    const DWORD dwPos = ::GetMessagePos();
    CPoint ptLast(static_cast<short>(LOWORD(dwPos)), static_cast<short>(HIWORD(dwPos)));
    MSG msg;
    while (::GetCapture() == hWnd) {
        if (!XTPGetTrackMessage(&msg))
            break;
        if (msg.message != WM_MOUSEMOVE || CPoint(msg.pt) == ptLast) {
            ::DispatchMessageA(&msg);
            continue;
        }
        const CPoint pt(msg.pt);
        ptLast = pt;
        const BOOL bNowInside = rcGripper.PtInRect(pt);
        // Without a toolbar to move the popup stays, as if never left.
        if (bNowInside != bInside && SwitchTearOff(bNowInside, pt))
            bInside = bNowInside;
        if (m_pTearOffBar)
            m_pTearOffBar->MoveWindow(pt.x - m_szTearOffBar.cx / 2, pt.y - kAbovePointer, m_szTearOffBar.cx,
                                      m_szTearOffBar.cy, TRUE);
    }
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    if (m_pTearOffBar)
        XTPMouseManager()->SendTrackLost();
}

BOOL CXTPPopupBar::SwitchTearOff(BOOL bInside, CPoint point)
{
    if (bInside) {
        ShowWindow(SW_SHOWNA);
        if (m_pTearOffBar) {
            CXTPToolBar* pBar = m_pTearOffBar;
            m_pTearOffBar = nullptr;
            pBar->SetVisible(FALSE);
        }
        return TRUE;
    }
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (!pCommandBars)
        return FALSE;
    CXTPToolBar* pBar = m_pTearOffBar;
    if (!pBar) {
        pBar = DYNAMIC_DOWNCAST(CXTPToolBar, pCommandBars->GetToolBar(m_nTearOffID));
        if (pBar) {
            pBar->SetPosition(xtpBarFloating);
            pBar->SetVisible(TRUE);
            pCommandBars->RecalcFrameLayout();
        } else {
            pBar = pCommandBars->AddCustomBar(m_strTearOffCaption, m_nTearOffID, TRUE);
            if (!pBar)
                return FALSE;
            pBar->SetWidth(m_nTearOffWidth);
            for (int i = 0; i < GetControlCount(); ++i) {
                CXTPControl* pControl = GetControl(i);
                if (pControl->GetID() == XTP_ID_POPUPBAR_EXPAND)
                    continue;
                CXTPControl* pCopy = pBar->GetControls()->AddClone(pControl);
                pCopy->SetHideFlag(xtpHideScroll, FALSE);
                pCopy->SetHideFlag(xtpHideExpand, FALSE);
            }
        }
        m_pTearOffBar = pBar;
    }
    ShowWindow(SW_HIDE);
    m_szTearOffBar = pBar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
    pBar->MoveWindow(point.x - m_szTearOffBar.cx / 2, point.y - kAbovePointer, m_szTearOffBar.cx, m_szTearOffBar.cy,
                     TRUE);
    pBar->OnUpdateCmdUI(TRUE, FALSE);
    pBar->Invalidate(FALSE);
    return TRUE;
}
