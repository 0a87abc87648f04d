// The system profile: monitors and work areas, system colours, metrics,
// system parameters and the version the program sees. Defaults describe a
// Windows XP machine with the classic scheme on one 1280x1024 monitor with a
// 30-pixel taskbar at the bottom. Tests and presenters change it through the
// tavrin::win setters; every read goes through the documented calls.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/win/SystemMetrics.h"
#include "platform/win/WinMessage.h"

#include <string>
#include <vector>

// System colours
#define COLOR_SCROLLBAR 0
#define COLOR_BACKGROUND 1
#define COLOR_DESKTOP COLOR_BACKGROUND
#define COLOR_ACTIVECAPTION 2
#define COLOR_INACTIVECAPTION 3
#define COLOR_MENU 4
#define COLOR_WINDOW 5
#define COLOR_WINDOWFRAME 6
#define COLOR_MENUTEXT 7
#define COLOR_WINDOWTEXT 8
#define COLOR_CAPTIONTEXT 9
#define COLOR_ACTIVEBORDER 10
#define COLOR_INACTIVEBORDER 11
#define COLOR_APPWORKSPACE 12
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_BTNFACE 15
#define COLOR_3DFACE COLOR_BTNFACE
#define COLOR_BTNSHADOW 16
#define COLOR_3DSHADOW COLOR_BTNSHADOW
#define COLOR_GRAYTEXT 17
#define COLOR_BTNTEXT 18
#define COLOR_INACTIVECAPTIONTEXT 19
#define COLOR_BTNHIGHLIGHT 20
#define COLOR_BTNHILIGHT COLOR_BTNHIGHLIGHT
#define COLOR_3DHIGHLIGHT COLOR_BTNHIGHLIGHT
#define COLOR_3DHILIGHT COLOR_BTNHIGHLIGHT
#define COLOR_3DDKSHADOW 21
#define COLOR_3DLIGHT 22
#define COLOR_INFOTEXT 23
#define COLOR_INFOBK 24
#define COLOR_HOTLIGHT 26
#define COLOR_GRADIENTACTIVECAPTION 27
#define COLOR_GRADIENTINACTIVECAPTION 28
#define COLOR_MENUHILIGHT 29
#define COLOR_MENUBAR 30

DWORD GetSysColor(int index);
// Sends WM_SYSCOLORCHANGE to every top-level window.
BOOL SetSysColors(int count, const INT* indexes, const COLORREF* colors);

// SystemParametersInfo
#define SPI_GETBEEP 0x0001
#define SPI_GETMOUSE 0x0003
#define SPI_GETBORDER 0x0005
#define SPI_GETKEYBOARDSPEED 0x000A
#define SPI_ICONHORIZONTALSPACING 0x000D
#define SPI_GETSCREENSAVETIMEOUT 0x000E
#define SPI_GETSCREENSAVEACTIVE 0x0010
#define SPI_GETKEYBOARDDELAY 0x0016
#define SPI_ICONVERTICALSPACING 0x0018
#define SPI_GETICONTITLEWRAP 0x0019
#define SPI_GETMENUDROPALIGNMENT 0x001B
#define SPI_SETDOUBLECLICKTIME 0x0020
#define SPI_GETDRAGFULLWINDOWS 0x0026
#define SPI_SETDRAGFULLWINDOWS 0x0025
#define SPI_GETICONTITLELOGFONT 0x001F
#define SPI_GETNONCLIENTMETRICS 0x0029
#define SPI_SETNONCLIENTMETRICS 0x002A
#define SPI_SETWORKAREA 0x002F
#define SPI_GETWORKAREA 0x0030
#define SPI_GETHIGHCONTRAST 0x0042
#define SPI_GETSCREENREADER 0x0046
#define SPI_GETANIMATION 0x0048
#define SPI_SETANIMATION 0x0049
#define SPI_GETFONTSMOOTHING 0x004A
#define SPI_GETMOUSEHOVERWIDTH 0x0062
#define SPI_SETMOUSEHOVERWIDTH 0x0063
#define SPI_GETMOUSEHOVERHEIGHT 0x0064
#define SPI_SETMOUSEHOVERHEIGHT 0x0065
#define SPI_GETMOUSEHOVERTIME 0x0066
#define SPI_SETMOUSEHOVERTIME 0x0067
#define SPI_GETWHEELSCROLLLINES 0x0068
#define SPI_SETWHEELSCROLLLINES 0x0069
#define SPI_GETMENUSHOWDELAY 0x006A
#define SPI_GETSHOWIMEUI 0x006E
#define SPI_GETACTIVEWINDOWTRACKING 0x1000
#define SPI_GETMENUANIMATION 0x1002
#define SPI_SETMENUANIMATION 0x1003
#define SPI_GETCOMBOBOXANIMATION 0x1004
#define SPI_GETLISTBOXSMOOTHSCROLLING 0x1006
#define SPI_GETGRADIENTCAPTIONS 0x1008
#define SPI_GETKEYBOARDCUES 0x100A
#define SPI_SETKEYBOARDCUES 0x100B
#define SPI_GETMENUUNDERLINES SPI_GETKEYBOARDCUES
#define SPI_GETHOTTRACKING 0x100E
#define SPI_GETMENUFADE 0x1012
#define SPI_SETMENUFADE 0x1013
#define SPI_GETSELECTIONFADE 0x1014
#define SPI_GETTOOLTIPANIMATION 0x1016
#define SPI_GETTOOLTIPFADE 0x1018
#define SPI_GETCURSORSHADOW 0x101A
#define SPI_GETFLATMENU 0x1022
#define SPI_SETFLATMENU 0x1023
#define SPI_GETDROPSHADOW 0x1024
#define SPI_SETDROPSHADOW 0x1025
#define SPI_GETUIEFFECTS 0x103E
#define SPI_SETUIEFFECTS 0x103F
#define SPI_GETFOREGROUNDLOCKTIMEOUT 0x2000
#define SPI_GETCARETWIDTH 0x2006

#define SPIF_UPDATEINIFILE 0x0001
#define SPIF_SENDWININICHANGE 0x0002
#define SPIF_SENDCHANGE SPIF_SENDWININICHANGE

struct ANIMATIONINFO {
    UINT cbSize;
    int iMinAnimate;
};

struct HIGHCONTRASTA {
    UINT cbSize;
    DWORD dwFlags;
    LPSTR lpszDefaultScheme;
};
#define HCF_HIGHCONTRASTON 0x00000001

struct NONCLIENTMETRICSA {
    UINT cbSize;
    int iBorderWidth;
    int iScrollWidth;
    int iScrollHeight;
    int iCaptionWidth;
    int iCaptionHeight;
    LOGFONTA lfCaptionFont;
    int iSmCaptionWidth;
    int iSmCaptionHeight;
    LOGFONTA lfSmCaptionFont;
    int iMenuWidth;
    int iMenuHeight;
    LOGFONTA lfMenuFont;
    LOGFONTA lfStatusFont;
    LOGFONTA lfMessageFont;
};
typedef NONCLIENTMETRICSA NONCLIENTMETRICS;
typedef NONCLIENTMETRICSA* LPNONCLIENTMETRICSA;
static_assert(sizeof(NONCLIENTMETRICSA) == 340, "NONCLIENTMETRICSA layout");

// Reads or sets one parameter. Structures must carry their own size.
BOOL SystemParametersInfoA(UINT action, UINT uiParam, LPVOID pvParam, UINT winIni);
inline BOOL SystemParametersInfo(UINT action, UINT uiParam, LPVOID pvParam, UINT winIni)
{
    return SystemParametersInfoA(action, uiParam, pvParam, winIni);
}

UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT ms);
UINT GetCaretBlinkTime();

// Version
#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
typedef OSVERSIONINFOA OSVERSIONINFO;
typedef OSVERSIONINFOA* LPOSVERSIONINFOA;
typedef OSVERSIONINFOA* LPOSVERSIONINFO;

struct OSVERSIONINFOEXA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
};
typedef OSVERSIONINFOEXA OSVERSIONINFOEX;
#define VER_NT_WORKSTATION 0x0000001

// The record's size field must be that of OSVERSIONINFOA or OSVERSIONINFOEXA.
BOOL GetVersionExA(LPOSVERSIONINFOA info);
inline BOOL GetVersionEx(LPOSVERSIONINFOA info) { return GetVersionExA(info); }
// Major in the low byte, minor in the next, build in the high word (NT).
DWORD GetVersion();

// Monitors
#define MONITOR_DEFAULTTONULL 0x00000000
#define MONITOR_DEFAULTTOPRIMARY 0x00000001
#define MONITOR_DEFAULTTONEAREST 0x00000002
#define MONITORINFOF_PRIMARY 0x00000001
#define CCHDEVICENAME 32

struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
typedef MONITORINFO* LPMONITORINFO;

struct MONITORINFOEXA {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
    CHAR szDevice[CCHDEVICENAME];
};
typedef MONITORINFOEXA MONITORINFOEX;

typedef BOOL(CALLBACK* MONITORENUMPROC)(HMONITOR, HDC, LPRECT, LPARAM);

HMONITOR MonitorFromPoint(POINT pt, DWORD flags);
HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags);
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
// cbSize 40 (MONITORINFO) or 72 (MONITORINFOEXA).
BOOL GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info);
inline BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFOEXA* info)
{
    return GetMonitorInfoA(monitor, reinterpret_cast<LPMONITORINFO>(info));
}
inline BOOL GetMonitorInfo(HMONITOR monitor, LPMONITORINFO info) { return GetMonitorInfoA(monitor, info); }
// Only without a device context: every monitor meeting the clip rectangle.
BOOL EnumDisplayMonitors(HDC hdc, LPCRECT clip, MONITORENUMPROC proc, LPARAM data);

namespace tavrin::win {

struct MonitorProfile {
    RECT rect;
    RECT work;
};

struct VersionProfile {
    DWORD major = 5;
    DWORD minor = 1;
    DWORD build = 2600;
    DWORD platform = VER_PLATFORM_WIN32_NT;
    std::string servicePack = "Service Pack 2";
    WORD servicePackMajor = 2;
};

// The first monitor is the primary one; an empty list is refused.
void SetMonitors(const std::vector<MonitorProfile>& monitors);
std::vector<MonitorProfile> GetMonitors();
// One monitor of this size with a 30-pixel taskbar at its bottom.
void SetScreenSize(int width, int height);
// The primary monitor's work area (SPI_SETWORKAREA does the same).
void SetWorkArea(const RECT& work);
void SetSystemColor(int index, COLORREF color);
// A plain value parameter (BOOL or UINT answer) by its SPI_GET code.
void SetSystemParameter(UINT getAction, UINT value);
UINT GetSystemParameter(UINT getAction);
void SetVersion(const VersionProfile& version);
// The non-client fonts and sizes (SPI_GETNONCLIENTMETRICS) and the icon
// title font; the sizes also set the matching metrics.
void SetNonClientMetrics(const NONCLIENTMETRICSA& metrics);
void SetIconTitleFont(const LOGFONTA& font);
// Everything back to the defaults.
void ResetSystemProfile();

} // namespace tavrin::win
