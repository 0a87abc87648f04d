// Thread priorities. The value is kept for GetThreadPriority; the scheduler's
// own priorities are left as they are (raising one needs privileges here,
// and the program only ever lowers a helper thread a step).
#pragma once

#include "platform/base/Thread.h"

#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15
#define THREAD_PRIORITY_ERROR_RETURN 0x7FFFFFFF

// The pseudo handle of the calling thread.
HANDLE GetCurrentThread();
// Fails with ERROR_INVALID_HANDLE for anything but a thread, and with
// ERROR_INVALID_PARAMETER for a level that does not exist.
BOOL SetThreadPriority(HANDLE thread, int priority);
int GetThreadPriority(HANDLE thread);
