// Work areas of the monitor under a rectangle, a window or the cursor,
// through the multi-monitor functions when the system has them; otherwise
// (or without a monitor there) the primary monitor's work area.
#pragma once

#include "platform/mfc/Rect.h"
#include "platform/win/SystemProfile.h"

class CWnd;

class CXTMultiMonitor {
public:
    CXTMultiMonitor() = default;
    CXTMultiMonitor(const CXTMultiMonitor&) = delete;
    CXTMultiMonitor& operator=(const CXTMultiMonitor&) = delete;

    // Looks the five functions up once; TRUE when they were all found.
    BOOL Init();

    CRect GetWorkArea(LPCRECT lpRect);
    CRect GetWorkArea(const CWnd* pWnd);
    CRect GetWorkAreaAtCursor();

private:
    typedef int(WINAPI* PFNGETSYSTEMMETRICS)(int);
    typedef HMONITOR(WINAPI* PFNMONITORFROMWINDOW)(HWND, DWORD);
    typedef HMONITOR(WINAPI* PFNMONITORFROMRECT)(LPCRECT, DWORD);
    typedef HMONITOR(WINAPI* PFNMONITORFROMPOINT)(POINT, DWORD);
    typedef BOOL(WINAPI* PFNGETMONITORINFO)(HMONITOR, LPMONITORINFO);

    CRect WorkAreaOf(HMONITOR hMonitor);

    PFNGETSYSTEMMETRICS m_pfnGetSystemMetrics = nullptr;
    PFNMONITORFROMWINDOW m_pfnMonitorFromWindow = nullptr;
    PFNMONITORFROMRECT m_pfnMonitorFromRect = nullptr;
    PFNMONITORFROMPOINT m_pfnMonitorFromPoint = nullptr;
    PFNGETMONITORINFO m_pfnGetMonitorInfo = nullptr;
    BOOL m_bInitialized = FALSE;
};

// The process-wide lookup, built on first use.
CXTMultiMonitor& XTMultiMonitor();

CRect XTGetWorkAreaOfRect(LPCRECT lpRect);
CRect XTGetWorkAreaOfWindow(CWnd* pWnd);
CRect XTGetWorkAreaAtCursor();
