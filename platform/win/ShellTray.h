// The notification-area icon service behind Shell_NotifyIcon, and the
// taskbar's position (SHAppBarMessage). The service keeps every icon in a
// model; a tray view shows them (a GTK status icon when the desktop has a
// tray). Without a tray, adding an icon fails, so the program never hides a
// window it could not bring back. Mouse events on an icon reach its window as
// the icon's callback message (wParam the icon id, lParam the mouse message).
// When a tray appears, "TaskbarCreated" is broadcast to every top-level window;
// icons already added stay shown.
#pragma once

#include "platform/win/WinMessage.h"

#include <functional>
#include <string>
#include <vector>

#define NIM_ADD 0x00000000
#define NIM_MODIFY 0x00000001
#define NIM_DELETE 0x00000002
#define NIM_SETFOCUS 0x00000003
#define NIM_SETVERSION 0x00000004

#define NIF_MESSAGE 0x00000001
#define NIF_ICON 0x00000002
#define NIF_TIP 0x00000004
#define NIF_STATE 0x00000008
#define NIF_INFO 0x00000010

#define NIS_HIDDEN 0x00000001
#define NIS_SHAREDICON 0x00000002

#define NIN_SELECT (WM_USER + 0)
#define NIN_KEYSELECT (WM_USER + 1)

// The record with the state, balloon and version fields.
struct NOTIFYICONDATAA {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    CHAR szInfo[256];
    union {
        UINT uTimeout;
        UINT uVersion;
    };
    CHAR szInfoTitle[64];
    DWORD dwInfoFlags;
};
typedef NOTIFYICONDATAA NOTIFYICONDATA;
typedef NOTIFYICONDATAA* PNOTIFYICONDATAA;
typedef NOTIFYICONDATAA* PNOTIFYICONDATA;

BOOL Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data);
inline BOOL Shell_NotifyIcon(DWORD message, PNOTIFYICONDATA data) { return Shell_NotifyIconA(message, data); }

#define ABM_GETTASKBARPOS 0x00000005
#define ABE_LEFT 0
#define ABE_TOP 1
#define ABE_RIGHT 2
#define ABE_BOTTOM 3

struct APPBARDATA {
    DWORD cbSize;
    HWND hWnd;
    UINT uCallbackMessage;
    UINT uEdge;
    RECT rc;
    LPARAM lParam;
};
typedef APPBARDATA* PAPPBARDATA;

// Only ABM_GETTASKBARPOS: the panel's edge and rectangle; FALSE when the
// desktop has no panel along an edge of the screen.
UINT_PTR SHAppBarMessage(DWORD message, PAPPBARDATA data);

namespace tavrin::win {

// One icon as the service keeps it.
struct TrayIcon {
    HWND hwnd = nullptr;
    UINT id = 0;
    UINT callbackMessage = 0; // 0: none set
    HICON icon = nullptr;
    std::string tip; // GBK
    bool hidden = false;
    bool focused = false;
};

// Shows the model's icons on a desktop. Called on the thread that changed the model.
class TrayView {
public:
    virtual ~TrayView() = default;
    virtual bool IsAvailable() = 0;
    virtual void Show(const TrayIcon& icon) = 0; // added or changed
    virtual void Remove(HWND hwnd, UINT id) = 0;
};

// The installed view; null keeps the recorded model alone (tests), which
// counts as a tray unless SetTrayAvailable(false).
void SetTrayView(TrayView* view);
void SetTrayAvailable(bool available);
bool IsTrayAvailable();

// The icons in the order they were added.
std::vector<TrayIcon> GetTrayIcons();
void ClearTrayIcons();

// A mouse event on an icon: posts its callback message. False when no such
// icon, it is hidden or it has no callback message.
bool NotifyTrayIcon(HWND hwnd, UINT id, UINT mouseMessage);
// A tray appeared (again): broadcasts "TaskbarCreated" and shows the icons.
void TaskbarCreated();

// The panel along a screen edge, for ABM_GETTASKBARPOS; the presenter sets it
// from the desktop's work area. An empty rectangle: no panel.
void SetTaskbarRect(UINT edge, const RECT& rect);

} // namespace tavrin::win
