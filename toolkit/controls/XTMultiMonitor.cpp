#include "toolkit/controls/XTMultiMonitor.h"

#include "platform/mfc/Wnd.h"
#include "platform/win/OptionalLibrary.h"

namespace {

template <typename Fn>
Fn Lookup(HMODULE module, LPCSTR name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

} // namespace

BOOL CXTMultiMonitor::Init()
{
    if (!m_bInitialized) {
        m_bInitialized = TRUE;
        if (HMODULE user = GetModuleHandleA("USER32")) {
            m_pfnGetSystemMetrics = Lookup<PFNGETSYSTEMMETRICS>(user, "GetSystemMetrics");
            m_pfnMonitorFromWindow = Lookup<PFNMONITORFROMWINDOW>(user, "MonitorFromWindow");
            m_pfnMonitorFromRect = Lookup<PFNMONITORFROMRECT>(user, "MonitorFromRect");
            m_pfnMonitorFromPoint = Lookup<PFNMONITORFROMPOINT>(user, "MonitorFromPoint");
            m_pfnGetMonitorInfo = Lookup<PFNGETMONITORINFO>(user, "GetMonitorInfoA");
        }
        if (!m_pfnGetSystemMetrics || !m_pfnMonitorFromWindow || !m_pfnMonitorFromRect || !m_pfnMonitorFromPoint ||
            !m_pfnGetMonitorInfo) {
            m_pfnGetSystemMetrics = nullptr;
            m_pfnMonitorFromWindow = nullptr;
            m_pfnMonitorFromRect = nullptr;
            m_pfnMonitorFromPoint = nullptr;
            m_pfnGetMonitorInfo = nullptr;
        }
    }
    return m_pfnGetMonitorInfo != nullptr;
}

CRect CXTMultiMonitor::WorkAreaOf(HMONITOR hMonitor)
{
    if (hMonitor) {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (m_pfnGetMonitorInfo(hMonitor, &info))
            return CRect(info.rcWork);
    }
    CRect work;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

CRect CXTMultiMonitor::GetWorkArea(LPCRECT lpRect)
{
    if (!Init() || !lpRect)
        return WorkAreaOf(nullptr);
    return WorkAreaOf(m_pfnMonitorFromRect(lpRect, MONITOR_DEFAULTTONULL));
}

CRect CXTMultiMonitor::GetWorkArea(const CWnd* pWnd)
{
    if (!Init())
        return WorkAreaOf(nullptr);
    return WorkAreaOf(m_pfnMonitorFromWindow(pWnd ? pWnd->GetSafeHwnd() : nullptr, MONITOR_DEFAULTTONULL));
}

CRect CXTMultiMonitor::GetWorkAreaAtCursor()
{
    if (!Init())
        return WorkAreaOf(nullptr);
    POINT cursor{0, 0};
    ::GetCursorPos(&cursor);
    return WorkAreaOf(m_pfnMonitorFromPoint(cursor, MONITOR_DEFAULTTONULL));
}

CXTMultiMonitor& XTMultiMonitor()
{
    static CXTMultiMonitor monitors;
    return monitors;
}

CRect XTGetWorkAreaOfRect(LPCRECT lpRect)
{
    return XTMultiMonitor().GetWorkArea(lpRect);
}

CRect XTGetWorkAreaOfWindow(CWnd* pWnd)
{
    return XTMultiMonitor().GetWorkArea(pWnd);
}

CRect XTGetWorkAreaAtCursor()
{
    return XTMultiMonitor().GetWorkAreaAtCursor();
}
