#include "app/MainTrayIcon.h"

#include "platform/mfc/Menu.h"
#include "platform/mfc/Resource.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/ResourceImage.h"

#include <cstdio>

BEGIN_MESSAGE_MAP(CMainTrayIcon, CWnd)
    ON_MESSAGE(WM_TRAY_NOTIFY, OnTrayNotification)
END_MESSAGE_MAP()

CMainTrayIcon::~CMainTrayIcon()
{
    HideIcon();
    if (m_hWnd)
        DestroyWindow();
}

BOOL CMainTrayIcon::Create(LPCTSTR lpszTooltip, CWnd* pOwnerWnd, UINT uIconID, UINT uMenuID, UINT uDefMenuItemID,
                           BOOL)
{
    LPCTSTR cls = AfxRegisterWndClass(0);
    if (!CreateEx(0, cls, "TavrinTray", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr))
        return FALSE;
    m_pOwner = pOwnerWnd;
    m_uMenuID = uMenuID;
    m_uDefMenuItemID = uDefMenuItemID;
    m_nid.cbSize = sizeof(m_nid);
    m_nid.hWnd = m_hWnd;
    m_nid.uID = uIconID;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = WM_TRAY_NOTIFY;
    m_nid.hIcon = ::LoadIcon(AfxFindResourceHandle(MAKEINTRESOURCE(uIconID), RT_GROUP_ICON), MAKEINTRESOURCE(uIconID));
    std::snprintf(m_nid.szTip, 127, "%s", lpszTooltip ? lpszTooltip : "");
    return m_nid.hIcon != nullptr;
}

BOOL CMainTrayIcon::SetAnimationIcons(const UINT* lpIDArray, int nIDCount)
{
    m_animation.clear();
    for (int i = 0; i < nIDCount; ++i) {
        HICON icon = ::LoadIcon(AfxFindResourceHandle(MAKEINTRESOURCE(lpIDArray[i]), RT_GROUP_ICON), MAKEINTRESOURCE(lpIDArray[i]));
        if (!icon)
            return FALSE;
        m_animation.push_back(icon);
    }
    return TRUE;
}

BOOL CMainTrayIcon::ShowIcon()
{
    if (m_bShown)
        return TRUE;
    m_bShown = ::Shell_NotifyIcon(NIM_ADD, &m_nid);
    return m_bShown;
}

BOOL CMainTrayIcon::HideIcon()
{
    if (!m_bShown)
        return TRUE;
    m_bShown = FALSE;
    return ::Shell_NotifyIcon(NIM_DELETE, &m_nid);
}

void CMainTrayIcon::MinimizeToTray(CWnd* pWnd) { pWnd->ShowWindow(SW_HIDE); }

void CMainTrayIcon::RestoreFromTray(CWnd* pWnd)
{
    pWnd->ShowWindow(SW_RESTORE);
    pWnd->SetForegroundWindow();
}

LRESULT CMainTrayIcon::OnTrayNotification(WPARAM wParam, LPARAM lParam)
{
    if (wParam != m_nid.uID || !m_pOwner)
        return 0;
    if (lParam == WM_RBUTTONUP) {
        CMenu menu;
        if (!menu.LoadMenu(m_uMenuID))
            return 0;
        CMenu* popup = menu.GetSubMenu(0);
        if (!popup)
            return 0;
        ::SetMenuDefaultItem(popup->m_hMenu, m_uDefMenuItemID, FALSE);
        POINT pt{};
        ::GetCursorPos(&pt);
        m_pOwner->SetForegroundWindow();
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, m_pOwner);
    } else if (lParam == WM_LBUTTONDBLCLK) {
        m_pOwner->SendMessage(WM_COMMAND, m_uDefMenuItemID, 0);
    }
    return 0;
}
