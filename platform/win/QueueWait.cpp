#include "platform/win/QueueWait.h"

#include <atomic>

namespace tavrin::win {

namespace {

thread_local QueueWaitFunction t_wait = nullptr;
thread_local QueuePollFunction t_poll = nullptr;
std::atomic<QueueWakeFunction> g_wake{nullptr};

} // namespace

void SetQueueWait(QueueWaitFunction wait, QueuePollFunction poll)
{
    t_wait = wait;
    t_poll = poll;
}

void SetQueueWakeNotifier(QueueWakeFunction notify)
{
    g_wake.store(notify, std::memory_order_release);
}

DWORD QueueWait(DWORD count, const HANDLE* handles, DWORD milliseconds)
{
    if (t_wait)
        return t_wait(count, handles, milliseconds);
    return WaitForMultipleObjects(count, handles, FALSE, milliseconds);
}

void QueuePoll()
{
    if (t_poll)
        t_poll();
}

void NotifyQueueWake()
{
    if (QueueWakeFunction notify = g_wake.load(std::memory_order_acquire))
        notify();
}

} // namespace tavrin::win
