#include "platform/base/ThreadPriority.h"

#include <map>
#include <mutex>

namespace {

std::mutex g_lock;
std::map<DWORD, int>* const g_priorities = new std::map<DWORD, int>;

const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

DWORD ThreadIdOf(HANDLE thread)
{
    return thread == kCurrentThread ? GetCurrentThreadId() : GetThreadId(thread);
}

} // namespace

HANDLE GetCurrentThread()
{
    return kCurrentThread;
}

BOOL SetThreadPriority(HANDLE thread, int priority)
{
    const DWORD id = ThreadIdOf(thread);
    if (!id) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    switch (priority) {
    case THREAD_PRIORITY_IDLE:
    case THREAD_PRIORITY_LOWEST:
    case THREAD_PRIORITY_BELOW_NORMAL:
    case THREAD_PRIORITY_NORMAL:
    case THREAD_PRIORITY_ABOVE_NORMAL:
    case THREAD_PRIORITY_HIGHEST:
    case THREAD_PRIORITY_TIME_CRITICAL:
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(g_lock);
    (*g_priorities)[id] = priority;
    return TRUE;
}

int GetThreadPriority(HANDLE thread)
{
    const DWORD id = ThreadIdOf(thread);
    if (!id) {
        SetLastError(ERROR_INVALID_HANDLE);
        return THREAD_PRIORITY_ERROR_RETURN;
    }
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = g_priorities->find(id);
    return it == g_priorities->end() ? THREAD_PRIORITY_NORMAL : it->second;
}
