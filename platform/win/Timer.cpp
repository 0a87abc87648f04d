#include "platform/win/Timer.h"

#include "platform/win/MessageQueue.h"
#include "platform/win/Window.h"

using tavrin::win::MessageQueue;

namespace {

// The queue that keeps the window's timers, or the caller's for hwnd NULL.
std::shared_ptr<MessageQueue> QueueOf(HWND hwnd)
{
    DWORD thread = GetCurrentThreadId();
    if (hwnd) {
        auto window = tavrin::win::Window::FromHandle(hwnd);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        thread = window->GetThreadId();
    }
    if (thread == GetCurrentThreadId())
        MessageQueue::Current();
    return MessageQueue::ForThread(thread);
}

} // namespace

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    auto queue = QueueOf(hwnd);
    return queue ? queue->SetTimer(hwnd, id, elapse, proc) : 0;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id)
{
    auto queue = QueueOf(hwnd);
    return queue && queue->KillTimer(hwnd, id) ? TRUE : FALSE;
}
