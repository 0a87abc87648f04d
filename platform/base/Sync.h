// Synchronisation objects with the Win32 shapes the program calls: recursive
// critical sections, manual- and auto-reset events, counting semaphores,
// waits on one or several handles with time-outs, Sleep and interlocked
// operations. Handles live in the process's handle registry, so a stale or
// doubly closed handle fails cleanly. CloseHandle is KernelObject.h's.
// Time-outs are measured on the program clock, so tests that drive the clock
// also drive every wait.
#pragma once

#include "platform/base/KernelObject.h"

#include <pthread.h>

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

// Recursive lock. The owning thread may enter it again; each enter needs a leave.
struct CRITICAL_SECTION {
    pthread_mutex_t m_mutex;
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;

void InitializeCriticalSection(LPCRITICAL_SECTION cs);
BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION cs, DWORD spinCount);
void DeleteCriticalSection(LPCRITICAL_SECTION cs);
void EnterCriticalSection(LPCRITICAL_SECTION cs);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION cs);
void LeaveCriticalSection(LPCRITICAL_SECTION cs);

#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED_0 0x00000080u
#define WAIT_FAILED 0xFFFFFFFFu
#define MAXIMUM_WAIT_OBJECTS 64
#define STATUS_WAIT_0 WAIT_OBJECT_0

// Events: manual reset stays signalled until ResetEvent; auto reset releases
// one waiter and clears itself. Named events are shared within the process;
// opening an existing name sets ERROR_ALREADY_EXISTS.
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
inline HANDLE CreateEvent(LPSECURITY_ATTRIBUTES a, BOOL manualReset, BOOL initialState, LPCSTR name)
{
    return CreateEventA(a, manualReset, initialState, name);
}
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// Counting semaphores: ReleaseSemaphore fails (ERROR_TOO_MANY_POSTS) rather
// than exceed the maximum.
#define ERROR_TOO_MANY_POSTS 298L
HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES attributes, LONG initialCount, LONG maximumCount, LPCSTR name);
inline HANDLE CreateSemaphore(LPSECURITY_ATTRIBUTES a, LONG initialCount, LONG maximumCount, LPCSTR name)
{
    return CreateSemaphoreA(a, initialCount, maximumCount, name);
}
BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LPLONG previousCount);

// Waits: WAIT_OBJECT_0 + index of the object that ended the wait (with
// waitAll, WAIT_OBJECT_0 once all are signalled, taken together), WAIT_TIMEOUT,
// or WAIT_FAILED with ERROR_INVALID_HANDLE / ERROR_INVALID_PARAMETER.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);

// Sleeps on the program clock. Sleep(0) yields.
void Sleep(DWORD milliseconds);

// Interlocked operations: full barriers on 32-bit values and pointers.
inline LONG InterlockedIncrement(LONG volatile* target) { return __atomic_add_fetch(target, 1, __ATOMIC_SEQ_CST); }
inline LONG InterlockedDecrement(LONG volatile* target) { return __atomic_sub_fetch(target, 1, __ATOMIC_SEQ_CST); }
inline LONG InterlockedExchange(LONG volatile* target, LONG value) { return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST); }
inline LONG InterlockedExchangeAdd(LONG volatile* target, LONG value) { return __atomic_fetch_add(target, value, __ATOMIC_SEQ_CST); }
inline LONG InterlockedCompareExchange(LONG volatile* target, LONG exchange, LONG comparand)
{
    __atomic_compare_exchange_n(target, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    return comparand;
}
inline void* InterlockedExchangePointer(void* volatile* target, void* value)
{
    return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}
inline void* InterlockedCompareExchangePointer(void* volatile* target, void* exchange, void* comparand)
{
    __atomic_compare_exchange_n(target, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    return comparand;
}

namespace tavrin {
// Wakes every wait with a time-out so that it measures the clock again; the
// clock calls it when manual time moves.
void WakeTimedWaits();
} // namespace tavrin
