#include "platform/win/WindowQuery.h"

#include "platform/win/Input.h"
#include "platform/gdi/Region.h"
#include "platform/win/WindowGeometry.h"

#include <cstring>
#include <strings.h>

namespace tavrin::win {

namespace {

bool Contains(const Window& window, POINT pt)
{
    RECT r = ScreenRect(window);
    if (!PtInRect(&r, pt))
        return false;
    auto region = window.GetRegion();
    return !region || region->Contains(pt.x - r.left, pt.y - r.top);
}

bool Eligible(const Window& window)
{
    const LONG style = window.GetStyle();
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

bool Transparent(HWND hwnd, POINT pt)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || window->GetThreadId() != GetCurrentThreadId())
        return false;
    return SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)) == HTTRANSPARENT;
}

HWND Search(HWND hwnd, POINT pt)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !Eligible(*window) || !Contains(*window, pt))
        return nullptr;
    RECT client = ScreenClientRect(*window);
    if (PtInRect(&client, pt)) {
        for (HWND child : window->GetChildren())
            if (HWND found = Search(child, pt))
                return found;
    }
    return Transparent(hwnd, pt) ? nullptr : hwnd;
}

std::string Key(LPCSTR name)
{
    if (IS_INTRESOURCE(name))
        return "#" + std::to_string(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    return name;
}

void Collect(HWND parent, std::vector<HWND>& out)
{
    auto window = Window::FromHandle(parent);
    if (!window)
        return;
    for (HWND child : window->GetChildren()) {
        out.push_back(child);
        Collect(child, out);
    }
}

bool ClassMatches(const Window& window, LPCSTR className)
{
    if (!className)
        return true;
    if (IS_INTRESOURCE(className))
        return window.GetClass()->m_atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(className));
    return strcasecmp(window.GetClass()->m_name.c_str(), className) == 0;
}

} // namespace

} // namespace tavrin::win

using tavrin::win::Window;

HWND WindowFromPoint(POINT pt)
{
    for (HWND top : Window::TopLevelWindows()) {
        auto window = Window::FromHandle(top);
        if (!window)
            continue;
        if ((window->GetExStyle() & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == (WS_EX_LAYERED | WS_EX_TRANSPARENT))
            continue;
        if (HWND found = tavrin::win::Search(top, pt))
            return found;
    }
    return GetDesktopWindow();
}

HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags)
{
    auto window = Window::FromHandle(parent);
    if (!window)
        return nullptr;
    RECT client;
    GetClientRect(parent, &client);
    if (!PtInRect(&client, pt))
        return nullptr;
    POINT screen = pt;
    ClientToScreen(parent, &screen);
    for (HWND h : window->GetChildren()) {
        auto child = Window::FromHandle(h);
        if (!child)
            continue;
        const LONG style = child->GetStyle();
        if ((flags & CWP_SKIPINVISIBLE) && !(style & WS_VISIBLE))
            continue;
        if ((flags & CWP_SKIPDISABLED) && (style & WS_DISABLED))
            continue;
        if ((flags & CWP_SKIPTRANSPARENT) && (child->GetExStyle() & WS_EX_TRANSPARENT))
            continue;
        if (tavrin::win::Contains(*child, screen))
            return h;
    }
    return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT pt)
{
    return ChildWindowFromPointEx(parent, pt, CWP_ALL);
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM data)
{
    if (!proc)
        return FALSE;
    if (!parent || tavrin::win::IsDesktopHandle(parent))
        return EnumWindows(proc, data);
    std::vector<HWND> all;
    tavrin::win::Collect(parent, all);
    for (HWND hwnd : all)
        if (IsWindow(hwnd) && !proc(hwnd, data))
            break;
    return TRUE;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM data)
{
    if (!proc)
        return FALSE;
    for (HWND hwnd : Window::TopLevelWindows())
        if (IsWindow(hwnd) && !proc(hwnd, data))
            break;
    return TRUE;
}

BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM data)
{
    if (!proc)
        return FALSE;
    bool any = false;
    for (HWND hwnd : Window::TopLevelWindows()) {
        auto window = Window::FromHandle(hwnd);
        if (!window || window->GetThreadId() != threadId)
            continue;
        any = true;
        if (!proc(hwnd, data))
            break;
    }
    return any ? TRUE : FALSE;
}

HWND FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName)
{
    std::vector<HWND> candidates;
    if (parent == HWND_MESSAGE) {
        // Message-only windows: those with neither parent nor a place among the top-level ones.
        for (HWND top : Window::ThreadWindows(GetCurrentThreadId())) {
            auto w = Window::FromHandle(top);
            if (w && w->IsMessageOnly())
                candidates.push_back(top);
        }
    } else if (!parent || tavrin::win::IsDesktopHandle(parent)) {
        candidates = Window::TopLevelWindows();
    } else if (auto window = Window::FromHandle(parent)) {
        candidates = window->GetChildren();
    } else {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    bool started = childAfter == nullptr;
    for (HWND hwnd : candidates) {
        if (!started) {
            started = hwnd == childAfter;
            continue;
        }
        auto window = Window::FromHandle(hwnd);
        if (!window || !tavrin::win::ClassMatches(*window, className))
            continue;
        if (windowName && window->GetText() != windowName)
            continue;
        return hwnd;
    }
    return nullptr;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName)
{
    return FindWindowExA(nullptr, nullptr, className, windowName);
}

HWND GetTopWindow(HWND hwnd)
{
    if (!hwnd || tavrin::win::IsDesktopHandle(hwnd)) {
        auto top = Window::TopLevelWindows();
        return top.empty() ? nullptr : top.front();
    }
    return GetWindow(hwnd, GW_CHILD);
}

HWND GetDlgItem(HWND dialog, int id)
{
    auto window = Window::FromHandle(dialog);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    for (HWND child : window->GetChildren()) {
        auto c = Window::FromHandle(child);
        if (c && static_cast<int>(c->GetId()) == id)
            return child;
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !(window->GetStyle() & WS_CHILD))
        return 0;
    return static_cast<int>(window->GetId());
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageA(item, message, wParam, lParam) : 0;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size)
{
    if (buffer && size > 0)
        buffer[0] = 0;
    HWND item = GetDlgItem(dialog, id);
    return item ? static_cast<UINT>(GetWindowTextA(item, buffer, size)) : 0;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SetWindowTextA(item, text) : FALSE;
}

BOOL SetPropA(HWND hwnd, LPCSTR name, HANDLE data)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    window->SetProp(tavrin::win::Key(name), data);
    return TRUE;
}

HANDLE GetPropA(HWND hwnd, LPCSTR name)
{
    auto window = Window::FromHandle(hwnd);
    return window && name ? window->GetProp(tavrin::win::Key(name)) : nullptr;
}

HANDLE RemovePropA(HWND hwnd, LPCSTR name)
{
    auto window = Window::FromHandle(hwnd);
    return window && name ? window->RemoveProp(tavrin::win::Key(name)) : nullptr;
}

int EnumPropsA(HWND hwnd, PROPENUMPROCA proc)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !proc)
        return -1;
    int result = -1;
    for (const auto& [name, value] : window->GetProps()) {
        result = proc(hwnd, name.c_str(), value);
        if (!result)
            break;
    }
    return result;
}
