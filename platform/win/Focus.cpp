#include "platform/win/Focus.h"

#include "platform/win/Presenter.h"
#include "platform/win/Capture.h"
#include "platform/win/Hooks.h"
#include "platform/win/WindowPos.h"

#include <mutex>
#include <unordered_map>

namespace tavrin::win {

namespace {

struct ThreadFocus {
    HWND active = nullptr;
    HWND focus = nullptr;
};

struct FocusState {
    std::mutex lock;
    std::unordered_map<DWORD, ThreadFocus> threads;
    HWND foreground = nullptr;
    DWORD foregroundThread = 0;
};

FocusState& State()
{
    static FocusState* state = new FocusState;
    return *state;
}

ThreadFocus Current()
{
    std::lock_guard<std::mutex> lock(State().lock);
    return State().threads[GetCurrentThreadId()];
}

void SetCurrentActive(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(State().lock);
    State().threads[GetCurrentThreadId()].active = hwnd;
}

bool IsOwnTopLevel(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    return window && !window->IsDesktop() && !window->IsMessageOnly() && !(window->GetStyle() & WS_CHILD) &&
           window->GetThreadId() == GetCurrentThreadId();
}

void SendActivateApp(DWORD threadId, BOOL active, DWORD otherThread)
{
    for (HWND top : Window::TopLevelWindows()) {
        auto window = Window::FromHandle(top);
        if (window && window->GetThreadId() == threadId)
            SendMessageA(top, WM_ACTIVATEAPP, static_cast<WPARAM>(active), static_cast<LPARAM>(otherThread));
    }
}

// Moves the thread's focus, with WM_KILLFOCUS before WM_SETFOCUS. The focus
// variable changes first, so both handlers see the new focus window.
HWND SetFocusWindow(HWND hwnd)
{
    HWND previous;
    {
        std::lock_guard<std::mutex> lock(State().lock);
        ThreadFocus& state = State().threads[GetCurrentThreadId()];
        previous = state.focus;
        if (previous == hwnd)
            return previous;
        state.focus = hwnd;
    }
    if (previous && IsWindow(previous)) {
        SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
        if (Current().focus != hwnd)
            return previous; // the handler moved the focus elsewhere
    }
    if (hwnd && IsWindow(hwnd))
        SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND ActivateWindow(HWND hwnd, WORD how)
{
    if (hwnd && !IsOwnTopLevel(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    const DWORD self = GetCurrentThreadId();
    HWND old = Current().active;
    DWORD oldForegroundThread;
    HWND oldForeground;
    {
        std::lock_guard<std::mutex> lock(State().lock);
        oldForegroundThread = State().foregroundThread;
        oldForeground = State().foreground;
    }
    if (old && !IsWindow(old))
        old = nullptr;
    if (old == hwnd && (!hwnd || oldForeground == hwnd))
        return old;
    if (HasHooks(WH_CBT)) {
        CBTACTIVATESTRUCT cbt{how == WA_CLICKACTIVE, old};
        if (CallHooks(WH_CBT, HCBT_ACTIVATE, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(&cbt)))
            return nullptr;
    }
    if (old && old != hwnd) {
        SendMessageA(old, WM_NCACTIVATE, FALSE, 0);
        SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old) ? 1 : 0), reinterpret_cast<LPARAM>(hwnd));
    }
    SetCurrentActive(hwnd);
    if (hwnd) {
        auto top = Window::TopLevelWindows();
        if (top.empty() || top.front() != hwnd)
            SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    // The application (this thread) gains or loses the foreground.
    const bool hadForeground = oldForeground && oldForegroundThread == self;
    {
        std::lock_guard<std::mutex> lock(State().lock);
        if (hwnd || oldForegroundThread == self) {
            State().foreground = hwnd;
            State().foregroundThread = hwnd ? self : 0;
        }
    }
    if (hwnd && !hadForeground) {
        if (oldForeground && oldForegroundThread != self)
            SendActivateApp(oldForegroundThread, FALSE, self);
        SendActivateApp(self, TRUE, oldForegroundThread);
    } else if (!hwnd && hadForeground) {
        SendActivateApp(self, FALSE, 0);
    }

    if (hwnd && IsWindow(hwnd) && Current().active == hwnd) {
        tavrin::display::GetPresenter().WindowActivated(hwnd);
        HWND owner = GetAncestor(hwnd, GA_ROOTOWNER);
        if (auto root = Window::FromHandle(owner))
            root->SetLastActivePopup(hwnd);
        SendMessageA(hwnd, WM_NCACTIVATE, TRUE, 0);
        SendMessageA(hwnd, WM_ACTIVATE, MAKEWPARAM(how, IsIconic(hwnd) ? 1 : 0), reinterpret_cast<LPARAM>(old));
        HWND focus = Current().focus;
        if (Current().active == hwnd && (!focus || GetAncestor(focus, GA_ROOT) != hwnd))
            SetFocusWindow(hwnd);
    } else if (!hwnd && Current().focus) {
        SetFocusWindow(nullptr);
    }
    return old;
}

} // namespace

void SetApplicationActive(bool active)
{
    HWND target = nullptr;
    {
        std::lock_guard<std::mutex> lock(State().lock);
        target = State().foreground;
        if (active && target)
            return;
    }
    if (active) {
        // The topmost visible window comes back first.
        for (HWND top : Window::TopLevelWindows()) {
            if (IsWindowVisible(top) && IsWindowEnabled(top)) {
                SetForegroundWindow(top);
                return;
            }
        }
        return;
    }
    if (target)
        RunOnWindowThread(target, [] { return reinterpret_cast<LRESULT>(ActivateWindow(nullptr, WA_INACTIVE)); });
}

void ActivateByMouse(HWND topLevel)
{
    ActivateWindow(topLevel, WA_CLICKACTIVE);
}

void ActivateOtherWindow(HWND leaving)
{
    if (Current().active != leaving)
        return;
    auto window = Window::FromHandle(leaving);
    HWND owner = window ? window->GetOwner() : nullptr;
    auto candidate = [&](HWND h) {
        auto w = Window::FromHandle(h);
        if (!w || h == leaving || w->GetThreadId() != GetCurrentThreadId() || w->IsDestroying())
            return false;
        LONG style = w->GetStyle();
        return (style & WS_VISIBLE) && !(style & WS_DISABLED) && !(w->GetExStyle() & WS_EX_NOACTIVATE);
    };
    HWND next = nullptr;
    if (owner && candidate(owner)) {
        next = owner;
    } else {
        for (HWND top : Window::TopLevelWindows()) {
            if (candidate(top)) {
                next = top;
                break;
            }
        }
    }
    ActivateWindow(next, WA_ACTIVE);
}

HWND ThreadFocusWindow(DWORD threadId)
{
    std::lock_guard<std::mutex> lock(State().lock);
    auto it = State().threads.find(threadId);
    return it == State().threads.end() ? nullptr : it->second.focus;
}

HWND ThreadActiveWindow(DWORD threadId)
{
    std::lock_guard<std::mutex> lock(State().lock);
    auto it = State().threads.find(threadId);
    return it == State().threads.end() ? nullptr : it->second.active;
}

void OnWindowDestroying(HWND hwnd)
{
    HWND focus = Current().focus;
    if (focus && (focus == hwnd || IsChild(hwnd, focus))) {
        auto window = Window::FromHandle(hwnd);
        HWND parent = window && (window->GetStyle() & WS_CHILD) ? window->GetParent() : nullptr;
        SetFocusWindow(parent);
    }
    HWND capture = GetSystemCapture();
    if (capture && (capture == hwnd || IsChild(hwnd, capture)))
        ReleaseCapture();
    if (Current().active == hwnd)
        ActivateOtherWindow(hwnd);
    std::lock_guard<std::mutex> lock(State().lock);
    if (State().foreground == hwnd) {
        State().foreground = nullptr;
        State().foregroundThread = 0;
    }
    for (auto& [thread, state] : State().threads) {
        if (state.active == hwnd)
            state.active = nullptr;
        if (state.focus == hwnd)
            state.focus = nullptr;
    }
}

} // namespace tavrin::win

using tavrin::win::Window;

HWND SetFocus(HWND hwnd)
{
    HWND old = tavrin::win::Current().focus;
    if (hwnd) {
        auto window = Window::FromHandle(hwnd);
        if (!window || window->GetThreadId() != GetCurrentThreadId() || window->IsDesktop()) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if (hwnd == old)
            return old;
        // Neither the window nor a parent on its way up may be minimised or disabled.
        HWND top = hwnd;
        for (auto w = window; w;) {
            if (w->GetStyle() & (WS_MINIMIZE | WS_DISABLED))
                return nullptr;
            top = w->GetHandle();
            if (!(w->GetStyle() & WS_CHILD))
                break;
            w = Window::FromHandle(w->GetParent());
        }
        if (tavrin::win::HasHooks(WH_CBT) &&
            tavrin::win::CallHooks(WH_CBT, HCBT_SETFOCUS, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(old)))
            return nullptr;
        if (tavrin::win::Current().active != top) {
            tavrin::win::ActivateWindow(top, WA_ACTIVE);
            if (tavrin::win::Current().active != top || !IsWindow(hwnd))
                return nullptr;
        }
        // The answer is the focus before the call, even when activating the
        // frame moved it meanwhile.
        tavrin::win::SetFocusWindow(hwnd);
        return IsWindow(old) ? old : nullptr;
    } else if (tavrin::win::HasHooks(WH_CBT) &&
               tavrin::win::CallHooks(WH_CBT, HCBT_SETFOCUS, 0, reinterpret_cast<LPARAM>(old))) {
        return nullptr;
    }
    return tavrin::win::SetFocusWindow(hwnd);
}

HWND GetFocus()
{
    HWND focus = tavrin::win::Current().focus;
    return IsWindow(focus) ? focus : nullptr;
}

HWND SetActiveWindow(HWND hwnd)
{
    if (hwnd && !tavrin::win::IsOwnTopLevel(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return tavrin::win::ActivateWindow(hwnd, WA_ACTIVE);
}

HWND GetActiveWindow()
{
    HWND active = tavrin::win::Current().active;
    return IsWindow(active) ? active : nullptr;
}

BOOL SetForegroundWindow(HWND hwnd)
{
    HWND root = GetAncestor(hwnd, GA_ROOT);
    if (!root || !IsWindow(root))
        return FALSE;
    tavrin::win::RunOnWindowThread(
        root, [root] { return reinterpret_cast<LRESULT>(tavrin::win::ActivateWindow(root, WA_ACTIVE)); });
    return GetForegroundWindow() == root ? TRUE : FALSE;
}

HWND GetForegroundWindow()
{
    std::lock_guard<std::mutex> lock(tavrin::win::State().lock);
    return tavrin::win::State().foreground;
}

HWND GetLastActivePopup(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    if (!window)
        return nullptr;
    HWND popup = window->GetLastActivePopup();
    if (popup && popup != hwnd && IsWindow(popup) && IsWindowVisible(popup) && IsWindowEnabled(popup) &&
        GetAncestor(popup, GA_ROOTOWNER) == GetAncestor(hwnd, GA_ROOTOWNER))
        return popup;
    return hwnd;
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || window->IsDesktop()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const bool wasDisabled = (window->GetStyle() & WS_DISABLED) != 0;
    if (enable) {
        if (wasDisabled) {
            window->SetStyle(window->GetStyle() & ~static_cast<LONG>(WS_DISABLED));
            SendMessageA(hwnd, WM_ENABLE, TRUE, 0);
        }
    } else {
        SendMessageA(hwnd, WM_CANCELMODE, 0, 0);
        if (!wasDisabled && IsWindow(hwnd)) {
            window->SetStyle(window->GetStyle() | WS_DISABLED);
            if (window->GetThreadId() == GetCurrentThreadId() && GetFocus() == hwnd)
                SetFocus(nullptr); // a disabled window cannot keep the focus
            SendMessageA(hwnd, WM_ENABLE, FALSE, 0);
        }
    }
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    return window && !(window->GetStyle() & WS_DISABLED) ? TRUE : FALSE;
}
