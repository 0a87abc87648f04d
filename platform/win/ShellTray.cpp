#include "platform/win/ShellTray.h"

#include "platform/win/Window.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <mutex>

namespace tavrin::win {

namespace {

struct TrayState {
    std::mutex lock;
    std::vector<TrayIcon> icons;
    TrayView* view = nullptr;
    bool available = true;
    UINT taskbarEdge = ABE_BOTTOM;
    RECT taskbar{};
};

TrayState& State()
{
    static TrayState* state = new TrayState;
    return *state;
}

std::vector<TrayIcon>::iterator Find(std::vector<TrayIcon>& icons, HWND hwnd, UINT id)
{
    return std::find_if(icons.begin(), icons.end(), [&](const TrayIcon& i) { return i.hwnd == hwnd && i.id == id; });
}

// Copies the fields the flags name.
void Apply(TrayIcon& icon, const NOTIFYICONDATAA& data)
{
    if (data.uFlags & NIF_MESSAGE)
        icon.callbackMessage = data.uCallbackMessage;
    if (data.uFlags & NIF_ICON)
        icon.icon = data.hIcon;
    if (data.uFlags & NIF_TIP)
        icon.tip.assign(data.szTip, strnlen(data.szTip, sizeof data.szTip));
    if ((data.uFlags & NIF_STATE) && (data.dwStateMask & NIS_HIDDEN))
        icon.hidden = (data.dwState & NIS_HIDDEN) != 0;
}

} // namespace

void SetTrayView(TrayView* view)
{
    TrayState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.view = view;
}

void SetTrayAvailable(bool available)
{
    TrayState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.available = available;
}

bool IsTrayAvailable()
{
    TrayState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.view ? s.view->IsAvailable() : s.available;
}

std::vector<TrayIcon> GetTrayIcons()
{
    TrayState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.icons;
}

void ClearTrayIcons()
{
    TrayState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.view)
        for (const TrayIcon& icon : s.icons)
            s.view->Remove(icon.hwnd, icon.id);
    s.icons.clear();
}

bool NotifyTrayIcon(HWND hwnd, UINT id, UINT mouseMessage)
{
    UINT callback = 0;
    {
        TrayState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        auto it = Find(s.icons, hwnd, id);
        if (it == s.icons.end() || it->hidden || !it->callbackMessage)
            return false;
        callback = it->callbackMessage;
    }
    return PostMessageA(hwnd, callback, id, static_cast<LPARAM>(mouseMessage)) != FALSE;
}

void TaskbarCreated()
{
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    {
        TrayState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.view)
            for (const TrayIcon& icon : s.icons)
                s.view->Show(icon);
    }
    PostMessageA(HWND_BROADCAST, message, 0, 0);
}

void SetTaskbarRect(UINT edge, const RECT& rect)
{
    TrayState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.taskbarEdge = edge;
    s.taskbar = rect;
}

} // namespace tavrin::win

using namespace tavrin::win;

BOOL Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data)
{
    // An icon may be deleted after its window is gone; only a new one needs a live window.
    if (!data || data->cbSize < offsetof(NOTIFYICONDATAA, szTip) ||
        (message == NIM_ADD && !IsWindow(data->hWnd)))
        return FALSE;
    // Older, shorter records carry no state.
    NOTIFYICONDATAA record{};
    std::memcpy(&record, data, std::min<size_t>(data->cbSize, sizeof record));
    if (record.cbSize < offsetof(NOTIFYICONDATAA, szInfo))
        record.uFlags &= ~NIF_STATE;
    record.szTip[sizeof record.szTip - 1] = '\0';

    TrayState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    const bool available = s.view ? s.view->IsAvailable() : s.available;
    auto it = Find(s.icons, record.hWnd, record.uID);
    switch (message) {
    case NIM_ADD: {
        if (!available || it != s.icons.end())
            return FALSE;
        TrayIcon icon;
        icon.hwnd = record.hWnd;
        icon.id = record.uID;
        Apply(icon, record);
        s.icons.push_back(icon);
        if (s.view)
            s.view->Show(icon);
        return TRUE;
    }
    case NIM_MODIFY:
        if (it == s.icons.end())
            return FALSE;
        Apply(*it, record);
        if (s.view)
            s.view->Show(*it);
        return TRUE;
    case NIM_DELETE:
        if (it == s.icons.end())
            return FALSE;
        s.icons.erase(it);
        if (s.view)
            s.view->Remove(record.hWnd, record.uID);
        return TRUE;
    case NIM_SETFOCUS:
        if (it == s.icons.end())
            return FALSE;
        for (TrayIcon& icon : s.icons)
            icon.focused = &icon == &*it;
        return TRUE;
    case NIM_SETVERSION:
        return it != s.icons.end();
    default:
        return FALSE;
    }
}

UINT_PTR SHAppBarMessage(DWORD message, PAPPBARDATA data)
{
    if (message != ABM_GETTASKBARPOS || !data)
        return FALSE;
    TrayState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.taskbar.right <= s.taskbar.left || s.taskbar.bottom <= s.taskbar.top)
        return FALSE;
    data->uEdge = s.taskbarEdge;
    data->rc = s.taskbar;
    return TRUE;
}
