// One icon in the taskbar's notification area: shows, hides, re-adds and
// removes it, changes its picture and tooltip, animates it on a timer,
// forwards mouse events on it to an owner window (with a default context
// menu and double-click command), adds it again when the taskbar comes back,
// and moves a frame window to and from the tray. Its own hidden popup window
// receives the icon's callback message. UI thread only.
#pragma once

#include "platform/mfc/Wnd.h"
#include "platform/win/ShellTray.h"
#include "toolkit/commandbars/XTPIconHolder.h"

#include <vector>

// The icon's callback message to the tray window and then to the owner.
#define WM_TRAY_NOTIFY 0x0DD8

// The registered "TaskbarCreated" message.
UINT XTGetTaskbarCreatedMessage();

class CXTTrayIconWnd : public CWnd {
public:
    CXTTrayIconWnd();
    ~CXTTrayIconWnd() override;

    using CWnd::Create;
    // The short form: no menu, default item 0 by command.
    virtual BOOL Create(LPCTSTR lpszTooltip, DWORD dwUnused, CWnd* pOwnerWnd, UINT uIconID);
    // Makes the callback window; the icon is shown by the first ShowIcon.
    virtual BOOL Create(LPCTSTR lpszTooltip, CWnd* pOwnerWnd, UINT uIconID, UINT uMenuID, UINT uDefMenuItemID,
                        BOOL bDefMenuItemByPos);
    virtual void StopAnimation();
    virtual void StartAnimation(UINT uElapse);
    virtual BOOL SetAnimationIcons(const UINT* lpIDArray, const CString* lpStrTipArray, int nIDCount)
    {
        return SetAnimationIcons(lpIDArray, nIDCount, lpStrTipArray);
    }
    // Icon resource ids and, optionally, one tooltip per frame.
    virtual BOOL SetAnimationIcons(const UINT* lpIDArray, int nIDCount, const CString* lpStrTipArray);
    // The taskbar came back or the work area changed: adds the icon again
    // when its last add failed.
    virtual BOOL AddIcon();
    // Takes the window off the taskbar by parenting it to a hidden window.
    virtual BOOL HideFromTaskbar(HWND hWnd);
    virtual void RemoveAnimationIcons();
    virtual BOOL SetTooltipText(const CString& strTipText);
    virtual BOOL SetIcon(UINT nIDResource, LPCTSTR lpszUnused);
    virtual void StopAnimation(int nUnused) { (void)nUnused; StopAnimation(); }
    virtual void StartAnimation(UINT_PTR nIDEvent, UINT uElapse)
    {
        m_nIDEvent = nIDEvent;
        StartAnimation(uElapse);
    }
    virtual LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);

    BOOL SetIcon(UINT nIDResource);
    BOOL SetIcon(HICON hIcon);
    BOOL SetTooltipText(LPCTSTR lpszTipText);
    CString GetTooltipText() const;
    HICON GetIcon() const { return m_niData.hIcon; }

    BOOL ShowIcon();
    BOOL HideIcon();
    BOOL RemoveIcon();

    void MinimizeToTray(HWND hWnd);
    void RestoreFromTray(HWND hWnd);
    // Where the taskbar shows its icons; FALSE when nothing tells.
    static BOOL GetTrayWindowRect(CRect& rect);

    BOOL IsHidden() const { return m_bHidden; }
    BOOL IsRemoved() const { return m_bRemoved; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    struct TRAYICONDATA {
        HICON hIcon;
        CString strToolTip;
    };

    BOOL ShellNotify(DWORD dwMessage);
    // Deletes what the taskbar may still hold and adds the icon anew.
    BOOL CreateIconAgain();
    // NIM_ADD with the flags; the states follow the result.
    BOOL AddToTaskbar(UINT uFlags);
    static BOOL IsAnimating();

    void OnTimer(UINT_PTR nIDEvent);
    void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);

    UINT m_uFlags = 0;       // the flags an icon is added with again
    UINT m_nIconID = 0;      // the normal icon's resource id
    UINT_PTR m_nIDEvent = 1001;
    int m_nCounter = 0;      // the animation's current frame
    UINT m_uDefMenuItemID = 0;
    bool m_bDefMenuItemByPos = true;
    bool m_bHidden = true;
    bool m_bRemoved = true;
    bool m_bAddIcon = false; // the last add failed: add when the taskbar comes back
    HWND m_hWndNotify = nullptr;
    CWnd m_wndMinimize;      // the parking window
    int m_iMaxTipSize = 64;
    CString m_strToolTip;
    CXTPIconHolder m_hIcon;
    std::vector<TRAYICONDATA> m_arTrayIcons;
    NOTIFYICONDATA m_niData{};

    DECLARE_MESSAGE_MAP()
};
