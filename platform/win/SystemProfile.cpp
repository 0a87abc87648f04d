#include "platform/win/SystemProfile.h"

#include "platform/gdi/GdiSystemColors.h"
#include "platform/win/WindowGeometry.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

namespace tavrin::win {

namespace {

constexpr int kMetricCount = 100;
constexpr int kColorCount = tavrin::kClassicSysColorCount;
constexpr int kTaskbarHeight = 30;

// The fonts of a Chinese system: SimSun 9 points.
LOGFONTA SystemFont(LONG weight)
{
    LOGFONTA lf{};
    lf.lfHeight = -12;
    lf.lfWeight = weight;
    lf.lfCharSet = GB2312_CHARSET;
    std::strcpy(lf.lfFaceName, "\xcb\xce\xcc\xe5");
    return lf;
}

struct Profile {
    std::mutex lock;
    LOGFONTA captionFont;
    LOGFONTA smallCaptionFont;
    LOGFONTA menuFont;
    LOGFONTA statusFont;
    LOGFONTA messageFont;
    LOGFONTA iconTitleFont;
    int metrics[kMetricCount];
    bool metricSet[kMetricCount];
    COLORREF colors[kColorCount];
    std::vector<MonitorProfile> monitors;
    std::map<UINT, UINT> parameters;
    VersionProfile version;
    UINT doubleClickTime = 500;

    Profile() { Reset(); }

    void Reset()
    {
        std::fill(std::begin(metrics), std::end(metrics), 0);
        std::fill(std::begin(metricSet), std::end(metricSet), false);
        for (int i = 0; i < kColorCount; ++i)
            colors[i] = tavrin::ClassicSysColor(i);
        const std::pair<int, int> base[] = {
            {SM_CXVSCROLL, 16},     {SM_CYHSCROLL, 16},    {SM_CYCAPTION, 19},     {SM_CXBORDER, 1},
            {SM_CYBORDER, 1},       {SM_CXDLGFRAME, 3},    {SM_CYDLGFRAME, 3},     {SM_CYVTHUMB, 16},
            {SM_CXHTHUMB, 16},      {SM_CXICON, 32},       {SM_CYICON, 32},        {SM_CXCURSOR, 32},
            {SM_CYCURSOR, 32},      {SM_CYMENU, 19},       {SM_MOUSEPRESENT, 1},   {SM_CYVSCROLL, 16},
            {SM_CXHSCROLL, 16},     {SM_CXMIN, 112},       {SM_CYMIN, 27},         {SM_CXSIZE, 18},
            {SM_CYSIZE, 18},        {SM_CXFRAME, 4},       {SM_CYFRAME, 4},        {SM_CXMINTRACK, 112},
            {SM_CYMINTRACK, 27},    {SM_CXDOUBLECLK, 4},   {SM_CYDOUBLECLK, 4},    {SM_CXICONSPACING, 75},
            {SM_CYICONSPACING, 75}, {SM_DBCSENABLED, 1},   {SM_CMOUSEBUTTONS, 3},  {SM_CXEDGE, 2},
            {SM_CYEDGE, 2},         {SM_CXMINSPACING, 160}, {SM_CYMINSPACING, 24}, {SM_CXSMICON, 16},
            {SM_CYSMICON, 16},      {SM_CYSMCAPTION, 16},  {SM_CXSMSIZE, 15},      {SM_CYSMSIZE, 15},
            {SM_CXMENUSIZE, 18},    {SM_CYMENUSIZE, 18},   {SM_ARRANGE, 8},        {SM_CXMINIMIZED, 160},
            {SM_CYMINIMIZED, 24},   {SM_NETWORK, 3},       {SM_CXDRAG, 4},         {SM_CYDRAG, 4},
            {SM_CXMENUCHECK, 13},   {SM_CYMENUCHECK, 13},  {SM_MOUSEWHEELPRESENT, 1}, {SM_SAMEDISPLAYFORMAT, 1},
            {SM_IMMENABLED, 1},     {SM_CXFOCUSBORDER, 1}, {SM_CYFOCUSBORDER, 1},
        };
        for (auto [index, value] : base)
            metrics[index] = value;
        monitors = {MonitorProfile{{0, 0, 1280, 1024}, {0, 0, 1280, 1024 - kTaskbarHeight}}};
        parameters = {
            {SPI_GETBEEP, TRUE},
            {SPI_GETBORDER, 1},
            {SPI_GETKEYBOARDSPEED, 31},
            {SPI_GETKEYBOARDDELAY, 1},
            {SPI_ICONHORIZONTALSPACING, 75},
            {SPI_ICONVERTICALSPACING, 75},
            {SPI_GETICONTITLEWRAP, TRUE},
            {SPI_GETMENUDROPALIGNMENT, FALSE},
            {SPI_GETDRAGFULLWINDOWS, TRUE},
            {SPI_GETSCREENREADER, FALSE},
            {SPI_GETANIMATION, TRUE},
            {SPI_GETFONTSMOOTHING, TRUE},
            {SPI_GETMOUSEHOVERWIDTH, 4},
            {SPI_GETMOUSEHOVERHEIGHT, 4},
            {SPI_GETMOUSEHOVERTIME, 400},
            {SPI_GETWHEELSCROLLLINES, 3},
            {SPI_GETMENUSHOWDELAY, 400},
            {SPI_GETSHOWIMEUI, TRUE},
            {SPI_GETACTIVEWINDOWTRACKING, FALSE},
            {SPI_GETMENUANIMATION, TRUE},
            {SPI_GETCOMBOBOXANIMATION, TRUE},
            {SPI_GETLISTBOXSMOOTHSCROLLING, TRUE},
            {SPI_GETGRADIENTCAPTIONS, TRUE},
            {SPI_GETKEYBOARDCUES, FALSE},
            {SPI_GETHOTTRACKING, TRUE},
            {SPI_GETMENUFADE, FALSE},
            {SPI_GETSELECTIONFADE, TRUE},
            {SPI_GETTOOLTIPANIMATION, TRUE},
            {SPI_GETTOOLTIPFADE, TRUE},
            {SPI_GETCURSORSHADOW, TRUE},
            {SPI_GETFLATMENU, FALSE},
            {SPI_GETDROPSHADOW, TRUE},
            {SPI_GETUIEFFECTS, TRUE},
            {SPI_GETFOREGROUNDLOCKTIMEOUT, 200000},
            {SPI_GETCARETWIDTH, 1},
            {SPI_GETSCREENSAVETIMEOUT, 600},
            {SPI_GETSCREENSAVEACTIVE, FALSE},
        };
        version = VersionProfile();
        doubleClickTime = 500;
        captionFont = smallCaptionFont = SystemFont(FW_BOLD);
        menuFont = statusFont = messageFont = iconTitleFont = SystemFont(FW_NORMAL);
    }

    RECT VirtualScreen() const
    {
        RECT r = monitors.front().rect;
        for (const auto& m : monitors) {
            r.left = std::min(r.left, m.rect.left);
            r.top = std::min(r.top, m.rect.top);
            r.right = std::max(r.right, m.rect.right);
            r.bottom = std::max(r.bottom, m.rect.bottom);
        }
        return r;
    }

    // Caller holds the lock.
    int Metric(int index) const
    {
        if (index < 0 || index >= kMetricCount)
            return 0;
        if (metricSet[index])
            return metrics[index];
        const RECT& screen = monitors.front().rect;
        const RECT& work = monitors.front().work;
        const RECT virt = VirtualScreen();
        switch (index) {
        case SM_CXSCREEN: return screen.right - screen.left;
        case SM_CYSCREEN: return screen.bottom - screen.top;
        case SM_CXFULLSCREEN: return work.right - work.left;
        case SM_CYFULLSCREEN: return work.bottom - work.top - metrics[SM_CYCAPTION];
        case SM_CXMAXIMIZED: return work.right - work.left + 2 * metrics[SM_CXFRAME];
        case SM_CYMAXIMIZED: return work.bottom - work.top + 2 * metrics[SM_CYFRAME];
        case SM_CXMAXTRACK: return virt.right - virt.left + 2 * metrics[SM_CXFRAME] + 4;
        case SM_CYMAXTRACK: return virt.bottom - virt.top + 2 * metrics[SM_CYFRAME] + 4;
        case SM_XVIRTUALSCREEN: return virt.left;
        case SM_YVIRTUALSCREEN: return virt.top;
        case SM_CXVIRTUALSCREEN: return virt.right - virt.left;
        case SM_CYVIRTUALSCREEN: return virt.bottom - virt.top;
        case SM_CMONITORS: return static_cast<int>(monitors.size());
        default: return metrics[index];
        }
    }
};

Profile& Get()
{
    static Profile* profile = new Profile;
    return *profile;
}

COLORREF ProfileColor(int index)
{
    return GetSysColor(index);
}

// The drawing layer's own uses of system colours follow the profile.
const bool g_colorSourceInstalled = (tavrin::SetGdiSysColorSource(&ProfileColor), true);

void Broadcast(UINT message, WPARAM wParam, LPARAM lParam)
{
    SendMessageA(HWND_BROADCAST, message, wParam, lParam);
}

LONG Area(const RECT& r)
{
    return std::max<LONG>(0, r.right - r.left) * std::max<LONG>(0, r.bottom - r.top);
}

LONG DistanceSquared(const RECT& r, POINT pt)
{
    LONG dx = pt.x < r.left ? r.left - pt.x : pt.x >= r.right ? pt.x - r.right + 1 : 0;
    LONG dy = pt.y < r.top ? r.top - pt.y : pt.y >= r.bottom ? pt.y - r.bottom + 1 : 0;
    return dx * dx + dy * dy;
}

HMONITOR MonitorHandle(size_t index)
{
    return reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(0x10000 + index));
}

bool MonitorIndex(HMONITOR monitor, size_t count, size_t* index)
{
    uintptr_t value = reinterpret_cast<uintptr_t>(monitor);
    if (value < 0x10000 || value - 0x10000 >= count)
        return false;
    *index = value - 0x10000;
    return true;
}

} // namespace

void SetMonitors(const std::vector<MonitorProfile>& monitors)
{
    if (monitors.empty())
        return;
    std::lock_guard<std::mutex> lock(Get().lock);
    Get().monitors = monitors;
}

std::vector<MonitorProfile> GetMonitors()
{
    std::lock_guard<std::mutex> lock(Get().lock);
    return Get().monitors;
}

void SetScreenSize(int width, int height)
{
    std::lock_guard<std::mutex> lock(Get().lock);
    Get().monitors = {MonitorProfile{{0, 0, width, height}, {0, 0, width, std::max(0, height - kTaskbarHeight)}}};
}

void SetWorkArea(const RECT& work)
{
    std::lock_guard<std::mutex> lock(Get().lock);
    Get().monitors.front().work = work;
}

void SetSystemColor(int index, COLORREF color)
{
    if (index < 0 || index >= kColorCount)
        return;
    std::lock_guard<std::mutex> lock(Get().lock);
    Get().colors[index] = color;
}

void SetSystemParameter(UINT getAction, UINT value)
{
    std::lock_guard<std::mutex> lock(Get().lock);
    Get().parameters[getAction] = value;
}

UINT GetSystemParameter(UINT getAction)
{
    std::lock_guard<std::mutex> lock(Get().lock);
    auto it = Get().parameters.find(getAction);
    return it == Get().parameters.end() ? 0 : it->second;
}

void SetVersion(const VersionProfile& version)
{
    std::lock_guard<std::mutex> lock(Get().lock);
    Get().version = version;
}

void SetNonClientMetrics(const NONCLIENTMETRICSA& m)
{
    Profile& p = Get();
    std::lock_guard<std::mutex> lock(p.lock);
    p.captionFont = m.lfCaptionFont;
    p.smallCaptionFont = m.lfSmCaptionFont;
    p.menuFont = m.lfMenuFont;
    p.statusFont = m.lfStatusFont;
    p.messageFont = m.lfMessageFont;
    p.metrics[SM_CXVSCROLL] = p.metrics[SM_CYHSCROLL] = m.iScrollWidth;
    p.metrics[SM_CYCAPTION] = m.iCaptionHeight + 1;
    p.metrics[SM_CXSIZE] = m.iCaptionWidth;
    p.metrics[SM_CYSIZE] = m.iCaptionHeight;
    p.metrics[SM_CYSMCAPTION] = m.iSmCaptionHeight + 1;
    p.metrics[SM_CXSMSIZE] = m.iSmCaptionWidth;
    p.metrics[SM_CYSMSIZE] = m.iSmCaptionHeight;
    p.metrics[SM_CYMENU] = m.iMenuHeight + 1;
    p.metrics[SM_CXMENUSIZE] = m.iMenuWidth;
    p.metrics[SM_CYMENUSIZE] = m.iMenuHeight;
}

void SetIconTitleFont(const LOGFONTA& font)
{
    std::lock_guard<std::mutex> lock(Get().lock);
    Get().iconTitleFont = font;
}

void ResetSystemProfile()
{
    std::lock_guard<std::mutex> lock(Get().lock);
    Get().Reset();
}

void SetSystemMetric(int index, int value)
{
    if (index < 0 || index >= kMetricCount)
        return;
    Profile& p = Get();
    std::lock_guard<std::mutex> lock(p.lock);
    if (index == SM_CXSCREEN || index == SM_CYSCREEN) {
        MonitorProfile& m = p.monitors.front();
        LONG& edge = index == SM_CXSCREEN ? m.rect.right : m.rect.bottom;
        LONG& workEdge = index == SM_CXSCREEN ? m.work.right : m.work.bottom;
        const LONG origin = index == SM_CXSCREEN ? m.rect.left : m.rect.top;
        const LONG inset = edge - workEdge; // the taskbar keeps its size
        edge = origin + value;
        workEdge = std::max(origin, edge - inset);
        return;
    }
    p.metrics[index] = value;
    p.metricSet[index] = true;
}

} // namespace tavrin::win

using tavrin::win::Get;
using tavrin::win::MonitorProfile;

int GetSystemMetrics(int index)
{
    std::lock_guard<std::mutex> lock(Get().lock);
    return Get().Metric(index);
}

DWORD GetSysColor(int index)
{
    if (index < 0 || index >= tavrin::win::kColorCount)
        return 0;
    std::lock_guard<std::mutex> lock(Get().lock);
    return Get().colors[index];
}

BOOL SetSysColors(int count, const INT* indexes, const COLORREF* colors)
{
    if (count < 0 || (count && (!indexes || !colors))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (int i = 0; i < count; ++i)
        tavrin::win::SetSystemColor(indexes[i], colors[i]);
    tavrin::win::Broadcast(WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

UINT GetDoubleClickTime()
{
    std::lock_guard<std::mutex> lock(Get().lock);
    return Get().doubleClickTime;
}

BOOL SetDoubleClickTime(UINT ms)
{
    std::lock_guard<std::mutex> lock(Get().lock);
    Get().doubleClickTime = ms ? ms : 500;
    return TRUE;
}

UINT GetCaretBlinkTime()
{
    return 530;
}

BOOL SystemParametersInfoA(UINT action, UINT uiParam, LPVOID pvParam, UINT winIni)
{
    auto& p = Get();
    bool changed = false;
    switch (action) {
    case SPI_GETWORKAREA: {
        if (!pvParam)
            break;
        std::lock_guard<std::mutex> lock(p.lock);
        *static_cast<RECT*>(pvParam) = p.monitors.front().work;
        return TRUE;
    }
    case SPI_SETWORKAREA: {
        std::lock_guard<std::mutex> lock(p.lock);
        p.monitors.front().work = pvParam ? *static_cast<const RECT*>(pvParam) : p.monitors.front().rect;
        changed = true;
        break;
    }
    case SPI_GETANIMATION: {
        auto* info = static_cast<ANIMATIONINFO*>(pvParam);
        if (!info || info->cbSize != sizeof(ANIMATIONINFO) || (uiParam && uiParam != sizeof(ANIMATIONINFO)))
            break;
        info->iMinAnimate = static_cast<int>(tavrin::win::GetSystemParameter(SPI_GETANIMATION));
        return TRUE;
    }
    case SPI_SETANIMATION: {
        auto* info = static_cast<const ANIMATIONINFO*>(pvParam);
        if (!info || info->cbSize != sizeof(ANIMATIONINFO))
            break;
        tavrin::win::SetSystemParameter(SPI_GETANIMATION, info->iMinAnimate ? TRUE : FALSE);
        changed = true;
        break;
    }
    case SPI_GETNONCLIENTMETRICS: {
        auto* m = static_cast<NONCLIENTMETRICSA*>(pvParam);
        if (!m || m->cbSize != sizeof(NONCLIENTMETRICSA))
            break;
        std::lock_guard<std::mutex> lock(p.lock);
        m->iBorderWidth = 1;
        m->iScrollWidth = p.Metric(SM_CXVSCROLL);
        m->iScrollHeight = p.Metric(SM_CYHSCROLL);
        m->iCaptionWidth = p.Metric(SM_CXSIZE);
        m->iCaptionHeight = p.Metric(SM_CYCAPTION) - 1;
        m->lfCaptionFont = p.captionFont;
        m->iSmCaptionWidth = p.Metric(SM_CXSMSIZE);
        m->iSmCaptionHeight = p.Metric(SM_CYSMCAPTION) - 1;
        m->lfSmCaptionFont = p.smallCaptionFont;
        m->iMenuWidth = p.Metric(SM_CXMENUSIZE);
        m->iMenuHeight = p.Metric(SM_CYMENU) - 1;
        m->lfMenuFont = p.menuFont;
        m->lfStatusFont = p.statusFont;
        m->lfMessageFont = p.messageFont;
        return TRUE;
    }
    case SPI_SETNONCLIENTMETRICS: {
        auto* m = static_cast<const NONCLIENTMETRICSA*>(pvParam);
        if (!m || m->cbSize != sizeof(NONCLIENTMETRICSA))
            break;
        tavrin::win::SetNonClientMetrics(*m);
        changed = true;
        break;
    }
    case SPI_GETICONTITLELOGFONT: {
        if (!pvParam || (uiParam && uiParam != sizeof(LOGFONTA)))
            break;
        std::lock_guard<std::mutex> lock(p.lock);
        *static_cast<LOGFONTA*>(pvParam) = p.iconTitleFont;
        return TRUE;
    }
    case SPI_GETHIGHCONTRAST: {
        auto* info = static_cast<HIGHCONTRASTA*>(pvParam);
        if (!info || info->cbSize != sizeof(HIGHCONTRASTA))
            break;
        info->dwFlags = tavrin::win::GetSystemParameter(SPI_GETHIGHCONTRAST) ? HCF_HIGHCONTRASTON : 0;
        info->lpszDefaultScheme = nullptr;
        return TRUE;
    }
    case SPI_GETMOUSE: {
        if (!pvParam)
            break;
        int* values = static_cast<int*>(pvParam);
        values[0] = 6;
        values[1] = 10;
        values[2] = 1;
        return TRUE;
    }
    case SPI_SETDOUBLECLICKTIME:
        SetDoubleClickTime(uiParam);
        changed = true;
        break;
    case SPI_SETDRAGFULLWINDOWS:
    case SPI_SETMOUSEHOVERWIDTH:
    case SPI_SETMOUSEHOVERHEIGHT:
    case SPI_SETMOUSEHOVERTIME:
    case SPI_SETWHEELSCROLLLINES:
        tavrin::win::SetSystemParameter(action - 1, uiParam);
        changed = true;
        break;
    case SPI_SETMENUANIMATION:
    case SPI_SETKEYBOARDCUES:
    case SPI_SETMENUFADE:
    case SPI_SETFLATMENU:
    case SPI_SETDROPSHADOW:
    case SPI_SETUIEFFECTS:
        // These take their value in pvParam.
        tavrin::win::SetSystemParameter(action - 1, pvParam ? TRUE : FALSE);
        changed = true;
        break;
    default: {
        // Plain values: BOOL for the switches, UINT for counts and times.
        std::unique_lock<std::mutex> lock(p.lock);
        auto it = p.parameters.find(action);
        if (it == p.parameters.end())
            break;
        if (!pvParam) {
            lock.unlock();
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (action == SPI_ICONHORIZONTALSPACING || action == SPI_ICONVERTICALSPACING)
            *static_cast<int*>(pvParam) = static_cast<int>(it->second);
        else
            *static_cast<UINT*>(pvParam) = it->second;
        return TRUE;
    }
    }
    if (!changed) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (winIni & SPIF_SENDCHANGE)
        tavrin::win::Broadcast(WM_SETTINGCHANGE, action, 0);
    return TRUE;
}

BOOL GetVersionExA(LPOSVERSIONINFOA info)
{
    if (!info || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) &&
                  info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXA))) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(Get().lock);
    const auto& v = Get().version;
    info->dwMajorVersion = v.major;
    info->dwMinorVersion = v.minor;
    info->dwBuildNumber = v.build;
    info->dwPlatformId = v.platform;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    std::memcpy(info->szCSDVersion, v.servicePack.data(), std::min(v.servicePack.size(), sizeof info->szCSDVersion - 1));
    if (info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXA)) {
        auto* ex = reinterpret_cast<OSVERSIONINFOEXA*>(info);
        ex->wServicePackMajor = v.servicePackMajor;
        ex->wServicePackMinor = 0;
        ex->wSuiteMask = 0x100; // single user
        ex->wProductType = VER_NT_WORKSTATION;
        ex->wReserved = 0;
    }
    return TRUE;
}

DWORD GetVersion()
{
    std::lock_guard<std::mutex> lock(Get().lock);
    const auto& v = Get().version;
    DWORD build = v.platform == VER_PLATFORM_WIN32_NT ? (v.build & 0x7FFF) : 0x8000;
    return (v.major & 0xFF) | ((v.minor & 0xFF) << 8) | (build << 16);
}

HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags)
{
    if (!rect)
        return nullptr;
    std::lock_guard<std::mutex> lock(Get().lock);
    const auto& monitors = Get().monitors;
    // The monitor holding most of the rectangle; an empty rectangle counts as its corner.
    LONG best = 0;
    size_t found = monitors.size();
    for (size_t i = 0; i < monitors.size(); ++i) {
        const RECT& m = monitors[i].rect;
        RECT r{std::max(m.left, rect->left), std::max(m.top, rect->top), std::min(m.right, rect->right),
               std::min(m.bottom, rect->bottom)};
        LONG area = tavrin::win::Area(r);
        if (area > best) {
            best = area;
            found = i;
        }
    }
    if (found == monitors.size()) {
        POINT corner{rect->left, rect->top};
        for (size_t i = 0; i < monitors.size(); ++i)
            if (tavrin::win::DistanceSquared(monitors[i].rect, corner) == 0)
                found = i;
    }
    if (found < monitors.size())
        return tavrin::win::MonitorHandle(found);
    if (flags == MONITOR_DEFAULTTOPRIMARY)
        return tavrin::win::MonitorHandle(0);
    if (flags == MONITOR_DEFAULTTONEAREST) {
        POINT center{(rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2};
        size_t nearest = 0;
        for (size_t i = 1; i < monitors.size(); ++i)
            if (tavrin::win::DistanceSquared(monitors[i].rect, center) <
                tavrin::win::DistanceSquared(monitors[nearest].rect, center))
                nearest = i;
        return tavrin::win::MonitorHandle(nearest);
    }
    return nullptr;
}

HMONITOR MonitorFromPoint(POINT pt, DWORD flags)
{
    RECT r{pt.x, pt.y, pt.x + 1, pt.y + 1};
    return MonitorFromRect(&r, flags);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags)
{
    RECT r;
    if (!GetWindowRect(hwnd, &r))
        return flags == MONITOR_DEFAULTTONULL ? nullptr : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info)
{
    if (!info || (info->cbSize != sizeof(MONITORINFO) && info->cbSize != sizeof(MONITORINFOEXA))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(Get().lock);
    size_t index;
    if (!tavrin::win::MonitorIndex(monitor, Get().monitors.size(), &index)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const MonitorProfile& m = Get().monitors[index];
    info->rcMonitor = m.rect;
    info->rcWork = m.work;
    info->dwFlags = index == 0 ? MONITORINFOF_PRIMARY : 0;
    if (info->cbSize == sizeof(MONITORINFOEXA)) {
        auto* ex = reinterpret_cast<MONITORINFOEXA*>(info);
        std::memset(ex->szDevice, 0, sizeof ex->szDevice);
        std::string name = "\\\\.\\DISPLAY" + std::to_string(index + 1);
        std::memcpy(ex->szDevice, name.data(), std::min(name.size(), sizeof ex->szDevice - 1));
    }
    return TRUE;
}

BOOL EnumDisplayMonitors(HDC hdc, LPCRECT clip, MONITORENUMPROC proc, LPARAM data)
{
    if (!proc || hdc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto monitors = tavrin::win::GetMonitors();
    for (size_t i = 0; i < monitors.size(); ++i) {
        RECT r = monitors[i].rect;
        if (clip) {
            r = RECT{std::max(r.left, clip->left), std::max(r.top, clip->top), std::min(r.right, clip->right),
                     std::min(r.bottom, clip->bottom)};
            if (tavrin::win::Area(r) == 0)
                continue;
        }
        if (!proc(tavrin::win::MonitorHandle(i), nullptr, &r, data))
            break;
    }
    return TRUE;
}
