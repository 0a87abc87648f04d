#include "toolkit/controls/XTTrayIconWnd.h"

#include "platform/mfc/Resource.h"
#include "platform/win/AnimatedRects.h"
#include "platform/win/PopupMenu.h"
#include "platform/win/User.h"
#include "toolkit/controls/XTGlobalData.h"

namespace {

// Registered before the first window exists, as the shell expects.
const UINT g_uTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");

// The icon resource at the small-icon size; null when there is none.
HICON LoadSmallIcon(UINT nID)
{
    const CXTGlobalData* data = XTGetGlobalData();
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(nID), RT_GROUP_ICON);
    return static_cast<HICON>(
        LoadImageA(module, MAKEINTRESOURCE(nID), IMAGE_ICON, data->cxSmIcon, data->cySmIcon, 0));
}

HMENU LoadTrayMenu(UINT nID)
{
    return LoadMenuA(AfxFindResourceHandle(MAKEINTRESOURCE(nID), RT_MENU), MAKEINTRESOURCE(nID));
}

// The text cut to at most nMax bytes of whole characters.
CString Cut(LPCTSTR lpszText, int nMax)
{
    std::string buffer(static_cast<size_t>(nMax) + 1, '\0');
    XTStrCopy(buffer.data(), static_cast<UINT>(buffer.size()), lpszText ? lpszText : "");
    return CString(buffer.c_str());
}

} // namespace

UINT XTGetTaskbarCreatedMessage() { return g_uTaskbarCreated; }

BEGIN_MESSAGE_MAP(CXTTrayIconWnd, CWnd)
    ON_WM_TIMER()
    ON_WM_SETTINGCHANGE()
    ON_REGISTERED_MESSAGE(g_uTaskbarCreated, OnTaskbarCreated)
END_MESSAGE_MAP()

CXTTrayIconWnd::CXTTrayIconWnd()
{
    m_niData.cbSize = sizeof(NOTIFYICONDATA);
    m_niData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_niData.uCallbackMessage = WM_TRAY_NOTIFY;
}

CXTTrayIconWnd::~CXTTrayIconWnd()
{
    m_bAddIcon = false;
    // A taskbar that came back may still hold an icon we count as removed.
    if (m_niData.hWnd) {
        m_niData.uFlags = 0;
        if (Shell_NotifyIcon(NIM_DELETE, &m_niData))
            m_bHidden = m_bRemoved = true;
    }
    if (m_hWnd)
        DestroyWindow();
    RemoveAnimationIcons();
    if (m_wndMinimize.m_hWnd)
        m_wndMinimize.DestroyWindow();
}

BOOL CXTTrayIconWnd::Create(LPCTSTR lpszTooltip, DWORD, CWnd* pOwnerWnd, UINT uIconID)
{
    return Create(lpszTooltip, pOwnerWnd, uIconID, 0, 0, FALSE);
}

BOOL CXTTrayIconWnd::Create(LPCTSTR lpszTooltip, CWnd* pOwnerWnd, UINT uIconID, UINT uMenuID, UINT uDefMenuItemID,
                            BOOL bDefMenuItemByPos)
{
    m_nIconID = uIconID;
    m_strToolTip = Cut(lpszTooltip, 126);
    m_hWndNotify = pOwnerWnd ? pOwnerWnd->GetSafeHwnd() : nullptr;
    m_iMaxTipSize = 127;
    SetIcon(uIconID);
    SetTooltipText(m_strToolTip);
    if (!CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr))
        return FALSE;
    m_niData.hWnd = m_hWnd;
    m_niData.uID = uMenuID;
    m_uDefMenuItemID = uDefMenuItemID;
    m_bDefMenuItemByPos = bDefMenuItemByPos != FALSE;
    m_uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    return TRUE;
}

BOOL CXTTrayIconWnd::ShellNotify(DWORD dwMessage) { return Shell_NotifyIcon(dwMessage, &m_niData); }

BOOL CXTTrayIconWnd::SetIcon(UINT nIDResource, LPCTSTR) { return SetIcon(nIDResource); }

BOOL CXTTrayIconWnd::SetIcon(UINT nIDResource)
{
    // A missing resource leaves the icon shown as it is.
    HICON hIcon = LoadSmallIcon(nIDResource);
    if (!hIcon)
        return FALSE;
    const BOOL bResult = SetIcon(hIcon);
    m_hIcon = hIcon;
    return bResult;
}

BOOL CXTTrayIconWnd::SetIcon(HICON hIcon)
{
    if (hIcon == m_niData.hIcon)
        return TRUE;
    m_niData.uFlags = NIF_ICON;
    m_niData.hIcon = hIcon;
    return m_bHidden ? TRUE : ShellNotify(NIM_MODIFY);
}

BOOL CXTTrayIconWnd::SetTooltipText(const CString& strTipText) { return SetTooltipText(strTipText.GetString()); }

BOOL CXTTrayIconWnd::SetTooltipText(LPCTSTR lpszTipText)
{
    m_niData.uFlags = NIF_TIP;
    XTStrCopy(m_niData.szTip, static_cast<UINT>(m_iMaxTipSize), lpszTipText ? lpszTipText : "");
    return m_bHidden ? TRUE : ShellNotify(NIM_MODIFY);
}

CString CXTTrayIconWnd::GetTooltipText() const { return CString(m_niData.szTip); }

BOOL CXTTrayIconWnd::RemoveIcon()
{
    m_bAddIcon = false;
    if (m_bRemoved)
        return TRUE;
    m_niData.uFlags = 0;
    if (!ShellNotify(NIM_DELETE))
        return FALSE;
    m_bHidden = m_bRemoved = true;
    return TRUE;
}

BOOL CXTTrayIconWnd::HideIcon()
{
    if (m_bRemoved) {
        // Hidden on purpose: a taskbar coming back must not show it.
        m_bAddIcon = false;
        return TRUE;
    }
    if (m_bHidden)
        return TRUE;
    if (!XTOSVersionInfo().IsWin2KOrLater())
        return RemoveIcon();
    m_niData.uFlags = NIF_STATE;
    m_niData.dwState = m_niData.dwStateMask = NIS_HIDDEN;
    m_bHidden = ShellNotify(NIM_MODIFY) != FALSE;
    return m_bHidden;
}

BOOL CXTTrayIconWnd::ShowIcon()
{
    if (m_bRemoved)
        return CreateIconAgain();
    if (!m_bHidden)
        return TRUE;
    if (!XTOSVersionInfo().IsWin2KOrLater())
        return CreateIconAgain();
    m_niData.uFlags = NIF_STATE;
    m_niData.dwState = 0;
    m_niData.dwStateMask = NIS_HIDDEN;
    if (!ShellNotify(NIM_MODIFY))
        return FALSE;
    m_bHidden = m_bRemoved = false;
    return TRUE;
}

BOOL CXTTrayIconWnd::CreateIconAgain()
{
    // Deleting first also clears an icon a restarted taskbar kept while we
    // counted it as removed; the delete failing is expected otherwise.
    m_niData.uFlags = 0;
    ShellNotify(NIM_DELETE);
    return AddToTaskbar(NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

BOOL CXTTrayIconWnd::AddToTaskbar(UINT uFlags)
{
    // Only a failed add is tried again when the taskbar comes back.
    m_niData.uFlags = uFlags;
    const BOOL bAdded = ShellNotify(NIM_ADD);
    m_bHidden = m_bRemoved = !bAdded;
    m_bAddIcon = !bAdded;
    return bAdded;
}

BOOL CXTTrayIconWnd::AddIcon()
{
    if (!m_bAddIcon)
        return TRUE;
    return AddToTaskbar(m_uFlags);
}

LRESULT CXTTrayIconWnd::OnTaskbarCreated(WPARAM, LPARAM)
{
    // The new taskbar holds none of our icons.
    if (m_bAddIcon)
        AddIcon();
    else if (!m_bRemoved && m_bHidden)
        m_bRemoved = true; // the next ShowIcon adds it
    else if (!m_bRemoved)
        CreateIconAgain();
    return 0;
}

void CXTTrayIconWnd::OnSettingChange(UINT uFlags, LPCTSTR)
{
    Default();
    if (uFlags == SPI_SETWORKAREA)
        AddIcon();
}

LRESULT CXTTrayIconWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TRAY_NOTIFY)
        return OnTrayNotification(wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CXTTrayIconWnd::OnTrayNotification(WPARAM wParam, LPARAM lParam)
{
    if (wParam != m_niData.uID || !m_hWndNotify)
        return 0;
    if (::SendMessage(m_hWndNotify, WM_TRAY_NOTIFY, wParam, lParam))
        return 1;
    switch (LOWORD(lParam)) {
    case WM_LBUTTONDBLCLK: {
        ::SetForegroundWindow(m_hWndNotify);
        UINT nCommand = m_uDefMenuItemID;
        if (m_bDefMenuItemByPos) {
            nCommand = 0;
            if (HMENU hMenu = LoadTrayMenu(m_niData.uID)) {
                if (HMENU hSub = ::GetSubMenu(hMenu, 0))
                    nCommand = ::GetMenuItemID(hSub, static_cast<int>(m_uDefMenuItemID));
                ::DestroyMenu(hMenu);
            }
        }
        // A separator, a submenu or a missing menu names no command.
        if (nCommand != 0 && nCommand != static_cast<UINT>(-1))
            ::SendMessage(m_hWndNotify, WM_COMMAND, nCommand, 0);
        return 1;
    }
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
    case NIN_SELECT:
    case NIN_KEYSELECT: {
        HMENU hMenu = LoadTrayMenu(m_niData.uID);
        if (!hMenu)
            return 0;
        if (HMENU hSub = ::GetSubMenu(hMenu, 0)) {
            ::SetMenuDefaultItem(hSub, m_uDefMenuItemID, m_bDefMenuItemByPos);
            ::SetForegroundWindow(m_hWndNotify);
            POINT pt{};
            ::GetCursorPos(&pt);
            ::TrackPopupMenu(hSub, 0, pt.x, pt.y, 0, m_hWndNotify, nullptr);
            ::PostMessage(m_hWndNotify, WM_NULL, 0, 0);
        }
        ::DestroyMenu(hMenu);
        ShellNotify(NIM_SETFOCUS);
        return 1;
    }
    default:
        return 1;
    }
}

void CXTTrayIconWnd::StartAnimation(UINT uElapse) { SetTimer(m_nIDEvent, uElapse, nullptr); }

void CXTTrayIconWnd::StopAnimation()
{
    KillTimer(m_nIDEvent);
    SetTooltipText(m_strToolTip);
    SetIcon(m_nIconID);
}

void CXTTrayIconWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != m_nIDEvent || m_arTrayIcons.empty())
        return;
    if (m_nCounter >= 0 && m_nCounter < static_cast<int>(m_arTrayIcons.size())) {
        const TRAYICONDATA& frame = m_arTrayIcons[static_cast<size_t>(m_nCounter)];
        if (!frame.strToolTip.IsEmpty())
            SetTooltipText(frame.strToolTip);
        if (frame.hIcon)
            SetIcon(frame.hIcon);
    }
    m_nCounter = (m_nCounter + 1) % static_cast<int>(m_arTrayIcons.size());
}

BOOL CXTTrayIconWnd::SetAnimationIcons(const UINT* lpIDArray, int nIDCount, const CString* lpStrTipArray)
{
    RemoveAnimationIcons();
    for (int i = 0; i < nIDCount && lpIDArray; ++i) {
        HICON hIcon = LoadSmallIcon(lpIDArray[i]);
        if (!hIcon)
            return FALSE;
        m_arTrayIcons.push_back({hIcon, lpStrTipArray ? lpStrTipArray[i] : m_strToolTip});
    }
    return TRUE;
}

void CXTTrayIconWnd::RemoveAnimationIcons()
{
    for (TRAYICONDATA& frame : m_arTrayIcons)
        if (frame.hIcon)
            ::DestroyIcon(frame.hIcon);
    m_arTrayIcons.clear();
}

BOOL CXTTrayIconWnd::IsAnimating()
{
    ANIMATIONINFO info{};
    info.cbSize = sizeof info;
    return ::SystemParametersInfoA(SPI_GETANIMATION, sizeof info, &info, 0) && info.iMinAnimate != 0;
}

BOOL CXTTrayIconWnd::HideFromTaskbar(HWND hWnd)
{
    if (!m_wndMinimize.m_hWnd &&
        !m_wndMinimize.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, nullptr, nullptr))
        return FALSE;
    ::SetParent(hWnd, m_wndMinimize.m_hWnd);
    return TRUE;
}

void CXTTrayIconWnd::MinimizeToTray(HWND hWnd)
{
    if (IsAnimating()) {
        CRect rcFrom, rcTo;
        ::GetWindowRect(hWnd, &rcFrom);
        if (GetTrayWindowRect(rcTo))
            ::DrawAnimatedRects(hWnd, IDANI_CAPTION, &rcFrom, &rcTo);
    }
    HideFromTaskbar(hWnd);
    ::ShowWindow(hWnd, SW_HIDE);
}

void CXTTrayIconWnd::RestoreFromTray(HWND hWnd)
{
    if (IsAnimating()) {
        CRect rcFrom;
        const BOOL bTray = GetTrayWindowRect(rcFrom);
        ::SetParent(hWnd, nullptr);
        CRect rcTo;
        ::GetWindowRect(hWnd, &rcTo);
        if (bTray)
            ::DrawAnimatedRects(hWnd, IDANI_CAPTION, &rcFrom, &rcTo);
    } else {
        ::SetParent(hWnd, nullptr);
    }
    ::ShowWindow(hWnd, SW_SHOW);
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    if (m_wndMinimize.m_hWnd)
        ::SetActiveWindow(m_wndMinimize.m_hWnd);
    ::SetActiveWindow(hWnd);
    ::SetForegroundWindow(hWnd);
}

BOOL CXTTrayIconWnd::GetTrayWindowRect(CRect& rect)
{
    // No desktop here has a taskbar window of its own: the panel's position
    // tells where its icons are.
    APPBARDATA abd{};
    abd.cbSize = sizeof abd;
    if (!SHAppBarMessage(ABM_GETTASKBARPOS, &abd)) {
        RECT work{};
        if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
            return FALSE;
        rect.SetRect(work.right - 150, work.bottom - 30, work.right, work.bottom);
        return TRUE;
    }
    if (abd.uEdge == ABE_LEFT || abd.uEdge == ABE_RIGHT)
        rect.SetRect(abd.rc.left, abd.rc.bottom - 100, abd.rc.right, abd.rc.bottom - 16);
    else
        rect.SetRect(abd.rc.right - 100, abd.rc.top, abd.rc.right - 16, abd.rc.bottom);
    return TRUE;
}
