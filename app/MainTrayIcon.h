// The main window's notification-area icon: a hidden window that owns the
// icon, shows the tray menu on a right click and brings the frame back on
// the default item. The frame is only hidden while it sits in the tray.
#pragma once

#include "platform/mfc/Wnd.h"
#include "platform/win/ShellTray.h"

#include <vector>

#define WM_TRAY_NOTIFY (WM_USER + 200)

class CMainTrayIcon : public CWnd {
public:
    CMainTrayIcon() = default;
    ~CMainTrayIcon() override;

    // The icon is made but not yet placed in the notification area.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Woverloaded-virtual"
#endif
    BOOL Create(LPCTSTR lpszTooltip, CWnd* pOwnerWnd, UINT uIconID, UINT uMenuID, UINT uDefMenuItemID,
                BOOL bDefMenuItemByPos);
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
    BOOL SetAnimationIcons(const UINT* lpIDArray, int nIDCount);
    // Places the icon; FALSE when the desktop has no notification area.
    BOOL ShowIcon();
    BOOL HideIcon();
    BOOL IsShown() const { return m_bShown; }
    void MinimizeToTray(CWnd* pWnd);
    void RestoreFromTray(CWnd* pWnd);

    LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);

protected:
    NOTIFYICONDATA m_nid{};
    CWnd* m_pOwner = nullptr;
    UINT m_uMenuID = 0;
    UINT m_uDefMenuItemID = 0;
    std::vector<HICON> m_animation;
    BOOL m_bShown = FALSE;
    DECLARE_MESSAGE_MAP()
};
