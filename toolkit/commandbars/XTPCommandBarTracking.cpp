// Tracking, selection, popups, hover timers, hot tracking and keyboard
// navigation of the command-bar base.
#include "toolkit/commandbars/XTPCommandBar.h"

#include "platform/win/User.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPKeyboardManager.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPShortcutManager.h"

UINT CXTPCommandBar::s_nHoverDelay = 300;
UINT CXTPCommandBar::s_nExpandDelay = 800;

namespace {

BOOL IsHorizontalPosition(int nPosition)
{
    return nPosition == xtpBarTop || nPosition == xtpBarBottom || nPosition == xtpBarFloating;
}

} // namespace

BOOL CXTPCommandBar::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard)
{
    if (m_bTracking == bMode || (m_bTracking && bMode)) {
        m_bTracking = bMode;
        return FALSE;
    }
    m_bTracking = bMode;
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    if (bMode) {
        if (m_barType == xtpBarTypeMenuBar)
            if (CWnd* pSite = GetSite())
                pSite->SendMessage(WM_TRACKING_MODE, reinterpret_cast<WPARAM>(this), 0);
        m_bMouseTracking = !bSelectFirst && !bKeyboard;
        if (!m_hwndFocus) {
            m_hwndFocus = ::GetFocus();
            if (!m_hwndFocus)
                m_hwndFocus = AfxHwndOf(GetSite());
            if (m_hwndFocus)
                ::HideCaret(m_hwndFocus);
        }
        pMouseManager->SetTrack(this);
        XTPKeyboardManager()->HookKeyboard(this);
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
        if (bSelectFirst)
            SetSelected(m_pControls->GetNext(-1, +1, TRUE, FALSE, TRUE), TRUE);
        return TRUE;
    }

    m_bMouseTracking = FALSE;
    pMouseManager->RemoveTrack(this);
    XTPKeyboardManager()->UnhookKeyboard(this);
    SetPopuped(-1);
    if (bSelectFirst)
        SetSelected(-1);
    if (m_hwndFocus) {
        ::ShowCaret(m_hwndFocus);
        m_hwndFocus = nullptr;
    }
    Redraw();
    if (pMouseManager->GetTrackedCount() == 0)
        pMouseManager->SetForceExpanded(FALSE);
    if (m_hWnd && ::GetFocus() == m_hWnd) {
        if (HWND hwndParent = ::GetParent(m_hWnd))
            if (HWND hwndNext = ::GetNextDlgTabItem(hwndParent, m_hWnd, FALSE))
                ::SetFocus(hwndNext);
    }
    return TRUE;
}

BOOL CXTPCommandBar::SetSelected(int nSelected, BOOL bKeyboard)
{
    if (nSelected == m_nSelected || !::IsWindow(m_hWnd))
        return FALSE;
    if (nSelected < -1 || nSelected >= GetControlCount())
        return FALSE;
    m_bSelectedByKeyboard = bKeyboard;
    LockRedraw();
    if (CXTPControl* pOld = GetControl(m_nSelected)) {
        m_nSelected = -1;
        pOld->OnSetSelected(0);
    }
    m_nSelected = nSelected;
    if (CXTPControl* pNew = GetControl(nSelected)) {
        if (bKeyboard)
            NotifyKeyboardFocus(nSelected);
        pNew->OnSetSelected(bKeyboard ? 2 : 1);
        XTPMouseManager()->SetSelectedBar(this);
        if (!bKeyboard)
            SetTimer(XTP_TID_HOVER, s_nHoverDelay, nullptr);
    } else {
        KillTimer(XTP_TID_HOVER);
    }
    m_dwPendingFlags |= XTP_PENDING_REDRAW;
    UnlockRedraw();
    return TRUE;
}

BOOL CXTPCommandBar::SetPopuped(int nPopuped, BOOL bKeyboard)
{
    if (nPopuped == m_nPopuped)
        return FALSE;
    LockRedraw();
    if (m_nPopuped != -1) {
        CXTPControl* pOld = GetControl(m_nPopuped);
        m_nPopuped = -1;
        if (pOld)
            pOld->OnSetPopup(FALSE);
    }
    if (nPopuped != -1) {
        CXTPControl* pControl = GetControl(nPopuped);
        if (!pControl || !pControl->IsKindOf(RUNTIME_CLASS(CXTPControlPopup)) || !pControl->GetEnabled()) {
            UnlockRedraw();
            return FALSE;
        }
        m_nPopuped = nPopuped;
        SetTrackingMode(2, FALSE, bKeyboard);
        SetSelected(nPopuped, bKeyboard);
        pControl->OnSetPopup(TRUE);
        CXTPCommandBars* pCommandBars = GetCommandBars();
        if (pCommandBars && pCommandBars->GetOptions()->bShowFullAfterDelay)
            SetTimer(XTP_TID_EXPANDED_POPUP, s_nExpandDelay, nullptr);
    }
    m_dwPendingFlags |= XTP_PENDING_REDRAW;
    UnlockRedraw();
    return TRUE;
}

void CXTPCommandBar::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == XTP_TID_HOVER) {
        KillTimer(XTP_TID_HOVER);
        if (CXTPControl* pControl = GetControl(m_nSelected))
            pControl->OnMouseHover();
        return;
    }
    if (nIDEvent == XTP_TID_EXPANDED_POPUP) {
        KillTimer(XTP_TID_EXPANDED_POPUP);
        auto* pControl = DYNAMIC_DOWNCAST(CXTPControlPopup, GetControl(m_nSelected));
        CXTPCommandBars* pCommandBars = GetCommandBars();
        if (pControl && pControl->GetPopuped() && pCommandBars && pCommandBars->GetOptions()->bShowFullAfterDelay)
            pControl->ExpandCommandBar();
        return;
    }
    Default();
}

void CXTPCommandBar::OnMouseMove(UINT, CPoint point)
{
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    // A toolbar of an application in the background shows no hot item.
    if (!m_bTracking && m_barPosition != xtpBarPopup && !CXTPMouseManager::IsTopParentActive(m_hWnd))
        return;
    if (pMouseManager->GetTrackedCount() > 0 && !pMouseManager->IsTracked(this))
        return;
    if (pMouseManager->IsTrackingLocked() || IsCustomizeMode())
        return;
    int nHot = -1;
    if (m_bTracking && (m_barPosition != xtpBarPopup || m_nPopuped != -1 || m_bSelectedByKeyboard))
        nHot = m_nSelected;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->IsVisible() && pControl->GetRect().PtInRect(point)) {
            nHot = i;
            pMouseManager->TrackMouseLeave(m_hWnd);
            pControl->OnMouseMove(point);
        }
    }
    SetSelected(nHot, FALSE);
}

BOOL CXTPCommandBar::ClearsSelectionOnLeave() const
{
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    if (pMouseManager->IsTrackingLocked() || pMouseManager->GetTrackedCount() > 0)
        return FALSE;
    return !m_bTracking || (m_barPosition == xtpBarPopup && m_nPopuped == -1);
}

LRESULT CXTPCommandBar::OnMouseLeave(WPARAM, LPARAM)
{
    if (ClearsSelectionOnLeave())
        SetSelected(-1);
    return 0;
}

void CXTPCommandBar::OnNcMouseMove(UINT, CPoint)
{
    if (ClearsSelectionOnLeave())
        SetSelected(-1);
    Default();
}

int CXTPCommandBar::OnHookMessage(HWND, UINT nMessage, WPARAM& wParam, LPARAM&, LRESULT&)
{
    if (m_bTracking && nMessage == WM_KEYDOWN)
        return OnKeyDown(static_cast<UINT>(wParam));
    return 0;
}

BOOL CXTPCommandBar::OnKeyDown(UINT nChar)
{
    if (IsCustomizeMode())
        return FALSE;
    if (nChar == VK_TAB)
        return ProcessSpecialKey(::GetKeyState(VK_SHIFT) < 0 ? xtpKeyPrev : xtpKeyNext);
    if (nChar == VK_RETURN)
        return ProcessSpecialKey(xtpKeyReturn);
    if (m_pKeyboardControl) {
        BOOL bResult = m_pKeyboardControl->OnHookKeyDown(nChar, 0);
        if (bResult == 1 || bResult == 2)
            return bResult;
    }
    const BOOL bHorz = IsHorizontalPosition(m_barPosition);
    const BOOL bRTL = IsLayoutRTL();
    switch (nChar) {
    case VK_ESCAPE:
        return ProcessSpecialKey(xtpKeyEscape);
    case VK_END:
        return ProcessSpecialKey(xtpKeyEnd);
    case VK_HOME:
        return ProcessSpecialKey(xtpKeyHome);
    case VK_LEFT:
        if (bHorz)
            return ProcessSpecialKey(bRTL ? xtpKeyNext : xtpKeyPrev);
        return ProcessSpecialKey(bRTL ? xtpKeyPopup : xtpKeyBack);
    case VK_UP:
        return ProcessSpecialKey(bHorz ? xtpKeyBack : xtpKeyPrev);
    case VK_RIGHT:
        if (bHorz)
            return ProcessSpecialKey(bRTL ? xtpKeyPrev : xtpKeyNext);
        return ProcessSpecialKey(bRTL ? xtpKeyBack : xtpKeyPopup);
    case VK_DOWN:
        return ProcessSpecialKey(bHorz ? xtpKeyPopup : xtpKeyNext);
    default:
        break;
    }
    // Keys without a character (Shift, Ctrl, function keys) are taken quietly.
    UINT nCharacter = ::MapVirtualKeyA(nChar, 2);
    if (nCharacter == 0)
        return TRUE;
    BOOL bMore = FALSE;
    int nIndex = ::GetKeyState(VK_CONTROL) < 0
                     ? -1
                     : FindAccel(CXTPShortcutManager::ToUpper(static_cast<char>(nCharacter)), &bMore);
    if (nIndex == -1) {
        ::MessageBeep(0);
        return TRUE;
    }
    SetSelected(nIndex, TRUE);
    if (!bMore)
        if (CXTPControl* pControl = GetControl(nIndex))
            pControl->OnClick(TRUE, CPoint(0, 0));
    return TRUE;
}

BOOL CXTPCommandBar::ProcessSpecialKey(int nKey)
{
    switch (nKey) {
    case xtpKeyNext:
    case xtpKeyPrev:
    case xtpKeyHome:
    case xtpKeyEnd: {
        int nStart = nKey == xtpKeyHome ? -1 : nKey == xtpKeyEnd ? GetControlCount() : m_nSelected;
        int nStep = (nKey == xtpKeyNext || nKey == xtpKeyHome) ? +1 : -1;
        SetSelected(m_pControls->GetNext(nStart, nStep, TRUE, FALSE, TRUE), TRUE);
        return TRUE;
    }
    case xtpKeyBack:
        if (m_nPopuped == -1)
            return FALSE;
        SetPopuped(-1);
        SetTrackingMode(1, FALSE, FALSE);
        return TRUE;
    case xtpKeyPopup: {
        CXTPControl* pControl = GetControl(m_nSelected);
        if (!pControl || m_nPopuped == m_nSelected)
            return FALSE;
        pControl->OnSetSelected(2);
        return SetPopuped(m_nSelected, FALSE);
    }
    case xtpKeyEscape:
        if (CXTPCommandBar* pParent = GetParentCommandBar())
            pParent->SetTrackingMode(1, FALSE, FALSE);
        SetTrackingMode(0, TRUE, FALSE);
        return TRUE;
    case xtpKeyReturn:
        if (CXTPControl* pControl = GetControl(m_nSelected)) {
            pControl->OnSetSelected(2);
            pControl->OnClick(TRUE, CPoint(0, 0));
        }
        return TRUE;
    default:
        return FALSE;
    }
}

int CXTPCommandBar::FindAccel(int chAccel, BOOL* pbMoreThanOne)
{
    BOOL bMore = FALSE;
    const int nCount = GetControlCount();
    const char chKey = CXTPShortcutManager::ToUpper(static_cast<char>(chAccel));
    int nAmpersand = -1, nFirstLetter = -1;
    BOOL bMoreFirstLetter = FALSE;
    for (int k = 1; k <= nCount; ++k) {
        const int nIndex = (m_nSelected + k + nCount) % nCount;
        CXTPControl* pControl = GetControl(nIndex);
        // The controls a keyboard walk reaches: hidden ones (rarely used
        // ones too) are not, scrolled-out ones are.
        if (!pControl || (pControl->GetHideFlags() & ~static_cast<DWORD>(xtpHideScroll)) ||
            (pControl->GetFlags() & xtpFlagSkipFocus))
            continue;
        const CString strCaption = pControl->GetCaption();
        const int nAmp = strCaption.Find('&');
        if (nAmp >= 0 && nAmp < strCaption.GetLength() - 1) {
            if (CXTPShortcutManager::ToUpper(strCaption[nAmp + 1]) != chKey)
                continue;
            if (nAmpersand != -1) {
                bMore = TRUE;
                break;
            }
            nAmpersand = nIndex;
        } else if (!strCaption.IsEmpty() && CXTPShortcutManager::ToUpper(strCaption[0]) == chKey) {
            if (nFirstLetter == -1)
                nFirstLetter = nIndex;
            else
                bMoreFirstLetter = TRUE;
        }
    }
    if (nAmpersand == -1 && nFirstLetter != -1)
        bMore = bMoreFirstLetter;
    if (pbMoreThanOne)
        *pbMoreThanOne = bMore;
    return nAmpersand != -1 ? nAmpersand : nFirstLetter;
}
