#include "platform/win/Input.h"

#include "platform/base/Clock.h"
#include "platform/win/Capture.h"
#include "platform/win/Focus.h"
#include "platform/win/Hooks.h"
#include "platform/win/MessageQueue.h"
#include "platform/gdi/Region.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/WindowGeometry.h"

#include <array>
#include <cstring>
#include <deque>
#include <mutex>
#include <unordered_map>

namespace tavrin::win {

struct InputEvent {
    enum class Kind { Move, Button, Wheel, Key, Char } kind;
    POINT pt{0, 0};
    int button = 0; // 0 left, 1 right, 2 middle
    bool down = false;
    int delta = 0;
    UINT key = 0;
    bool repeat = false;
    WORD keyFlags = 0; // MK_ flags at the time of the event
    bool alt = false;
    bool ctrl = false;
    DWORD time = 0;
};

namespace {

using KeyTable = std::array<BYTE, 256>;

struct Tracking {
    HWND hwnd;
    DWORD flags;
    DWORD hoverTime;
    POINT hoverStart;
    int64_t hoverDue;
};

struct LastClick {
    HWND hwnd = nullptr;
    int button = -1;
    bool nonClient = false;
    DWORD time = 0;
    POINT pt{0, 0};
};

struct InputState {
    std::mutex lock;
    POINT cursor{0, 0};
    KeyTable async{};
    std::unordered_map<DWORD, std::deque<InputEvent>> queues;
    std::unordered_map<DWORD, KeyTable> threadKeys;
    std::vector<Tracking> tracking;
    LastClick lastClick;
};

InputState& State()
{
    static InputState* state = new InputState;
    return *state;
}

constexpr UINT kButtonDown[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
constexpr UINT kButtonUp[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
constexpr UINT kButtonDouble[] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
constexpr UINT kNcButtonDown[] = {WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCMBUTTONDOWN};
constexpr UINT kNcButtonUp[] = {WM_NCLBUTTONUP, WM_NCRBUTTONUP, WM_NCMBUTTONUP};
constexpr UINT kNcButtonDouble[] = {WM_NCLBUTTONDBLCLK, WM_NCRBUTTONDBLCLK, WM_NCMBUTTONDBLCLK};
constexpr UINT kButtonKeys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};

// Caller holds the state lock.
WORD MouseKeyFlags(const KeyTable& keys)
{
    WORD flags = 0;
    if (keys[VK_LBUTTON] & 0x80)
        flags |= MK_LBUTTON;
    if (keys[VK_RBUTTON] & 0x80)
        flags |= MK_RBUTTON;
    if (keys[VK_MBUTTON] & 0x80)
        flags |= MK_MBUTTON;
    if (keys[VK_SHIFT] & 0x80)
        flags |= MK_SHIFT;
    if (keys[VK_CONTROL] & 0x80)
        flags |= MK_CONTROL;
    return flags;
}

void SetKey(KeyTable& keys, UINT key, bool down)
{
    auto one = [&](UINT k) {
        if (down) {
            if (!(keys[k] & 0x80))
                keys[k] ^= 0x01;
            keys[k] |= 0x80;
        } else {
            keys[k] &= static_cast<BYTE>(~0x80);
        }
    };
    one(key & 0xFF);
    switch (key) {
    case VK_LSHIFT:
    case VK_RSHIFT: one(VK_SHIFT); break;
    case VK_LCONTROL:
    case VK_RCONTROL: one(VK_CONTROL); break;
    case VK_LMENU:
    case VK_RMENU: one(VK_MENU); break;
    default: break;
    }
}

bool InWindowShape(const Window& window, POINT pt)
{
    RECT r = ScreenRect(window);
    if (!PtInRect(&r, pt))
        return false;
    auto region = window.GetRegion();
    return !region || region->Contains(pt.x - r.left, pt.y - r.top);
}

// The top-level window under the point by shape alone (input routing).
HWND TopLevelAt(POINT pt)
{
    for (HWND top : Window::TopLevelWindows()) {
        auto window = Window::FromHandle(top);
        if (!window || !(window->GetStyle() & WS_VISIBLE))
            continue;
        if ((window->GetExStyle() & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == (WS_EX_LAYERED | WS_EX_TRANSPARENT))
            continue;
        if (InWindowShape(*window, pt))
            return top;
    }
    return nullptr;
}

// The window that gets a mouse event at the point: the deepest visible,
// enabled window containing it whose WM_NCHITTEST is not HTTRANSPARENT.
HWND SearchChildren(HWND parent, POINT pt, LRESULT* hit);

HWND SearchWindow(HWND hwnd, POINT pt, LRESULT* hit)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !(window->GetStyle() & WS_VISIBLE) || !InWindowShape(*window, pt))
        return nullptr;
    if (window->GetStyle() & WS_DISABLED) {
        // A disabled child passes the point to its parent; a disabled
        // top-level window refuses it.
        if (window->GetStyle() & WS_CHILD)
            return nullptr;
        *hit = HTERROR;
        return hwnd;
    }
    RECT client = ScreenClientRect(*window);
    if (PtInRect(&client, pt))
        if (HWND child = SearchChildren(hwnd, pt, hit))
            return child;
    LRESULT answer = SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    if (answer == HTTRANSPARENT)
        return nullptr;
    *hit = answer;
    return hwnd;
}

HWND SearchChildren(HWND parent, POINT pt, LRESULT* hit)
{
    auto window = Window::FromHandle(parent);
    if (!window)
        return nullptr;
    for (HWND child : window->GetChildren())
        if (HWND found = SearchWindow(child, pt, hit))
            return found;
    return nullptr;
}

HWND MouseTarget(POINT pt, LRESULT* hit)
{
    for (HWND top : Window::TopLevelWindows()) {
        auto window = Window::FromHandle(top);
        if (!window)
            continue;
        if ((window->GetExStyle() & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == (WS_EX_LAYERED | WS_EX_TRANSPARENT))
            continue;
        if (HWND found = SearchWindow(top, pt, hit))
            return found;
    }
    return nullptr;
}

void Enqueue(DWORD threadId, const InputEvent& event)
{
    {
        std::lock_guard<std::mutex> lock(State().lock);
        auto& queue = State().queues[threadId];
        // Mouse moves collapse into the latest one.
        if (event.kind == InputEvent::Kind::Move && !queue.empty() && queue.back().kind == InputEvent::Kind::Move)
            queue.back() = event;
        else
            queue.push_back(event);
    }
    if (auto queue = MessageQueue::ForThread(threadId))
        queue->Wake();
}

void LeaveAll(HWND except)
{
    std::vector<Tracking> left;
    {
        std::lock_guard<std::mutex> lock(State().lock);
        auto& tracking = State().tracking;
        for (auto it = tracking.begin(); it != tracking.end();) {
            if (it->hwnd != except && (it->flags & TME_LEAVE)) {
                left.push_back(*it);
                it = tracking.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const Tracking& t : left)
        PostMessageA(t.hwnd, (t.flags & TME_NONCLIENT) ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
}

void MouseInput(const InputEvent& event)
{
    HWND capture = GetSystemCapture();
    HWND routed = capture ? capture : TopLevelAt(event.pt);
    if (!routed) {
        LeaveAll(nullptr);
        return;
    }
    Enqueue(GetWindowThreadProcessId(routed, nullptr), event);
}

void KeyInput(const InputEvent& event)
{
    HWND foreground = GetForegroundWindow();
    if (!foreground)
        return;
    Enqueue(GetWindowThreadProcessId(foreground, nullptr), event);
}

InputEvent Stamp(InputEvent event)
{
    event.time = GetTickCount();
    std::lock_guard<std::mutex> lock(State().lock);
    event.pt = State().cursor;
    event.keyFlags = MouseKeyFlags(State().async);
    event.alt = (State().async[VK_MENU] & 0x80) != 0;
    event.ctrl = (State().async[VK_CONTROL] & 0x80) != 0;
    return event;
}

bool IsExtendedKey(UINT key)
{
    switch (key) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_LEFT: case VK_UP: case VK_RIGHT:
    case VK_DOWN: case VK_INSERT: case VK_DELETE: case VK_DIVIDE: case VK_NUMLOCK: case VK_RCONTROL:
    case VK_RMENU: case VK_LWIN: case VK_RWIN: case VK_APPS:
        return true;
    default:
        return false;
    }
}

// The leave and hover bookkeeping after a mouse message went to target.
void UpdateTracking(HWND target, LRESULT hit, POINT pt)
{
    std::vector<Tracking> left;
    {
        std::lock_guard<std::mutex> lock(State().lock);
        const int width = static_cast<int>(GetSystemParameter(SPI_GETMOUSEHOVERWIDTH));
        const int height = static_cast<int>(GetSystemParameter(SPI_GETMOUSEHOVERHEIGHT));
        auto& tracking = State().tracking;
        for (auto it = tracking.begin(); it != tracking.end();) {
            const bool nonClient = (it->flags & TME_NONCLIENT) != 0;
            const bool inside = it->hwnd == target && (nonClient ? hit != HTCLIENT : hit == HTCLIENT);
            if (!inside && (it->flags & TME_LEAVE)) {
                left.push_back(*it);
                it = tracking.erase(it);
                continue;
            }
            if (inside && (it->flags & TME_HOVER) &&
                (std::abs(pt.x - it->hoverStart.x) > width / 2 || std::abs(pt.y - it->hoverStart.y) > height / 2)) {
                it->hoverStart = pt;
                it->hoverDue = tavrin::clock::NowMs() + it->hoverTime;
            }
            ++it;
        }
    }
    for (const Tracking& t : left)
        PostMessageA(t.hwnd, (t.flags & TME_NONCLIENT) ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
}

struct Translated {
    MSG msg{};
    LRESULT hit = HTCLIENT;
    bool captured = false;
    bool valid = false;
    bool rerouted = false;
};

// Turns an event into the message it becomes on this thread. A mouse event
// over another thread's window moves to that thread.
// A look without removing (commit false) leaves the double-click state as
// it was, so the click taken afterwards is judged the same way.
Translated Translate(const InputEvent& event, bool commit)
{
    Translated t;
    const DWORD self = GetCurrentThreadId();
    if (event.kind == InputEvent::Kind::Key || event.kind == InputEvent::Kind::Char) {
        HWND target = ThreadFocusWindow(self);
        bool sys = false;
        if (!target || !IsWindow(target)) {
            target = ThreadActiveWindow(self);
            sys = true; // keys without a focus window go to the active window as system keys
        }
        if (!target || !IsWindow(target))
            return t;
        if (event.kind == InputEvent::Kind::Char) {
            t.msg = MSG{target, WM_CHAR, event.key, 1, event.time, event.pt};
            t.valid = true;
            return t;
        }
        const bool altKey = event.alt && !event.ctrl;
        sys = sys || altKey || event.key == VK_F10 || event.key == VK_MENU;
        UINT message = event.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
        DWORD bits = 1 | (MapVirtualKeyA(event.key, 0) << 16);
        if (IsExtendedKey(event.key))
            bits |= 1u << 24;
        if (event.alt)
            bits |= 1u << 29;
        if (!event.down || event.repeat)
            bits |= 1u << 30;
        if (!event.down)
            bits |= 1u << 31;
        t.msg = MSG{target, message, event.key, static_cast<LPARAM>(bits), event.time, event.pt};
        t.valid = true;
        return t;
    }

    HWND target = GetSystemCapture();
    LRESULT hit = HTCLIENT;
    if (target) {
        t.captured = true;
    } else {
        target = MouseTarget(event.pt, &hit);
        if (!target) {
            LeaveAll(nullptr);
            return t;
        }
    }
    if (GetWindowThreadProcessId(target, nullptr) != self) {
        Enqueue(GetWindowThreadProcessId(target, nullptr), event);
        t.rerouted = true;
        return t;
    }
    t.hit = hit;
    if (hit == HTERROR)
        return t; // a disabled window takes no mouse input
    const bool client = t.captured || hit == HTCLIENT;
    POINT local = event.pt;
    if (client)
        ScreenToClient(target, &local);
    UINT message = 0;
    WPARAM wParam = client ? event.keyFlags : static_cast<WPARAM>(hit);
    LPARAM lParam = MAKELPARAM(local.x, local.y);
    switch (event.kind) {
    case InputEvent::Kind::Move:
        message = client ? WM_MOUSEMOVE : WM_NCMOUSEMOVE;
        break;
    case InputEvent::Kind::Wheel:
        // The wheel goes to the focus window, with screen coordinates.
        if (HWND focus = ThreadFocusWindow(self); focus && IsWindow(focus))
            target = focus;
        message = WM_MOUSEWHEEL;
        wParam = MAKEWPARAM(event.keyFlags, static_cast<WORD>(static_cast<short>(event.delta)));
        lParam = MAKELPARAM(event.pt.x, event.pt.y);
        break;
    case InputEvent::Kind::Button:
        if (!event.down) {
            message = client ? kButtonUp[event.button] : kNcButtonUp[event.button];
            break;
        }
        message = client ? kButtonDown[event.button] : kNcButtonDown[event.button];
        {
            std::lock_guard<std::mutex> lock(State().lock);
            LastClick& last = State().lastClick;
            const int cx = GetSystemMetrics(SM_CXDOUBLECLK) / 2, cy = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
            const bool wantsDouble =
                !client || (Window::FromHandle(target) &&
                            (Window::FromHandle(target)->GetClass()->m_info.style & CS_DBLCLKS));
            if (wantsDouble && last.hwnd == target && last.button == event.button && last.nonClient == !client &&
                event.time - last.time <= GetDoubleClickTime() && std::abs(event.pt.x - last.pt.x) <= cx &&
                std::abs(event.pt.y - last.pt.y) <= cy) {
                message = client ? kButtonDouble[event.button] : kNcButtonDouble[event.button];
                if (commit)
                    last = LastClick{}; // a third click starts anew
            } else if (commit) {
                last = LastClick{target, event.button, !client, event.time, event.pt};
            }
        }
        break;
    default:
        break;
    }
    t.msg = MSG{target, message, wParam, lParam, event.time, event.pt};
    t.valid = true;
    return t;
}

bool IsMouseMessage(UINT message)
{
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
}

bool IsButtonDown(UINT message)
{
    switch (message) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: case WM_NCRBUTTONDBLCLK: case WM_NCMBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

bool Pop(DWORD self, InputEvent* event)
{
    std::lock_guard<std::mutex> lock(State().lock);
    auto it = State().queues.find(self);
    if (it == State().queues.end() || it->second.empty())
        return false;
    *event = it->second.front();
    it->second.pop_front();
    return true;
}

void PushFront(DWORD self, const InputEvent& event)
{
    std::lock_guard<std::mutex> lock(State().lock);
    State().queues[self].push_front(event);
}

void ApplyToThreadKeys(DWORD self, const InputEvent& event)
{
    std::lock_guard<std::mutex> lock(State().lock);
    KeyTable& keys = State().threadKeys[self];
    if (event.kind == InputEvent::Kind::Button)
        SetKey(keys, kButtonKeys[event.button], event.down);
    else if (event.kind == InputEvent::Kind::Key)
        SetKey(keys, event.key, event.down);
}

} // namespace

bool RetrieveInput(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, bool remove)
{
    const DWORD self = GetCurrentThreadId();
    // Events are taken in order; one that does not pass the filter stays,
    // with those behind it.
    std::deque<InputEvent> skipped;
    bool found = false;
    InputEvent event;
    while (!found && Pop(self, &event)) {
        Translated t = Translate(event, remove);
        if (t.rerouted)
            continue;
        if (!t.valid) {
            ApplyToThreadKeys(self, event);
            continue;
        }
        if (!MessageQueue::Matches(filter, t.msg.hwnd, t.msg.message, filterMin, filterMax)) {
            skipped.push_back(event);
            continue;
        }
        const bool mouse = IsMouseMessage(t.msg.message);
        if (!remove) {
            // A look without removing: the hooks hear of it as such.
            int code = HC_NOREMOVE;
            LRESULT swallow = 0;
            if (mouse && HasHooks(WH_MOUSE)) {
                MOUSEHOOKSTRUCT info{t.msg.pt, t.msg.hwnd, static_cast<UINT>(t.hit), 0};
                swallow = CallHooks(WH_MOUSE, code, t.msg.message, reinterpret_cast<LPARAM>(&info));
            } else if (!mouse && t.msg.message != WM_CHAR && HasHooks(WH_KEYBOARD)) {
                swallow = CallHooks(WH_KEYBOARD, code, t.msg.wParam, t.msg.lParam);
            }
            if (swallow)
                continue;
            skipped.push_back(event);
            *msg = t.msg;
            found = true;
            break;
        }
        ApplyToThreadKeys(self, event);
        if (mouse) {
            if (HasHooks(WH_MOUSE)) {
                MOUSEHOOKSTRUCT info{t.msg.pt, t.msg.hwnd, static_cast<UINT>(t.hit), 0};
                if (CallHooks(WH_MOUSE, HC_ACTION, t.msg.message, reinterpret_cast<LPARAM>(&info)))
                    continue;
            }
            if (!IsWindow(t.msg.hwnd))
                continue;
            if (t.msg.message != WM_MOUSEWHEEL)
                UpdateTracking(t.msg.hwnd, t.captured ? HTCLIENT : t.hit, t.msg.pt);
            if (IsButtonDown(t.msg.message) && !t.captured) {
                HWND top = GetAncestor(t.msg.hwnd, GA_ROOT);
                auto topWindow = Window::FromHandle(top);
                if (topWindow && GetActiveWindow() != top) {
                    LRESULT answer = SendMessageA(t.msg.hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                                  MAKELPARAM(t.hit, t.msg.message));
                    if ((answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) &&
                        !(topWindow->GetExStyle() & WS_EX_NOACTIVATE) && IsWindow(top))
                        ActivateByMouse(top);
                    if (answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT)
                        continue;
                }
            }
            if (!t.captured && t.msg.message != WM_MOUSEWHEEL && IsWindow(t.msg.hwnd))
                SendMessageA(t.msg.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(t.msg.hwnd),
                             MAKELPARAM(t.hit, t.msg.message));
            if (!IsWindow(t.msg.hwnd))
                continue;
        } else if (t.msg.message != WM_CHAR && HasHooks(WH_KEYBOARD)) {
            if (CallHooks(WH_KEYBOARD, HC_ACTION, t.msg.wParam, t.msg.lParam))
                continue;
        }
        *msg = t.msg;
        found = true;
    }
    for (auto it = skipped.rbegin(); it != skipped.rend(); ++it)
        PushFront(self, *it);
    return found;
}

bool ThreadHasInput(DWORD threadId, DWORD* status)
{
    std::lock_guard<std::mutex> lock(State().lock);
    auto it = State().queues.find(threadId);
    if (it == State().queues.end() || it->second.empty())
        return false;
    for (const InputEvent& e : it->second) {
        if (e.kind == InputEvent::Kind::Move)
            *status |= QS_MOUSEMOVE;
        else if (e.kind == InputEvent::Kind::Button || e.kind == InputEvent::Kind::Wheel)
            *status |= QS_MOUSEBUTTON;
        else
            *status |= QS_KEY;
    }
    return true;
}

void ForgetMouseTracking(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(State().lock);
    std::erase_if(State().tracking, [&](const Tracking& t) { return t.hwnd == hwnd; });
    if (State().lastClick.hwnd == hwnd)
        State().lastClick = LastClick{};
}

void ForgetThreadInput(DWORD threadId)
{
    std::lock_guard<std::mutex> lock(State().lock);
    State().queues.erase(threadId);
    State().threadKeys.erase(threadId);
}

int64_t NextHoverDue(DWORD threadId)
{
    std::lock_guard<std::mutex> lock(State().lock);
    int64_t due = -1;
    for (const Tracking& t : State().tracking) {
        if (!(t.flags & TME_HOVER))
            continue;
        auto window = Window::FromHandle(t.hwnd);
        if (window && window->GetThreadId() == threadId && (due < 0 || t.hoverDue < due))
            due = t.hoverDue;
    }
    return due;
}

void CheckHover(DWORD threadId)
{
    std::vector<std::pair<Tracking, WORD>> due;
    POINT cursor;
    {
        std::lock_guard<std::mutex> lock(State().lock);
        if (State().tracking.empty())
            return;
        const int64_t now = tavrin::clock::NowMs();
        cursor = State().cursor;
        for (auto it = State().tracking.begin(); it != State().tracking.end();) {
            auto window = Window::FromHandle(it->hwnd);
            if ((it->flags & TME_HOVER) && window && window->GetThreadId() == threadId && now >= it->hoverDue) {
                due.emplace_back(*it, MouseKeyFlags(State().async));
                it->flags &= ~static_cast<DWORD>(TME_HOVER);
                if (!(it->flags & TME_LEAVE)) {
                    it = State().tracking.erase(it);
                    continue;
                }
            }
            ++it;
        }
    }
    for (const auto& [t, keys] : due) {
        if (t.flags & TME_NONCLIENT) {
            LRESULT hit = SendMessageA(t.hwnd, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y));
            PostMessageA(t.hwnd, WM_NCMOUSEHOVER, static_cast<WPARAM>(hit), MAKELPARAM(cursor.x, cursor.y));
        } else {
            POINT local = cursor;
            ScreenToClient(t.hwnd, &local);
            PostMessageA(t.hwnd, WM_MOUSEHOVER, keys, MAKELPARAM(local.x, local.y));
        }
    }
}

void InjectMouseMove(int x, int y)
{
    {
        std::lock_guard<std::mutex> lock(State().lock);
        State().cursor = POINT{x, y};
    }
    InputEvent event{};
    event.kind = InputEvent::Kind::Move;
    MouseInput(Stamp(event));
}

void InjectMouseButton(MouseButton button, bool down)
{
    InputEvent event{};
    event.kind = InputEvent::Kind::Button;
    event.button = button == MouseButton::Left ? 0 : button == MouseButton::Right ? 1 : 2;
    event.down = down;
    {
        std::lock_guard<std::mutex> lock(State().lock);
        SetKey(State().async, kButtonKeys[event.button], down);
    }
    MouseInput(Stamp(event));
}

void InjectMouseWheel(int delta)
{
    InputEvent event{};
    event.kind = InputEvent::Kind::Wheel;
    event.delta = delta;
    MouseInput(Stamp(event));
}

void InjectKey(UINT virtualKey, bool down)
{
    InputEvent event{};
    event.kind = InputEvent::Kind::Key;
    event.key = virtualKey & 0xFF;
    event.down = down;
    {
        std::lock_guard<std::mutex> lock(State().lock);
        event.repeat = down && (State().async[event.key] & 0x80);
        SetKey(State().async, event.key, down);
    }
    InputEvent stamped = Stamp(event);
    if (virtualKey == VK_MENU && !down)
        stamped.alt = true; // the Alt release is still an Alt key
    KeyInput(stamped);
}

void InjectText(const std::string& text)
{
    for (unsigned char ch : text) {
        InputEvent event{};
        event.kind = InputEvent::Kind::Char;
        event.key = ch;
        KeyInput(Stamp(event));
    }
}

void InjectClick(int x, int y, MouseButton button)
{
    InjectMouseMove(x, y);
    InjectMouseButton(button, true);
    InjectMouseButton(button, false);
}

int CharFromKey(UINT key)
{
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    if (key >= 'A' && key <= 'Z') {
        if (control)
            return static_cast<int>(key - 'A' + 1);
        return (shift != caps) ? static_cast<int>(key) : static_cast<int>(key - 'A' + 'a');
    }
    if (control)
        return -1;
    if (key == VK_BACK || key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_SPACE)
        return static_cast<int>(key);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return static_cast<int>('0' + key - VK_NUMPAD0);
    static const char* const digitsShifted = ")!@#$%^&*(";
    if (key >= '0' && key <= '9')
        return shift ? digitsShifted[key - '0'] : static_cast<int>(key);
    struct Punct {
        UINT key;
        char plain;
        char shifted;
    };
    static const Punct punct[] = {{VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},  {VK_OEM_COMMA, ',', '<'},
                                  {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
                                  {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},     {VK_OEM_5, '\\', '|'},
                                  {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'},    {VK_MULTIPLY, '*', '*'},
                                  {VK_ADD, '+', '+'},       {VK_SUBTRACT, '-', '-'},  {VK_DECIMAL, '.', '.'},
                                  {VK_DIVIDE, '/', '/'}};
    for (const Punct& p : punct)
        if (p.key == key)
            return shift ? p.shifted : p.plain;
    return -1;
}

} // namespace tavrin::win

using tavrin::win::State;

SHORT GetKeyState(int key)
{
    std::lock_guard<std::mutex> lock(State().lock);
    BYTE value = State().threadKeys[GetCurrentThreadId()][static_cast<size_t>(key & 0xFF)];
    return static_cast<SHORT>(((value & 0x80) ? 0xFF80 : 0) | (value & 0x01));
}

SHORT GetAsyncKeyState(int key)
{
    std::lock_guard<std::mutex> lock(State().lock);
    return (State().async[static_cast<size_t>(key & 0xFF)] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL GetKeyboardState(LPBYTE keys)
{
    if (!keys)
        return FALSE;
    std::lock_guard<std::mutex> lock(State().lock);
    const auto& table = State().threadKeys[GetCurrentThreadId()];
    std::memcpy(keys, table.data(), table.size());
    return TRUE;
}

BOOL GetCursorPos(LPPOINT pt)
{
    if (!pt)
        return FALSE;
    std::lock_guard<std::mutex> lock(State().lock);
    *pt = State().cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    tavrin::win::InjectMouseMove(x, y);
    return TRUE;
}

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT track)
{
    if (!track || track->cbSize != sizeof(TRACKMOUSEEVENT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto& state = State();
    if (track->dwFlags & TME_QUERY) {
        std::lock_guard<std::mutex> lock(state.lock);
        for (const auto& t : state.tracking) {
            auto window = tavrin::win::Window::FromHandle(t.hwnd);
            if (window && window->GetThreadId() == GetCurrentThreadId()) {
                track->dwFlags = t.flags;
                track->hwndTrack = t.hwnd;
                track->dwHoverTime = t.hoverTime;
                return TRUE;
            }
        }
        track->dwFlags = 0;
        track->hwndTrack = nullptr;
        track->dwHoverTime = 0;
        return TRUE;
    }
    HWND hwnd = track->hwndTrack;
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const DWORD kinds = track->dwFlags & (TME_HOVER | TME_LEAVE);
    if (track->dwFlags & TME_CANCEL) {
        std::lock_guard<std::mutex> lock(state.lock);
        for (auto it = state.tracking.begin(); it != state.tracking.end(); ++it) {
            if (it->hwnd == hwnd) {
                it->flags &= ~kinds;
                if (!(it->flags & (TME_HOVER | TME_LEAVE)))
                    state.tracking.erase(it);
                break;
            }
        }
        return TRUE;
    }
    // Is the cursor over the tracked part of the window now?
    POINT cursor;
    GetCursorPos(&cursor);
    LRESULT hit = HTNOWHERE;
    HWND under = tavrin::win::MouseTarget(cursor, &hit);
    const bool nonClient = (track->dwFlags & TME_NONCLIENT) != 0;
    const bool inside = under == hwnd && (nonClient ? hit != HTCLIENT : hit == HTCLIENT);
    if (!inside) {
        if (kinds & TME_LEAVE)
            PostMessageA(hwnd, nonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
        return TRUE;
    }
    DWORD hoverTime = track->dwHoverTime;
    if (hoverTime == HOVER_DEFAULT)
        hoverTime = tavrin::win::GetSystemParameter(SPI_GETMOUSEHOVERTIME);
    std::lock_guard<std::mutex> lock(state.lock);
    // One tracked window per thread: a new window replaces the old one.
    std::erase_if(state.tracking, [&](const tavrin::win::Tracking& t) {
        auto window = tavrin::win::Window::FromHandle(t.hwnd);
        return t.hwnd != hwnd && (!window || window->GetThreadId() == GetCurrentThreadId());
    });
    for (auto& t : state.tracking) {
        if (t.hwnd == hwnd) {
            t.flags = (t.flags & ~static_cast<DWORD>(TME_NONCLIENT)) | track->dwFlags;
            if (kinds & TME_HOVER) {
                t.hoverTime = hoverTime;
                t.hoverStart = cursor;
                t.hoverDue = tavrin::clock::NowMs() + hoverTime;
            }
            return TRUE;
        }
    }
    state.tracking.push_back(tavrin::win::Tracking{hwnd, track->dwFlags & (TME_HOVER | TME_LEAVE | TME_NONCLIENT),
                                                   hoverTime, cursor, tavrin::clock::NowMs() + hoverTime});
    return TRUE;
}

UINT MapVirtualKeyA(UINT code, UINT mapType)
{
    // Set-1 scan codes of a US keyboard.
    static const std::pair<UINT, UINT> scans[] = {
        {VK_ESCAPE, 0x01}, {'1', 0x02}, {'2', 0x03}, {'3', 0x04}, {'4', 0x05}, {'5', 0x06}, {'6', 0x07},
        {'7', 0x08}, {'8', 0x09}, {'9', 0x0A}, {'0', 0x0B}, {VK_OEM_MINUS, 0x0C}, {VK_OEM_PLUS, 0x0D},
        {VK_BACK, 0x0E}, {VK_TAB, 0x0F}, {'Q', 0x10}, {'W', 0x11}, {'E', 0x12}, {'R', 0x13}, {'T', 0x14},
        {'Y', 0x15}, {'U', 0x16}, {'I', 0x17}, {'O', 0x18}, {'P', 0x19}, {VK_OEM_4, 0x1A}, {VK_OEM_6, 0x1B},
        {VK_RETURN, 0x1C}, {VK_CONTROL, 0x1D}, {'A', 0x1E}, {'S', 0x1F}, {'D', 0x20}, {'F', 0x21}, {'G', 0x22},
        {'H', 0x23}, {'J', 0x24}, {'K', 0x25}, {'L', 0x26}, {VK_OEM_1, 0x27}, {VK_OEM_7, 0x28}, {VK_OEM_3, 0x29},
        {VK_SHIFT, 0x2A}, {VK_OEM_5, 0x2B}, {'Z', 0x2C}, {'X', 0x2D}, {'C', 0x2E}, {'V', 0x2F}, {'B', 0x30},
        {'N', 0x31}, {'M', 0x32}, {VK_OEM_COMMA, 0x33}, {VK_OEM_PERIOD, 0x34}, {VK_OEM_2, 0x35},
        {VK_RSHIFT, 0x36}, {VK_MULTIPLY, 0x37}, {VK_MENU, 0x38}, {VK_SPACE, 0x39}, {VK_CAPITAL, 0x3A},
        {VK_F1, 0x3B}, {VK_F2, 0x3C}, {VK_F3, 0x3D}, {VK_F4, 0x3E}, {VK_F5, 0x3F}, {VK_F6, 0x40}, {VK_F7, 0x41},
        {VK_F8, 0x42}, {VK_F9, 0x43}, {VK_F10, 0x44}, {VK_NUMLOCK, 0x45}, {VK_SCROLL, 0x46}, {VK_HOME, 0x47},
        {VK_UP, 0x48}, {VK_PRIOR, 0x49}, {VK_SUBTRACT, 0x4A}, {VK_LEFT, 0x4B}, {VK_CLEAR, 0x4C},
        {VK_RIGHT, 0x4D}, {VK_ADD, 0x4E}, {VK_END, 0x4F}, {VK_DOWN, 0x50}, {VK_NEXT, 0x51}, {VK_INSERT, 0x52},
        {VK_DELETE, 0x53}, {VK_F11, 0x57}, {VK_F12, 0x58}, {VK_LSHIFT, 0x2A}, {VK_LCONTROL, 0x1D},
        {VK_RCONTROL, 0x1D}, {VK_LMENU, 0x38}, {VK_RMENU, 0x38}, {VK_LWIN, 0x5B}, {VK_RWIN, 0x5C},
        {VK_APPS, 0x5D}, {VK_DIVIDE, 0x35}, {VK_DECIMAL, 0x53},
    };
    switch (mapType) {
    case 0:
        for (auto [vk, scan] : scans)
            if (vk == code)
                return scan;
        return 0;
    case 1:
        for (auto [vk, scan] : scans)
            if (scan == code)
                return vk;
        return 0;
    case 2: {
        if (code >= 'A' && code <= 'Z')
            return code;
        if (code >= '0' && code <= '9')
            return code;
        static const std::pair<UINT, char> chars[] = {
            {VK_SPACE, ' '},   {VK_BACK, '\b'},     {VK_TAB, '\t'},        {VK_RETURN, '\r'},   {VK_ESCAPE, 0x1B},
            {VK_OEM_1, ';'},   {VK_OEM_PLUS, '='},  {VK_OEM_COMMA, ','},   {VK_OEM_MINUS, '-'}, {VK_OEM_PERIOD, '.'},
            {VK_OEM_2, '/'},   {VK_OEM_3, '`'},     {VK_OEM_4, '['},       {VK_OEM_5, '\\'},    {VK_OEM_6, ']'},
            {VK_OEM_7, '\''},  {VK_MULTIPLY, '*'},  {VK_ADD, '+'},         {VK_SUBTRACT, '-'},  {VK_DIVIDE, '/'},
        };
        for (auto [vk, ch] : chars)
            if (vk == code)
                return static_cast<UINT>(static_cast<unsigned char>(ch));
        return 0;
    }
    default:
        return 0;
    }
}

int GetKeyNameTextA(LONG lParam, LPSTR buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    const UINT scan = (static_cast<DWORD>(lParam) >> 16) & 0xFF;
    const bool extended = (static_cast<DWORD>(lParam) >> 24) & 1;
    std::string name;
    static const std::pair<UINT, const char*> named[] = {
        {0x01, "Esc"},   {0x0E, "Backspace"}, {0x0F, "Tab"},    {0x1C, "Enter"},     {0x1D, "Ctrl"},
        {0x2A, "Shift"}, {0x36, "Right Shift"}, {0x38, "Alt"},  {0x39, "Space"},     {0x3A, "Caps Lock"},
        {0x45, "Num Lock"}, {0x46, "Scroll Lock"}, {0x37, "Num *"}, {0x4A, "Num -"}, {0x4E, "Num +"},
    };
    static const std::pair<UINT, const char*> extendedNames[] = {
        {0x47, "Home"}, {0x48, "Up"},   {0x49, "Page Up"}, {0x4B, "Left"},   {0x4D, "Right"},    {0x4F, "End"},
        {0x50, "Down"}, {0x51, "Page Down"}, {0x52, "Insert"}, {0x53, "Delete"}, {0x1D, "Right Ctrl"},
        {0x38, "Right Alt"}, {0x35, "Num /"}, {0x1C, "Num Enter"},
    };
    if (extended)
        for (auto [s, n] : extendedNames)
            if (s == scan)
                name = n;
    if (name.empty())
        for (auto [s, n] : named)
            if (s == scan)
                name = n;
    if (name.empty()) {
        UINT vk = MapVirtualKeyA(scan, 1);
        if (vk >= VK_F1 && vk <= VK_F12)
            name = "F" + std::to_string(vk - VK_F1 + 1);
        else if (UINT ch = MapVirtualKeyA(vk, 2); ch > ' ' && ch < 0x7F)
            name = std::string(1, static_cast<char>(ch));
        else if (scan >= 0x47 && scan <= 0x53) {
            static const char* const pad[] = {"Num 7", "Num 8", "Num 9", "", "Num 4", "Num 5", "Num 6", "",
                                              "Num 1", "Num 2", "Num 3", "Num 0", "Num Del"};
            name = pad[scan - 0x47];
        }
    }
    int n = std::min(static_cast<int>(name.size()), size - 1);
    std::memcpy(buffer, name.data(), static_cast<size_t>(n));
    buffer[n] = 0;
    return n;
}

SHORT VkKeyScanA(CHAR ch)
{
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z')
        return static_cast<SHORT>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z')
        return static_cast<SHORT>(0x100 | c);
    for (UINT vk = 0; vk < 256; ++vk) {
        if (MapVirtualKeyA(vk, 2) == c && !(vk >= VK_NUMPAD0 && vk <= VK_DIVIDE))
            return static_cast<SHORT>(vk);
    }
    static const char* const digitsShifted = ")!@#$%^&*(";
    for (int i = 0; i < 10; ++i)
        if (digitsShifted[i] == ch)
            return static_cast<SHORT>(0x100 | ('0' + i));
    static const std::pair<char, UINT> shifted[] = {{':', VK_OEM_1}, {'+', VK_OEM_PLUS}, {'<', VK_OEM_COMMA},
                                                    {'_', VK_OEM_MINUS}, {'>', VK_OEM_PERIOD}, {'?', VK_OEM_2},
                                                    {'~', VK_OEM_3}, {'{', VK_OEM_4}, {'|', VK_OEM_5},
                                                    {'}', VK_OEM_6}, {'"', VK_OEM_7}};
    for (auto [s, vk] : shifted)
        if (s == ch)
            return static_cast<SHORT>(0x100 | vk);
    return -1;
}
