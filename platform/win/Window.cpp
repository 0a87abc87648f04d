#include "platform/win/Window.h"

#include "platform/base/String.h"
#include "platform/win/MessageQueue.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace tavrin::win {

// The registry of live windows and the top-level z-order. Lock order: a queue
// lock, then this one, then a window's own lock.
class WindowTree {
public:
    static WindowTree& Get()
    {
        static WindowTree* tree = new WindowTree;
        return *tree;
    }

    std::mutex m_lock;
    std::unordered_map<HWND, std::shared_ptr<Window>> m_windows;
    std::vector<HWND> m_topLevel; // topmost first
    uintptr_t m_next = 0x10010;

    HWND Add(std::shared_ptr<WindowClass> wc, DWORD threadId, HWND parent, std::shared_ptr<Window>* out)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        HWND hwnd = reinterpret_cast<HWND>(m_next);
        m_next += 0x10;
        auto window = std::make_shared<Window>(hwnd, std::move(wc), threadId);
        window->m_parent = parent;
        m_windows.emplace(hwnd, window);
        if (parent) {
            auto it = m_windows.find(parent);
            std::lock_guard<std::mutex> parentLock(it->second->m_lock);
            it->second->m_children.push_back(hwnd); // new children go to the bottom
        } else {
            m_topLevel.insert(m_topLevel.begin(), hwnd);
        }
        *out = window;
        return hwnd;
    }

    void Remove(HWND hwnd)
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

    // Marks the window and its descendants, so that sends stop waiting for them.
    static void MarkDestroying(HWND hwnd)
    {
        auto window = Window::FromHandle(hwnd);
        if (!window)
            return;
        {
            std::lock_guard<std::mutex> lock(window->m_lock);
            window->m_destroying = true;
        }
        for (HWND child : window->GetChildren())
            MarkDestroying(child);
    }

    static void SendDestroy(HWND hwnd)
    {
        if (!Window::FromHandle(hwnd))
            return;
        CallWindowProcedure(hwnd, WM_DESTROY, 0, 0);
        if (auto window = Window::FromHandle(hwnd))
            for (HWND child : window->GetChildren())
                SendDestroy(child);
    }

    static void SendNcDestroy(HWND hwnd)
    {
        auto window = Window::FromHandle(hwnd);
        if (!window)
            return;
        for (HWND child : window->GetChildren())
            SendNcDestroy(child);
        CallWindowProcedure(hwnd, WM_NCDESTROY, 0, 0);
        Get().Remove(hwnd);
        WindowClass::AddWindow(window->GetClass(), -1);
        if (auto queue = MessageQueue::ForThread(window->GetThreadId()))
            queue->ForgetWindow(hwnd);
    }
};

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

RECT Window::GetRect() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_rect;
}

void Window::SetRect(const RECT& rect)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_rect = rect;
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
    return it == tree.m_windows.end() ? nullptr : it->second;
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
    WNDPROC proc = window->GetProc();
    return proc ? proc(hwnd, message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
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

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    auto wc = WindowClass::Find(className);
    if (!wc) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    HWND owner = nullptr;
    if (parent == HWND_MESSAGE) {
        parent = nullptr; // message-only: no parent, no owner, never shown
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

    // Placement is the window manager's; a default position or size is 0 here.
    if (x == CW_USEDEFAULT)
        x = y = 0;
    if (width == CW_USEDEFAULT)
        width = height = 0;
    std::shared_ptr<Window> window;
    HWND hwnd = WindowTree::Get().Add(wc, GetCurrentThreadId(), parent, &window);
    {
        std::lock_guard<std::mutex> lock(window->m_lock);
        window->m_proc = wc->m_info.lpfnWndProc;
        window->m_owner = owner;
        window->m_style = static_cast<LONG>(style);
        window->m_exStyle = static_cast<LONG>(exStyle);
        window->m_rect = RECT{x, y, x + width, y + height};
        window->m_id = reinterpret_cast<LONG_PTR>(menu);
        window->m_instance = instance;
        window->m_text = windowName && !IS_INTRESOURCE(windowName) ? windowName : "";
        window->m_extra.assign(static_cast<size_t>(wc->m_info.cbWndExtra), 0);
    }
    WindowClass::AddWindow(wc, 1);

    CREATESTRUCTA cs{param, instance, menu, parent ? parent : owner, height, width, y, x,
                     static_cast<LONG>(style), windowName, className, exStyle};
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd)
{
    auto window = Find(hwnd);
    if (!window)
        return FALSE;
    if (window->GetThreadId() != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (window->IsDestroying())
        return TRUE;
    for (HWND top : Window::TopLevelWindows()) {
        auto owned = Window::FromHandle(top);
        if (owned && owned->GetOwner() == hwnd && owned->GetThreadId() == GetCurrentThreadId())
            DestroyWindow(top);
    }
    WindowTree::MarkDestroying(hwnd);
    WindowTree::SendDestroy(hwnd);
    WindowTree::SendNcDestroy(hwnd);
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
    if (!window)
        return nullptr;
    switch (flags) {
    case GA_PARENT:
        return window->GetParent();
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
        auto children = window->GetChildren();
        return children.empty() ? nullptr : children.front();
    }
    HWND parent = window->GetParent();
    auto parentWindow = parent ? Window::FromHandle(parent) : nullptr;
    std::vector<HWND> siblings = parentWindow ? parentWindow->GetChildren() : Window::TopLevelWindows();
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

// Style changes do not notify yet: WM_STYLECHANGING/WM_STYLECHANGED come with
// the window manager.
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value)
{
    auto window = Find(hwnd);
    if (!window)
        return 0;
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
    case GWL_STYLE:
        old = window->m_style;
        window->m_style = static_cast<LONG>(value);
        return old;
    case GWL_EXSTYLE:
        old = window->m_exStyle;
        window->m_exStyle = static_cast<LONG>(value);
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

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SETTEXT:
        if (auto window = Window::FromHandle(hwnd)) {
            auto text = reinterpret_cast<LPCSTR>(lParam);
            window->SetText(text ? text : "");
            return TRUE;
        }
        return FALSE;
    case WM_GETTEXTLENGTH:
        if (auto window = Window::FromHandle(hwnd))
            return static_cast<LRESULT>(window->GetText().size());
        return 0;
    case WM_GETTEXT: {
        auto window = Window::FromHandle(hwnd);
        auto buffer = reinterpret_cast<LPSTR>(lParam);
        if (!window || !buffer || wParam == 0)
            return 0;
        std::string text = window->GetText();
        // Cut at a character boundary: never half a double-byte character.
        const char* begin = text.data();
        const char* end = begin + text.size();
        const char* p = begin;
        while (p < end) {
            int n = tavrin::CharLength(p, end);
            if (static_cast<size_t>(p - begin + n) > wParam - 1)
                break;
            p += n;
        }
        size_t length = static_cast<size_t>(p - begin);
        std::memcpy(buffer, begin, length);
        buffer[length] = 0;
        return static_cast<LRESULT>(length);
    }
    default:
        return 0;
    }
}
