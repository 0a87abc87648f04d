// Threads with the Win32 and C run-time shapes the program calls. A thread
// handle is waitable and signalled when the thread ends; threads can start
// suspended and run after ResumeThread. No thread is ever killed: there is no
// TerminateThread, every blocking point of the program can be aborted instead.
#pragma once

#include "platform/base/Sync.h"

typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID parameter);

#define CREATE_SUSPENDED 0x00000004u
#define STILL_ACTIVE 259u

HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId);
uintptr_t _beginthreadex(void* security, unsigned stackSize, unsigned(WINAPI* start)(void*), void* argument,
                         unsigned initFlag, unsigned* threadId);
// Ends the calling thread with the exit code. Only for threads made here, and
// only outside a catch-all (it unwinds the thread's stack).
[[noreturn]] void _endthreadex(unsigned exitCode);
[[noreturn]] void ExitThread(DWORD exitCode);

// Previous suspend count, or (DWORD)-1 on failure.
DWORD ResumeThread(HANDLE thread);
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);

// Thread ids are never reused within the process, so an id kept in a window
// or queue cannot come to name a newer thread.
DWORD GetCurrentThreadId();
DWORD GetThreadId(HANDLE thread);
