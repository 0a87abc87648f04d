#include "platform/win/Window.h"

#include "platform/base/String.h"
#include "platform/win/Capture.h"
#include "platform/win/Caret.h"
#include "platform/win/Focus.h"
#include "platform/win/Hooks.h"
#include "platform/win/Input.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Painting.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowSurface.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace tavrin::win {

namespace {

bool SameKey(const std::string& a, const std::string& b)
{
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

} // namespace

WindowTree& WindowTree::Get()
{
    static WindowTree* tree = new WindowTree;
    return *tree;
}

std::vector<HWND>* WindowTree::SiblingList(HWND parent)
{
    if (!parent)
        return &m_topLevel;
    auto it = m_windows.find(parent);
    return it == m_windows.end() ? nullptr : &it->second->m_children;
}

void WindowTree::Insert(std::vector<HWND>& list, HWND hwnd, HWND insertAfter, bool topLevel)
{
    auto topmost = [&](HWND h) {
        if (!topLevel)
            return false;
        auto it = m_windows.find(h);
        if (it == m_windows.end())
            return false;
        std::lock_guard<std::mutex> lock(it->second->m_lock);
        return (it->second->m_exStyle & WS_EX_TOPMOST) != 0;
    };
    const bool selfTopmost = topmost(hwnd);
    // The band the window may stand in: topmost windows first, then the rest.
    size_t bandBegin = 0, bandEnd = list.size();
    if (topLevel) {
        size_t firstPlain = 0;
        while (firstPlain < list.size() && topmost(list[firstPlain]))
            ++firstPlain;
        if (selfTopmost)
            bandEnd = firstPlain;
        else
            bandBegin = firstPlain;
    }
    size_t pos = bandBegin;
    if (insertAfter == HWND_BOTTOM) {
        pos = bandEnd;
    } else if (insertAfter && insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST &&
               insertAfter != HWND_NOTOPMOST) {
        auto it = std::find(list.begin(), list.end(), insertAfter);
        pos = it == list.end() ? bandBegin : static_cast<size_t>(it - list.begin()) + 1;
        pos = std::clamp(pos, bandBegin, bandEnd);
    }
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(pos), hwnd);
}

std::vector<HWND> WindowTree::Siblings(HWND parent)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (!parent)
        return m_topLevel;
    auto it = m_windows.find(parent);
    if (it == m_windows.end())
        return {};
    std::lock_guard<std::mutex> windowLock(it->second->m_lock);
    return it->second->m_children;
}

void WindowTree::Reorder(HWND hwnd, HWND insertAfter)
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_windows.find(hwnd);
    if (it == m_windows.end() || it->second->m_messageOnly)
        return;
    HWND parent = it->second->GetParent();
    std::vector<HWND>* list = SiblingList(parent);
    if (!list || insertAfter == hwnd)
        return;
    std::shared_ptr<Window> owner = parent ? m_windows[parent] : nullptr;
    std::unique_lock<std::mutex> parentLock;
    if (owner)
        parentLock = std::unique_lock<std::mutex>(owner->m_lock);
    std::erase(*list, hwnd);
    if (owner) {
        // Children have no topmost band; their window lock is not needed.
        std::vector<HWND> copy = *list;
        parentLock.unlock();
        Insert(copy, hwnd, insertAfter, false);
        parentLock.lock();
        *list = std::move(copy);
    } else {
        Insert(*list, hwnd, insertAfter, true);
    }
}

void WindowTree::Reparent(HWND hwnd, HWND parent)
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_windows.find(hwnd);
    if (it == m_windows.end())
        return;
    std::shared_ptr<Window> window = it->second;
    HWND old = window->GetParent();
    if (old) {
        if (auto p = m_windows.find(old); p != m_windows.end()) {
            std::lock_guard<std::mutex> parentLock(p->second->m_lock);
            std::erase(p->second->m_children, hwnd);
        }
    } else {
        std::erase(m_topLevel, hwnd);
    }
    {
        std::lock_guard<std::mutex> windowLock(window->m_lock);
        window->m_parent = parent;
    }
    if (parent) {
        auto p = m_windows.find(parent);
        std::lock_guard<std::mutex> parentLock(p->second->m_lock);
        p->second->m_children.insert(p->second->m_children.begin(), hwnd);
    } else if (!window->m_messageOnly) {
        Insert(m_topLevel, hwnd, HWND_TOP, true);
    }
}

HWND WindowTree::Add(std::shared_ptr<WindowClass> wc, DWORD threadId, HWND parent, bool messageOnly,
                     std::shared_ptr<Window>* out)
{
    std::lock_guard<std::mutex> lock(m_lock);
    HWND hwnd = reinterpret_cast<HWND>(m_next);
    m_next += 0x10;
    auto window = std::make_shared<Window>(hwnd, std::move(wc), threadId);
    window->m_parent = parent;
    window->m_messageOnly = messageOnly;
    m_windows.emplace(hwnd, window);
    if (parent) {
        auto it = m_windows.find(parent);
        std::lock_guard<std::mutex> parentLock(it->second->m_lock);
        it->second->m_children.push_back(hwnd); // new children go to the bottom
    } else if (!messageOnly) {
        m_topLevel.insert(m_topLevel.begin(), hwnd); // reordered once the styles are set
    }
    *out = window;
    return hwnd;
}

void WindowTree::Remove(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_windows.find(hwnd);
    if (it == m_windows.end())
        return;
    HWND parent = it->second->GetParent();
    if (parent) {
        auto p = m_windows.find(parent);
        if (p != m_windows.end()) {
            std::lock_guard<std::mutex> parentLock(p->second->m_lock);
            std::erase(p->second->m_children, hwnd);
        }
    } else {
        std::erase(m_topLevel, hwnd);
    }
    m_windows.erase(it);
}

std::shared_ptr<Window> WindowTree::Desktop()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_desktop) {
        auto wc = std::make_shared<WindowClass>();
        wc->m_name = "#32769";
        wc->m_info.cbSize = sizeof(WNDCLASSEXA);
        wc->m_info.lpfnWndProc = DefWindowProcA;
        wc->m_info.lpszClassName = wc->m_name.c_str();
        HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10000));
        m_desktop = std::make_shared<Window>(hwnd, wc, 0);
        m_desktop->m_desktop = true;
        m_desktop->m_style = static_cast<LONG>(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
        m_desktop->m_proc = DefWindowProcA;
    }
    return m_desktop;
}

namespace {

void SendDestroy(HWND hwnd)
{
    if (!Window::FromHandle(hwnd))
        return;
    CallWindowProcedure(hwnd, WM_DESTROY, 0, 0);
    if (auto window = Window::FromHandle(hwnd))
        for (HWND child : window->GetChildren())
            SendDestroy(child);
}

void SendNcDestroy(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    if (!window)
        return;
    for (HWND child : window->GetChildren())
        SendNcDestroy(child);
    CallWindowProcedure(hwnd, WM_NCDESTROY, 0, 0);
    ForgetCaret(hwnd);
    ForgetScrollBars(hwnd);
    ForgetMouseTracking(hwnd);
    ForgetPaintState(hwnd);
    ForgetWindowSurface(hwnd);
    WindowTree::Get().Remove(hwnd);
    WindowClass::AddWindow(window->GetClass(), -1);
    if (auto queue = MessageQueue::ForThread(window->GetThreadId()))
        queue->ForgetWindow(hwnd);
}

// WM_PARENTNOTIFY climbs while the notifying window is a child that allows it.
void NotifyParents(HWND hwnd, UINT event, LPARAM lParam)
{
    HWND current = hwnd;
    for (;;) {
        auto window = Window::FromHandle(current);
        if (!window || !(window->GetStyle() & WS_CHILD) || (window->GetExStyle() & WS_EX_NOPARENTNOTIFY))
            return;
        HWND parent = window->GetParent();
        if (!parent)
            return;
        SendMessageA(parent, WM_PARENTNOTIFY, MAKEWPARAM(event, static_cast<WORD>(window->GetId())), lParam);
        current = parent;
    }
}

POINT DefaultPosition()
{
    static int next = 0;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    int n = next++ % 8;
    return POINT{work.left + n * step, work.top + n * step};
}

} // namespace

void MarkWindowDestroying(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    if (!window)
        return;
    {
        std::lock_guard<std::mutex> lock(window->m_lock);
        window->m_destroying = true;
    }
    for (HWND child : window->GetChildren())
        MarkWindowDestroying(child);
}

Window::Window(HWND handle, std::shared_ptr<WindowClass> wc, DWORD threadId)
    : m_handle(handle), m_class(std::move(wc)), m_threadId(threadId)
{
}

WNDPROC Window::GetProc() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_proc;
}

void Window::SetProc(WNDPROC proc)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_proc = proc;
}

HWND Window::GetParent() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_parent;
}

HWND Window::GetOwner() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_owner;
}

void Window::SetOwner(HWND owner)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_owner = owner;
}

LONG Window::GetStyle() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_style;
}

void Window::SetStyle(LONG style)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_style = style;
}

LONG Window::GetExStyle() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_exStyle;
}

void Window::SetExStyle(LONG exStyle)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_exStyle = exStyle;
}

LONG_PTR Window::GetId() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_id;
}

RECT Window::GetRect() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_rect;
}

void Window::SetRect(const RECT& rect)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_client.left += rect.left - m_rect.left;
    m_client.top += rect.top - m_rect.top;
    m_client.right += rect.left - m_rect.left;
    m_client.bottom += rect.top - m_rect.top;
    m_rect = rect;
}

RECT Window::GetClientRect() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_client;
}

void Window::SetRects(const RECT& window, const RECT& client)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_rect = window;
    m_client = client;
}

RECT Window::GetNormalRect() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_normal;
}

void Window::SetNormalRect(const RECT& rect)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_normal = rect;
}

std::string Window::GetText() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_text;
}

void Window::SetText(std::string text)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_text = std::move(text);
}

std::vector<HWND> Window::GetChildren() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_children;
}

std::shared_ptr<const Region> Window::GetRegion() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_region;
}

void Window::SetRegion(std::shared_ptr<const Region> region)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_region = std::move(region);
}

HWND Window::GetLastActivePopup() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_lastActivePopup;
}

void Window::SetLastActivePopup(HWND popup)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_lastActivePopup = popup;
}

HANDLE Window::GetProp(const std::string& key) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    for (const auto& [name, value] : m_props)
        if (SameKey(name, key))
            return value;
    return nullptr;
}

void Window::SetProp(const std::string& key, HANDLE value)
{
    std::lock_guard<std::mutex> lock(m_lock);
    for (auto& [name, old] : m_props) {
        if (SameKey(name, key)) {
            old = value;
            return;
        }
    }
    m_props.emplace_back(key, value);
}

HANDLE Window::RemoveProp(const std::string& key)
{
    std::lock_guard<std::mutex> lock(m_lock);
    for (auto it = m_props.begin(); it != m_props.end(); ++it) {
        if (SameKey(it->first, key)) {
            HANDLE value = it->second;
            m_props.erase(it);
            return value;
        }
    }
    return nullptr;
}

std::vector<std::pair<std::string, HANDLE>> Window::GetProps() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_props;
}

bool Window::IsDestroying() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_destroying;
}

std::shared_ptr<Window> Window::FromHandle(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    WindowTree& tree = WindowTree::Get();
    std::lock_guard<std::mutex> lock(tree.m_lock);
    auto it = tree.m_windows.find(hwnd);
    if (it != tree.m_windows.end())
        return it->second;
    if (tree.m_desktop && tree.m_desktop->GetHandle() == hwnd)
        return tree.m_desktop;
    return nullptr;
}

std::vector<HWND> Window::TopLevelWindows()
{
    WindowTree& tree = WindowTree::Get();
    std::lock_guard<std::mutex> lock(tree.m_lock);
    return tree.m_topLevel;
}

std::vector<HWND> Window::ThreadWindows(DWORD threadId)
{
    WindowTree& tree = WindowTree::Get();
    std::lock_guard<std::mutex> lock(tree.m_lock);
    std::vector<HWND> result;
    for (const auto& [hwnd, window] : tree.m_windows) {
        if (window->m_threadId != threadId)
            continue;
        HWND parent = window->GetParent();
        auto p = parent ? tree.m_windows.find(parent) : tree.m_windows.end();
        if (p == tree.m_windows.end() || p->second->m_threadId != threadId)
            result.push_back(hwnd);
    }
    return result;
}

LRESULT CallWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto window = Window::FromHandle(hwnd);
    if (!window)
        return 0;
    if (HasHooks(WH_CALLWNDPROC)) {
        CWPSTRUCT cwp{lParam, wParam, message, hwnd};
        CallHooks(WH_CALLWNDPROC, HC_ACTION, InSendMessage() ? 0 : 1, reinterpret_cast<LPARAM>(&cwp));
        lParam = cwp.lParam;
        wParam = cwp.wParam;
        message = cwp.message;
    }
    WNDPROC proc = window->GetProc();
    LRESULT result = proc ? proc(hwnd, message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
    if (HasHooks(WH_CALLWNDPROCRET)) {
        CWPRETSTRUCT ret{result, lParam, wParam, message, hwnd};
        CallHooks(WH_CALLWNDPROCRET, HC_ACTION, InSendMessage() ? 0 : 1, reinterpret_cast<LPARAM>(&ret));
    }
    return result;
}

LRESULT DispatchToProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto window = Window::FromHandle(hwnd);
    if (!window)
        return 0;
    WNDPROC proc = window->GetProc();
    return proc ? proc(hwnd, message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT RunOnWindowThread(HWND hwnd, const std::function<LRESULT()>& call)
{
    auto window = Window::FromHandle(hwnd);
    if (!window)
        return 0;
    if (window->GetThreadId() == GetCurrentThreadId() || window->IsDesktop())
        return call();
    auto sent = std::make_shared<SentMessage>();
    sent->hwnd = hwnd;
    sent->call = call;
    return SendToThread(window->GetThreadId(), sent);
}

} // namespace tavrin::win

using tavrin::win::Window;
using tavrin::win::WindowClass;
using tavrin::win::WindowTree;

namespace {

std::shared_ptr<Window> Find(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    if (!window)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

} // namespace

HWND GetDesktopWindow()
{
    return WindowTree::Get().Desktop()->GetHandle();
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    auto wc = WindowClass::Find(className);
    if (!wc) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    HWND owner = nullptr;
    bool messageOnly = false;
    if (tavrin::win::IsDesktopHandle(parent))
        parent = nullptr;
    if (parent == HWND_MESSAGE) {
        parent = nullptr; // message-only: no parent, no owner, never shown
        messageOnly = true;
        style &= ~static_cast<DWORD>(WS_VISIBLE | WS_CHILD);
    } else if (style & WS_CHILD) {
        if (!parent) {
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
        if (!Find(parent))
            return nullptr;
    } else if (parent) {
        if (!Find(parent))
            return nullptr;
        owner = GetAncestor(parent, GA_ROOT);
        parent = nullptr;
    }
    tavrin::win::MessageQueue::Current();

    // Styles the system adds: top-level windows clip their siblings, and an
    // overlapped window always has a caption.
    if (!(style & WS_CHILD)) {
        style |= WS_CLIPSIBLINGS;
        if (!(style & WS_POPUP))
            style |= WS_CAPTION;
    }
    if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_DLGFRAME | WS_THICKFRAME)))
        exStyle |= WS_EX_WINDOWEDGE;
    const bool wantVisible = (style & WS_VISIBLE) != 0;
    style &= ~static_cast<DWORD>(WS_VISIBLE);

    const bool overlapped = !(style & (WS_CHILD | WS_POPUP));
    if (x == CW_USEDEFAULT) {
        POINT pt = overlapped && !messageOnly ? tavrin::win::DefaultPosition() : POINT{0, 0};
        x = pt.x;
        y = pt.y;
    }
    if (width == CW_USEDEFAULT) {
        if (overlapped && !messageOnly) {
            RECT work;
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
            width = (work.right - work.left) * 3 / 4;
            height = (work.bottom - work.top) * 3 / 4;
        } else {
            width = height = 0;
        }
    }
    width = std::max(width, 0);
    height = std::max(height, 0);

    std::shared_ptr<Window> window;
    HWND hwnd = WindowTree::Get().Add(wc, GetCurrentThreadId(), parent, messageOnly, &window);
    {
        std::lock_guard<std::mutex> lock(window->m_lock);
        window->m_proc = wc->m_info.lpfnWndProc;
        window->m_owner = owner;
        window->m_style = static_cast<LONG>(style);
        window->m_exStyle = static_cast<LONG>(exStyle);
        window->m_rect = RECT{x, y, x + width, y + height};
        window->m_client = window->m_rect;
        window->m_normal = window->m_rect;
        window->m_id = reinterpret_cast<LONG_PTR>(menu);
        window->m_instance = instance;
        window->m_text = windowName && !IS_INTRESOURCE(windowName) ? windowName : "";
        window->m_extra.assign(static_cast<size_t>(wc->m_info.cbWndExtra), 0);
    }
    if (!parent && !messageOnly)
        WindowTree::Get().Reorder(hwnd, HWND_TOP); // below topmost windows unless topmost itself
    WindowClass::AddWindow(wc, 1);

    CREATESTRUCTA cs{param, instance, menu, parent ? parent : owner, height, width, y, x,
                     static_cast<LONG>(style), windowName, className, exStyle};
    if (tavrin::win::HasHooks(WH_CBT)) {
        CBT_CREATEWNDA cbt{&cs, HWND_TOP};
        if (tavrin::win::CallHooks(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(hwnd),
                                   reinterpret_cast<LPARAM>(&cbt))) {
            // Refused before the window saw a message: it goes without any.
            tavrin::win::MarkWindowDestroying(hwnd);
            WindowTree::Get().Remove(hwnd);
            WindowClass::AddWindow(wc, -1);
            return nullptr;
        }
    }

    // Resizable and overlapped windows learn their tracking limits first.
    if ((style & WS_THICKFRAME) || overlapped) {
        MINMAXINFO mmi = tavrin::win::DefaultMinMaxInfo(hwnd);
        SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
        int cx = std::clamp<int>(width, std::min(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x), mmi.ptMaxTrackSize.x);
        int cy = std::clamp<int>(height, std::min(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y), mmi.ptMaxTrackSize.y);
        if (!(style & WS_CHILD) && (cx != width || cy != height)) {
            width = cx;
            height = cy;
            RECT r{x, y, x + width, y + height};
            window->SetRects(r, r);
            window->SetNormalRect(r);
        }
    }

    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd))
        return nullptr;
    {
        RECT windowRect = window->GetRect();
        RECT client = windowRect;
        SendMessageA(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
        window->SetRects(windowRect, client);
    }
    if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd))
        return nullptr;

    // The first size and position, as the window's own messages.
    {
        RECT client = window->GetClientRect();
        SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right - client.left, client.bottom - client.top));
        SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
    }
    tavrin::win::NotifyParents(hwnd, WM_CREATE, reinterpret_cast<LPARAM>(hwnd));
    if (!IsWindow(hwnd))
        return nullptr;
    if (wantVisible) {
        int show = (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOW;
        if (style & (WS_MAXIMIZE | WS_MINIMIZE)) {
            window->SetStyle(window->GetStyle() & ~static_cast<LONG>(WS_MAXIMIZE | WS_MINIMIZE));
        }
        ShowWindow(hwnd, show);
    }
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd)
{
    auto window = Find(hwnd);
    if (!window || window->IsDesktop())
        return FALSE;
    if (window->GetThreadId() != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (window->IsDestroying())
        return TRUE;
    if (tavrin::win::HasHooks(WH_CBT) &&
        tavrin::win::CallHooks(WH_CBT, HCBT_DESTROYWND, reinterpret_cast<WPARAM>(hwnd), 0))
        return FALSE;

    tavrin::win::NotifyParents(hwnd, WM_DESTROY, reinterpret_cast<LPARAM>(hwnd));
    if (!IsWindow(hwnd))
        return TRUE;
    if (window->GetStyle() & WS_VISIBLE) {
        // Hiding hands activation on; the window disappears before it hears WM_DESTROY.
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
        if (!IsWindow(hwnd))
            return TRUE;
    }
    for (HWND top : Window::TopLevelWindows()) {
        auto owned = Window::FromHandle(top);
        if (owned && owned->GetOwner() == hwnd && owned->GetThreadId() == GetCurrentThreadId())
            DestroyWindow(top);
    }
    if (window->IsDestroying())
        return TRUE;
    tavrin::win::MarkWindowDestroying(hwnd);
    tavrin::win::OnWindowDestroying(hwnd);
    tavrin::win::SendDestroy(hwnd);
    tavrin::win::SendNcDestroy(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd)
{
    return Window::FromHandle(hwnd) ? TRUE : FALSE;
}

BOOL IsChild(HWND parent, HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    while (window && (window->GetStyle() & WS_CHILD)) {
        HWND up = window->GetParent();
        if (!up)
            return FALSE;
        if (up == parent)
            return TRUE;
        window = Window::FromHandle(up);
    }
    return FALSE;
}

HWND GetParent(HWND hwnd)
{
    auto window = Find(hwnd);
    if (!window)
        return nullptr;
    if (window->GetStyle() & WS_CHILD)
        return window->GetParent();
    return (window->GetStyle() & WS_POPUP) ? window->GetOwner() : nullptr;
}

HWND GetAncestor(HWND hwnd, UINT flags)
{
    auto window = Find(hwnd);
    if (!window || window->IsDesktop())
        return nullptr;
    switch (flags) {
    case GA_PARENT:
        if (window->IsMessageOnly())
            return nullptr;
        return window->GetParent() ? window->GetParent() : GetDesktopWindow();
    case GA_ROOT:
    case GA_ROOTOWNER: {
        HWND current = hwnd;
        for (;;) {
            HWND up = window->GetParent();
            if (!up && flags == GA_ROOTOWNER)
                up = window->GetOwner();
            auto next = up ? Window::FromHandle(up) : nullptr;
            if (!next)
                return current;
            current = up;
            window = next;
        }
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

HWND GetWindow(HWND hwnd, UINT relation)
{
    auto window = Find(hwnd);
    if (!window)
        return nullptr;
    if (relation == GW_OWNER)
        return window->GetOwner();
    if (relation == GW_CHILD) {
        auto children = window->IsDesktop() ? Window::TopLevelWindows() : window->GetChildren();
        return children.empty() ? nullptr : children.front();
    }
    if (window->IsMessageOnly() || window->IsDesktop())
        return nullptr;
    std::vector<HWND> siblings = WindowTree::Get().Siblings(window->GetParent());
    auto it = std::find(siblings.begin(), siblings.end(), hwnd);
    if (it == siblings.end())
        return nullptr;
    switch (relation) {
    case GW_HWNDFIRST:
        return siblings.front();
    case GW_HWNDLAST:
        return siblings.back();
    case GW_HWNDNEXT:
        return it + 1 == siblings.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV:
        return it == siblings.begin() ? nullptr : *(it - 1);
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId)
{
    auto window = Find(hwnd);
    if (!window)
        return 0;
    if (processId)
        *processId = 1;
    return window->GetThreadId();
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index)
{
    auto window = Find(hwnd);
    if (!window)
        return 0;
    std::lock_guard<std::mutex> lock(window->m_lock);
    switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(window->m_proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(window->m_instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(window->m_parent ? window->m_parent : window->m_owner);
    case GWLP_ID: return window->m_id;
    case GWLP_USERDATA: return window->m_userData;
    case GWL_STYLE: return window->m_style;
    case GWL_EXSTYLE: return window->m_exStyle;
    default:
        if (index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= window->m_extra.size()) {
            LONG_PTR value;
            std::memcpy(&value, window->m_extra.data() + index, sizeof value);
            return value;
        }
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value)
{
    auto window = Find(hwnd);
    if (!window)
        return 0;
    if (index == GWL_STYLE || index == GWL_EXSTYLE) {
        // The window hears of style changes before and after, and may adjust
        // the new value while it is asked.
        STYLESTRUCT ss{static_cast<DWORD>(index == GWL_STYLE ? window->GetStyle() : window->GetExStyle()),
                       static_cast<DWORD>(value)};
        SendMessageA(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
        if (!IsWindow(hwnd))
            return 0;
        LONG old;
        if (index == GWL_STYLE) {
            old = window->GetStyle();
            window->SetStyle(static_cast<LONG>(ss.styleNew));
        } else {
            old = window->GetExStyle();
            window->SetExStyle(static_cast<LONG>(ss.styleNew));
        }
        ss.styleOld = static_cast<DWORD>(old);
        SendMessageA(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
        return old;
    }
    std::lock_guard<std::mutex> lock(window->m_lock);
    LONG_PTR old = 0;
    switch (index) {
    case GWLP_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(window->m_proc);
        window->m_proc = reinterpret_cast<WNDPROC>(value);
        return old;
    case GWLP_HINSTANCE:
        old = reinterpret_cast<LONG_PTR>(window->m_instance);
        window->m_instance = reinterpret_cast<HINSTANCE>(value);
        return old;
    case GWLP_HWNDPARENT:
        // Sets the owner of a top-level window; a child keeps its parent.
        if (window->m_style & WS_CHILD)
            return reinterpret_cast<LONG_PTR>(window->m_parent);
        old = reinterpret_cast<LONG_PTR>(window->m_owner);
        window->m_owner = reinterpret_cast<HWND>(value);
        return old;
    case GWLP_ID:
        old = window->m_id;
        window->m_id = value;
        return old;
    case GWLP_USERDATA:
        old = window->m_userData;
        window->m_userData = value;
        return old;
    default:
        if (index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= window->m_extra.size()) {
            std::memcpy(&old, window->m_extra.data() + index, sizeof old);
            std::memcpy(window->m_extra.data() + index, &value, sizeof value);
            return old;
        }
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
}

LONG GetWindowLongA(HWND hwnd, int index)
{
    if (index >= 0) {
        auto window = Find(hwnd);
        if (!window)
            return 0;
        std::lock_guard<std::mutex> lock(window->m_lock);
        if (static_cast<size_t>(index) + sizeof(LONG) > window->m_extra.size()) {
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
        }
        LONG value;
        std::memcpy(&value, window->m_extra.data() + index, sizeof value);
        return value;
    }
    return static_cast<LONG>(GetWindowLongPtrA(hwnd, index));
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value)
{
    if (index >= 0) {
        auto window = Find(hwnd);
        if (!window)
            return 0;
        std::lock_guard<std::mutex> lock(window->m_lock);
        if (static_cast<size_t>(index) + sizeof(LONG) > window->m_extra.size()) {
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
        }
        LONG old;
        std::memcpy(&old, window->m_extra.data() + index, sizeof old);
        std::memcpy(window->m_extra.data() + index, &value, sizeof value);
        return old;
    }
    return static_cast<LONG>(SetWindowLongPtrA(hwnd, index, value));
}

int GetClassNameA(HWND hwnd, LPSTR buffer, int size)
{
    auto window = Find(hwnd);
    if (!window || !buffer || size <= 0)
        return 0;
    const std::string& name = window->GetClass()->m_name;
    int n = std::min(static_cast<int>(name.size()), size - 1);
    std::memcpy(buffer, name.data(), static_cast<size_t>(n));
    buffer[n] = 0;
    return n;
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = 0;
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthA(HWND hwnd)
{
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text)
{
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}
