#include "platform/base/Thread.h"

#include "platform/base/Waitable.h"

#include <atomic>
#include <thread>

using tavrin::detail::KernelLock;
using tavrin::detail::Waitable;

namespace {

std::atomic<DWORD> g_nextThreadId{1};
thread_local DWORD t_threadId = 0;

DWORD NewThreadId()
{
    return g_nextThreadId.fetch_add(1, std::memory_order_relaxed);
}

class ThreadObject : public Waitable {
public:
    ThreadObject() : Waitable(Kind::Thread) {}
    bool IsSignalled() const override { return m_ended; }
    DWORD m_id = 0;
    DWORD m_suspendCount = 0;
    DWORD m_exitCode = STILL_ACTIVE;
    bool m_ended = false;
    std::condition_variable m_resumed;
};

// Thrown by _endthreadex, caught by the thread's own entry below.
struct ThreadExit {
    DWORD code;
};

HANDLE StartThread(DWORD (*run)(void*, void*), void* start, void* parameter, DWORD flags, DWORD* threadId)
{
    auto object = std::make_shared<ThreadObject>();
    object->m_id = NewThreadId();
    object->m_suspendCount = (flags & CREATE_SUSPENDED) ? 1 : 0;
    try {
        std::thread([object, run, start, parameter] {
            t_threadId = object->m_id;
            {
                std::unique_lock<std::mutex> lock(KernelLock());
                object->m_resumed.wait(lock, [&] { return object->m_suspendCount == 0; });
            }
            DWORD code;
            try {
                code = run(start, parameter);
            } catch (const ThreadExit& exit) {
                code = exit.code;
            }
            std::lock_guard<std::mutex> lock(KernelLock());
            object->m_exitCode = code;
            object->m_ended = true;
            object->Notify();
        }).detach();
    } catch (const std::system_error&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId)
        *threadId = object->m_id;
    return tavrin::detail::RegisterWaitable(object);
}

std::shared_ptr<ThreadObject> LookupThread(HANDLE handle)
{
    auto object = tavrin::detail::LookupWaitable(handle);
    if (!object || object->GetKind() != Waitable::Kind::Thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return std::static_pointer_cast<ThreadObject>(object);
}

} // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD creationFlags, LPDWORD threadId)
{
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto run = [](void* fn, void* arg) -> DWORD { return reinterpret_cast<LPTHREAD_START_ROUTINE>(fn)(arg); };
    return StartThread(run, reinterpret_cast<void*>(start), parameter, creationFlags, threadId);
}

uintptr_t _beginthreadex(void*, unsigned, unsigned(WINAPI* start)(void*), void* argument, unsigned initFlag,
                         unsigned* threadId)
{
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    using Start = unsigned (*)(void*);
    auto run = [](void* fn, void* arg) -> DWORD { return reinterpret_cast<Start>(fn)(arg); };
    DWORD id = 0;
    HANDLE handle = StartThread(run, reinterpret_cast<void*>(start), argument, initFlag, &id);
    if (threadId)
        *threadId = id;
    return reinterpret_cast<uintptr_t>(handle);
}

void _endthreadex(unsigned exitCode)
{
    throw ThreadExit{exitCode};
}

void ExitThread(DWORD exitCode)
{
    throw ThreadExit{exitCode};
}

DWORD ResumeThread(HANDLE thread)
{
    auto object = LookupThread(thread);
    if (!object)
        return static_cast<DWORD>(-1);
    std::lock_guard<std::mutex> lock(KernelLock());
    DWORD previous = object->m_suspendCount;
    if (object->m_suspendCount > 0 && --object->m_suspendCount == 0)
        object->m_resumed.notify_all();
    return previous;
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode)
{
    auto object = LookupThread(thread);
    if (!object || !exitCode)
        return FALSE;
    std::lock_guard<std::mutex> lock(KernelLock());
    *exitCode = object->m_exitCode;
    return TRUE;
}

DWORD GetCurrentThreadId()
{
    if (t_threadId == 0)
        t_threadId = NewThreadId();
    return t_threadId;
}

DWORD GetThreadId(HANDLE thread)
{
    auto object = LookupThread(thread);
    return object ? object->m_id : 0;
}
