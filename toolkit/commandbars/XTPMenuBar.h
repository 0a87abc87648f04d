// The frame's menu as a command bar: built from a menu resource, it takes
// the frame's own menu away, opens its titles as popup bars and answers the
// menu key (F10, or Alt pressed and released alone). The frame of this
// library is never a multiple-document one, so the child-window buttons and
// the menu switching of such frames stay idle here.
#pragma once

#include "toolkit/commandbars/XTPToolBar.h"

class CXTPMenuBar : public CXTPToolBar {
    DECLARE_SERIAL(CXTPMenuBar)
public:
    CXTPMenuBar();
    ~CXTPMenuBar() override;

    // With an id, the controls come from that menu; FALSE when it cannot be
    // loaded or gives no control (the frame keeps its menu then). With any
    // id: the frame is watched, the system-command icons are registered and
    // the frame's own menu is taken from it and kept.
    BOOL LoadMenuBar(UINT nIDResource);
    // Null without a multiple-document frame.
    HWND GetActiveMdiChild(BOOL* pbMaximized = nullptr) const;
    // The child-window buttons; none without an active maximised child.
    void UpdateMDIButtons();
    void Reset() override;
    void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;

    UINT GetMenuResource() const { return m_nIDResource; }
    UINT GetCurrentMenuResource() const { return m_nIDResourceCurrent; }
    // The menu the frame had before the bar replaced it (owned by the bar).
    HMENU GetDefaultMenu() const { return m_hMenuDefault; }

    void OnTimer(UINT_PTR nIDEvent);

protected:
    // Follows the active child window; nothing to follow without one.
    void SyncActiveMdiChild();

    BOOL m_bMdiApp = FALSE;
    HWND m_hwndHookedChild = nullptr;
    HMENU m_hMenuDefault = nullptr;
    UINT m_nIDResource = 0;
    UINT m_nIDResourceCurrent = 0;

    DECLARE_MESSAGE_MAP()
};

// The posted message that refreshes the child-window buttons later.
#define XTP_TID_MDI_REFRESH 12223
