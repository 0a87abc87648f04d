// The bars that track on this thread, in the order they started (the first
// is the root of the open menu chain). A thread mouse hook closes them when
// the user clicks elsewhere, and a polling timer tells a bar window that the
// mouse has left it even when the mouse left too fast to be seen.
#pragma once

#include "platform/win/WinMessage.h"

#include <vector>

class CXTPCommandBar;

class CXTPMouseManager {
public:
    CXTPMouseManager();
    ~CXTPMouseManager();
    CXTPMouseManager(const CXTPMouseManager&) = delete;
    CXTPMouseManager& operator=(const CXTPMouseManager&) = delete;

    // Another bar's selection goes when the first bar starts tracking.
    void SetTrack(CXTPCommandBar* pBar);
    void RemoveTrack(CXTPCommandBar* pBar);
    // The root stops tracking, and its popups with it.
    void SendTrackLost();
    BOOL IsTracked(CXTPCommandBar* pBar) const;
    int GetTrackedCount() const { return static_cast<int>(m_arrTracked.size()); }
    CXTPCommandBar* GetTrackedBar(int nIndex) const;

    // Whether the foreground window is the last active popup of the
    // window's top-level parent.
    static BOOL IsTopParentActive(HWND hWnd);
    // Watches the window until the mouse leaves it; a window watched before
    // gets WM_MOUSELEAVE at once.
    void TrackMouseLeave(HWND hWnd);
    HWND GetMouseLeaveWindow() const { return m_hwndLeave; }

    CXTPCommandBar* GetSelectedBar() const { return m_pSelected; }
    void SetSelectedBar(CXTPCommandBar* pBar) { m_pSelected = pBar; }

    // While locked, hot tracking, leave clearing and closing on a release
    // wait: list boxes and popups raise it around their own mouse loops.
    void LockTracking() { ++m_nLock; }
    void UnlockTracking() { --m_nLock; }
    BOOL IsTrackingLocked() const { return m_nLock > 0; }

    void SetForceExpanded(BOOL bForceExpanded) { m_bForceExpanded = bForceExpanded; }
    BOOL IsForceExpanded() const { return m_bForceExpanded; }
    // The next left-button release is swallowed.
    void SetIgnoreRelease() { m_bIgnoreRelease = TRUE; }
    BOOL IsIgnoreRelease() const { return m_bIgnoreRelease; }
    // In customize mode a press inside such a window leaves the bars open.
    void AddTrustedWindow(HWND hWnd);
    void RemoveTrustedWindow(HWND hWnd);

    BOOL IsMouseHooked() const { return m_hHookMouse != nullptr; }

    enum { TID_MOUSELEAVE = 113341, MOUSELEAVE_ELAPSE = 50 };

private:
    static LRESULT CALLBACK MouseProc(int nCode, WPARAM wParam, LPARAM lParam);
    static void CALLBACK MouseLeaveTimerProc(HWND hWnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime);
    // Tells the tracked bars about a mouse message outside all of them;
    // always 0: the bars only watch.
    int ProcessHook(UINT nMessage, POINT point);
    BOOL IsTrustedPoint(POINT point) const;

    int m_nLock = 0;
    std::vector<CXTPCommandBar*> m_arrTracked;
    HHOOK m_hHookMouse = nullptr;
    CXTPCommandBar* m_pSelected = nullptr;
    HWND m_hwndLeave = nullptr;
    BOOL m_bForceExpanded = FALSE;
    std::vector<HWND> m_arrTrusted;
    BOOL m_bIgnoreRelease = FALSE;
};

// The calling thread's mouse manager, made on first use.
CXTPMouseManager* XTPMouseManager();
