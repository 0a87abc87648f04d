#include "platform/win/MessageQueue.h"

#include "platform/base/Clock.h"
#include "platform/win/Broadcast.h"
#include "platform/win/Hooks.h"
#include "platform/win/Input.h"
#include "platform/win/Painting.h"
#include "platform/win/QueueWait.h"
#include "platform/win/Timer.h"
#include "platform/win/Window.h"

#include <algorithm>
#include <string>
#include <strings.h>
#include <unordered_map>

namespace tavrin::win {

namespace {

struct QueueRegistry {
    std::mutex lock;
    std::unordered_map<DWORD, std::shared_ptr<MessageQueue>> queues;
};

QueueRegistry& Registry()
{
    static QueueRegistry* registry = new QueueRegistry;
    return *registry;
}

// Ends the thread's queue when the thread ends.
struct QueueHolder {
    std::shared_ptr<MessageQueue> queue;
    ~QueueHolder()
    {
        if (!queue)
            return;
        queue->Shutdown();
        std::lock_guard<std::mutex> lock(Registry().lock);
        Registry().queues.erase(queue->GetThreadId());
    }
};

thread_local QueueHolder t_holder;

int64_t NowMs()
{
    return tavrin::clock::NowMs();
}

} // namespace

MessageQueue::MessageQueue(DWORD threadId)
    : m_threadId(threadId), m_wake(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
}

MessageQueue::~MessageQueue()
{
    CloseHandle(m_wake);
}

MessageQueue& MessageQueue::Current()
{
    if (!t_holder.queue) {
        auto queue = std::make_shared<MessageQueue>(GetCurrentThreadId());
        std::lock_guard<std::mutex> lock(Registry().lock);
        Registry().queues[queue->GetThreadId()] = queue;
        t_holder.queue = std::move(queue);
    }
    return *t_holder.queue;
}

std::shared_ptr<MessageQueue> MessageQueue::ForThread(DWORD threadId)
{
    std::lock_guard<std::mutex> lock(Registry().lock);
    auto it = Registry().queues.find(threadId);
    return it == Registry().queues.end() ? nullptr : it->second;
}

void MessageQueue::Wake()
{
    SetEvent(m_wake);
    NotifyQueueWake();
}

bool MessageQueue::Post(const MSG& msg)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_ended)
            return false;
        m_posted.push_back(msg);
    }
    Wake();
    return true;
}

void MessageQueue::PostQuit(int exitCode)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_quit = true;
        m_quitCode = exitCode;
    }
    Wake();
}

void MessageQueue::EnqueueSent(const std::shared_ptr<SentMessage>& sent)
{
    bool queued = false;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_ended) {
            // Destruction marks the window before it forgets its sends under
            // this lock, so a send is either refused here or forgotten there.
            auto window = sent->hwnd ? Window::FromHandle(sent->hwnd) : nullptr;
            if (!sent->hwnd || (window && !window->IsDestroying())) {
                m_sent.push_back(sent);
                queued = true;
            }
        }
    }
    if (queued)
        Wake();
    else
        CompleteSent(sent, 0);
}

bool MessageQueue::DispatchSent()
{
    bool any = false;
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_sent.empty())
                break;
            sent = std::move(m_sent.front());
            m_sent.pop_front();
        }
        any = true;
        ++m_inSend;
        LRESULT result = sent->call ? sent->call()
                                    : CallWindowProcedure(sent->hwnd, sent->message, sent->wParam, sent->lParam);
        --m_inSend;
        CompleteSent(sent, result);
    }
    return any;
}

bool MessageQueue::Matches(HWND target, HWND hwnd, UINT message, UINT filterMin, UINT filterMax)
{
    if ((filterMin || filterMax) && (message < filterMin || message > filterMax))
        return false;
    if (!target)
        return true;
    if (target == reinterpret_cast<HWND>(static_cast<intptr_t>(-1)))
        return hwnd == nullptr;
    return hwnd == target || (hwnd && IsChild(target, hwnd));
}

bool MessageQueue::Peek(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, bool remove)
{
    // Order: sent, posted, input, quit, paint, timers.
    DispatchSent();
    CheckHover(m_threadId);
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (auto it = m_posted.begin(); it != m_posted.end(); ++it) {
            if (Matches(hwnd, it->hwnd, it->message, filterMin, filterMax)) {
                *msg = *it;
                if (remove)
                    m_posted.erase(it);
                m_lastTime = msg->time;
                m_lastPos = static_cast<DWORD>(MAKELONG(msg->pt.x, msg->pt.y));
                return true;
            }
        }
    }
    if (RetrieveInput(msg, hwnd, filterMin, filterMax, remove)) {
        m_lastTime = msg->time;
        m_lastPos = static_cast<DWORD>(MAKELONG(msg->pt.x, msg->pt.y));
        return true;
    }
    const int64_t now = NowMs();
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_quit) {
            // WM_QUIT passes every filter.
            *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(m_quitCode), 0, static_cast<DWORD>(now), {0, 0}};
            if (remove)
                m_quit = false;
            return true;
        }
    }
    if ((!filterMin && !filterMax) || (WM_PAINT >= filterMin && WM_PAINT <= filterMax)) {
        if (HWND paint = NextWindowToPaint(m_threadId, hwnd)) {
            POINT pt;
            GetCursorPos(&pt);
            *msg = MSG{paint, WM_PAINT, 0, 0, static_cast<DWORD>(now), pt};
            m_lastTime = msg->time;
            return true;
        }
    }
    std::lock_guard<std::mutex> lock(m_lock);
    Timer* next = nullptr;
    for (Timer& timer : m_timers) {
        if (timer.due <= now && Matches(hwnd, timer.hwnd, WM_TIMER, filterMin, filterMax) &&
            (!next || timer.due < next->due))
            next = &timer;
    }
    if (!next)
        return false;
    *msg = MSG{next->hwnd, WM_TIMER, next->id, reinterpret_cast<LPARAM>(next->proc), static_cast<DWORD>(now), {0, 0}};
    if (remove)
        next->due = now + next->interval;
    m_lastTime = msg->time;
    return true;
}

DWORD MessageQueue::GetStatus()
{
    DWORD status = 0;
    ThreadHasInput(m_threadId, &status);
    if (ThreadNeedsPaint(m_threadId))
        status |= QS_PAINT;
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_posted.empty() || m_quit)
        status |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
    if (!m_sent.empty())
        status |= QS_SENDMESSAGE;
    const int64_t now = NowMs();
    for (const Timer& timer : m_timers)
        if (timer.due <= now)
            status |= QS_TIMER;
    return status;
}

DWORD MessageQueue::TimeToNextTimer()
{
    int64_t hover = NextHoverDue(m_threadId);
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_timers.empty() && hover < 0)
        return INFINITE;
    int64_t next = hover >= 0 ? hover : m_timers.front().due;
    for (const Timer& timer : m_timers)
        next = std::min(next, timer.due);
    int64_t wait = next - NowMs();
    return wait <= 0 ? 0 : static_cast<DWORD>(std::min<int64_t>(wait, USER_TIMER_MAXIMUM));
}

UINT_PTR MessageQueue::SetTimer(HWND hwnd, UINT_PTR id, UINT interval, TIMERPROC proc)
{
    interval = std::clamp<UINT>(interval, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    UINT_PTR result;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_ended)
            return 0;
        auto same = [&](UINT_PTR i) {
            return std::find_if(m_timers.begin(), m_timers.end(),
                                [&](const Timer& t) { return t.hwnd == hwnd && t.id == i; });
        };
        if (!hwnd && (id == 0 || same(id) == m_timers.end())) {
            do
                id = m_nextThreadTimer++;
            while (id == 0 || same(id) != m_timers.end());
        }
        const int64_t due = NowMs() + interval;
        auto it = same(id);
        if (it != m_timers.end())
            *it = Timer{hwnd, id, interval, proc, due};
        else
            m_timers.push_back(Timer{hwnd, id, interval, proc, due});
        result = hwnd ? (id ? id : 1) : id;
    }
    Wake();
    return result;
}

bool MessageQueue::KillTimer(HWND hwnd, UINT_PTR id)
{
    std::lock_guard<std::mutex> lock(m_lock);
    return std::erase_if(m_timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; }) > 0;
}

bool MessageQueue::HasTimer(HWND hwnd, UINT_PTR id, TIMERPROC proc)
{
    std::lock_guard<std::mutex> lock(m_lock);
    return std::any_of(m_timers.begin(), m_timers.end(),
                       [&](const Timer& t) { return t.hwnd == hwnd && t.id == id && t.proc == proc; });
}

void MessageQueue::ForgetWindow(HWND hwnd)
{
    std::vector<std::shared_ptr<SentMessage>> orphans;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::erase_if(m_posted, [&](const MSG& m) { return m.hwnd == hwnd; });
        std::erase_if(m_timers, [&](const Timer& t) { return t.hwnd == hwnd; });
        for (auto it = m_sent.begin(); it != m_sent.end();) {
            if ((*it)->hwnd == hwnd) {
                orphans.push_back(std::move(*it));
                it = m_sent.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& sent : orphans)
        CompleteSent(sent, 0);
}

void MessageQueue::Shutdown()
{
    for (HWND hwnd : Window::ThreadWindows(m_threadId))
        DestroyWindow(hwnd);
    ForgetThreadInput(m_threadId);
    std::deque<std::shared_ptr<SentMessage>> orphans;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_ended = true;
        orphans.swap(m_sent);
        m_posted.clear();
        m_timers.clear();
    }
    for (auto& sent : orphans)
        CompleteSent(sent, 0);
}

void CompleteSent(const std::shared_ptr<SentMessage>& sent, LRESULT result)
{
    sent->result = result;
    sent->done.store(true, std::memory_order_release);
    if (sent->senderWake)
        SetEvent(sent->senderWake);
}

LRESULT SendToThread(DWORD threadId, const std::shared_ptr<SentMessage>& sent)
{
    MessageQueue& self = MessageQueue::Current();
    auto target = MessageQueue::ForThread(threadId);
    if (!target)
        return 0;
    sent->senderWake = self.GetWakeEvent();
    target->EnqueueSent(sent);
    for (;;) {
        ResetEvent(self.GetWakeEvent());
        if (sent->done.load(std::memory_order_acquire))
            break;
        // Serve sends to this thread meanwhile, so that two threads sending
        // to each other cannot deadlock.
        self.DispatchSent();
        if (sent->done.load(std::memory_order_acquire))
            break;
        WaitForSingleObject(self.GetWakeEvent(), INFINITE);
    }
    return sent->result;
}

} // namespace tavrin::win

using tavrin::win::MessageQueue;
using tavrin::win::SentMessage;
using tavrin::win::Window;

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (threadId == GetCurrentThreadId())
        MessageQueue::Current();
    auto queue = MessageQueue::ForThread(threadId);
    if (!queue || !queue->Post(MSG{nullptr, message, wParam, lParam, GetTickCount(), {0, 0}})) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return TRUE;
}

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!hwnd)
        return PostThreadMessageA(GetCurrentThreadId(), message, wParam, lParam);
    if (hwnd == HWND_BROADCAST) {
        for (HWND top : Window::TopLevelWindows())
            PostMessageA(top, message, wParam, lParam);
        return TRUE;
    }
    auto window = Window::FromHandle(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    auto queue = MessageQueue::ForThread(window->GetThreadId());
    POINT pt;
    GetCursorPos(&pt);
    if (!queue || !queue->Post(MSG{hwnd, message, wParam, lParam, GetTickCount(), pt})) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    MessageQueue::Current().PostQuit(exitCode);
}

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hwnd == HWND_BROADCAST) {
        for (HWND top : Window::TopLevelWindows())
            SendMessageA(top, message, wParam, lParam);
        return 0;
    }
    auto window = Window::FromHandle(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (window->GetThreadId() == GetCurrentThreadId())
        return tavrin::win::CallWindowProcedure(hwnd, message, wParam, lParam);
    auto sent = std::make_shared<SentMessage>();
    sent->hwnd = hwnd;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    return tavrin::win::SendToThread(window->GetThreadId(), sent);
}

BOOL InSendMessage()
{
    return MessageQueue::Current().InSend() ? TRUE : FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (hwnd && hwnd != reinterpret_cast<HWND>(static_cast<intptr_t>(-1)) && !IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    MessageQueue& queue = MessageQueue::Current();
    for (;;) {
        ResetEvent(queue.GetWakeEvent());
        if (queue.Peek(msg, hwnd, filterMin, filterMax, true)) {
            if (tavrin::win::HasHooks(WH_GETMESSAGE))
                tavrin::win::CallHooks(WH_GETMESSAGE, HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(msg));
            return msg->message != WM_QUIT;
        }
        HANDLE wake = queue.GetWakeEvent();
        tavrin::win::QueueWait(1, &wake, queue.TimeToNextTimer());
    }
}

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Real input arrives through the presenter's own loop: let it run first.
    tavrin::win::QueuePoll();
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    if (!MessageQueue::Current().Peek(msg, hwnd, filterMin, filterMax, remove))
        return FALSE;
    if (tavrin::win::HasHooks(WH_GETMESSAGE))
        tavrin::win::CallHooks(WH_GETMESSAGE, HC_ACTION, remove ? PM_REMOVE : PM_NOREMOVE, reinterpret_cast<LPARAM>(msg));
    return TRUE;
}

BOOL WaitMessage()
{
    MessageQueue& queue = MessageQueue::Current();
    for (;;) {
        ResetEvent(queue.GetWakeEvent());
        queue.DispatchSent();
        if (queue.GetStatus() & QS_ALLINPUT)
            return TRUE;
        HANDLE wake = queue.GetWakeEvent();
        tavrin::win::QueueWait(1, &wake, queue.TimeToNextTimer());
    }
}

DWORD GetQueueStatus(UINT flags)
{
    DWORD status = MessageQueue::Current().GetStatus() & flags;
    return (status << 16) | status;
}

DWORD GetMessageTime()
{
    return MessageQueue::Current().GetLastMessageTime();
}

DWORD GetMessagePos()
{
    return MessageQueue::Current().GetLastMessagePos();
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE;
    int ch = tavrin::win::CharFromKey(static_cast<UINT>(msg->wParam));
    if (ch < 0)
        return FALSE;
    UINT message = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    return PostMessageA(msg->hwnd, message, static_cast<WPARAM>(ch), msg->lParam);
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg)
        return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        // Only the procedure of a live timer is called: a posted WM_TIMER
        // cannot make us jump to an address it carries.
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        if (MessageQueue::Current().HasTimer(msg->hwnd, msg->wParam, proc)) {
            proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
            return 0;
        }
    }
    if (!msg->hwnd)
        return 0;
    auto window = Window::FromHandle(msg->hwnd);
    if (!window || window->GetThreadId() != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LRESULT result = tavrin::win::DispatchToProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_PAINT)
        tavrin::win::FinishPaintDispatch(msg->hwnd);
    return result;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds, DWORD wakeMask)
{
    if (waitAll || count >= MAXIMUM_WAIT_OBJECTS || (count && !handles)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    MessageQueue& queue = MessageQueue::Current();
    const bool infinite = milliseconds == INFINITE;
    const int64_t deadline = tavrin::clock::NowMs() + (infinite ? 0 : milliseconds);
    std::vector<HANDLE> all(handles, handles + count);
    all.push_back(queue.GetWakeEvent());
    for (;;) {
        ResetEvent(queue.GetWakeEvent());
        if (count) {
            DWORD r = WaitForMultipleObjects(count, handles, FALSE, 0);
            if (r != WAIT_TIMEOUT)
                return r;
        }
        if (queue.GetStatus() & wakeMask)
            return WAIT_OBJECT_0 + count;
        DWORD timeout = INFINITE;
        if (!infinite) {
            int64_t left = deadline - tavrin::clock::NowMs();
            if (left <= 0)
                return WAIT_TIMEOUT;
            timeout = static_cast<DWORD>(left);
        }
        if (wakeMask & QS_TIMER)
            timeout = std::min(timeout, queue.TimeToNextTimer());
        DWORD r = tavrin::win::QueueWait(count + 1, all.data(), timeout);
        if (r == WAIT_FAILED || r < WAIT_OBJECT_0 + count)
            return r;
    }
}

DWORD tavrin::WaitServingSends(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds)
{
    const bool infinite = milliseconds == INFINITE;
    const int64_t deadline = tavrin::clock::NowMs() + (infinite ? 0 : milliseconds);
    auto left = [&]() -> DWORD {
        if (infinite)
            return INFINITE;
        int64_t ms = deadline - tavrin::clock::NowMs();
        return ms <= 0 ? 0 : static_cast<DWORD>(ms);
    };
    if (waitAll && count > 1) {
        // One at a time: each wait serves sends; all share the time-out.
        for (DWORD i = 0; i < count; ++i) {
            DWORD r = WaitServingSends(handles[i], left());
            if (r != WAIT_OBJECT_0)
                return r;
        }
        return WAIT_OBJECT_0;
    }
    MessageQueue& queue = MessageQueue::Current();
    for (;;) {
        queue.DispatchSent();
        DWORD r = MsgWaitForMultipleObjects(count, handles, FALSE, left(), QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + count)
            return r;
    }
}

DWORD tavrin::WaitServingSends(HANDLE handle, DWORD milliseconds)
{
    return WaitServingSends(1, &handle, FALSE, milliseconds);
}

namespace {

// Messages are registered from static initialisers too (a window class's
// "TaskbarCreated"), so the table is made on first use and never destroyed.
struct RegisteredMessages {
    std::mutex lock;
    std::vector<std::string> names;
};

RegisteredMessages& Registered()
{
    static RegisteredMessages* table = new RegisteredMessages;
    return *table;
}

} // namespace

bool tavrin::win::GetRegisteredMessageName(UINT message, std::string& name)
{
    RegisteredMessages& table = Registered();
    std::lock_guard<std::mutex> guard(table.lock);
    if (message < 0xC000 || message - 0xC000 >= table.names.size())
        return false;
    name = table.names[message - 0xC000];
    return true;
}

UINT RegisterWindowMessageA(LPCSTR name)
{
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    RegisteredMessages& table = Registered();
    std::vector<std::string>* names = &table.names;
    std::lock_guard<std::mutex> guard(table.lock);
    for (size_t i = 0; i < names->size(); ++i)
        if (strcasecmp((*names)[i].c_str(), name) == 0)
            return static_cast<UINT>(0xC000 + i);
    if (names->size() >= 0x4000) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return 0;
    }
    names->push_back(name);
    return static_cast<UINT>(0xC000 + names->size() - 1);
}
