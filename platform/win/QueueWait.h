// How a thread's message waits block. By default they wait on the queue's
// wake event (and the caller's handles). A presenter that runs another event
// loop on the thread (GLib's, for real windows) installs its own wait for that
// thread: it runs that loop's events until a handle is signalled or the time
// runs out, so that loop lives inside ours, nested modal loops included.
#pragma once

#include "platform/base/Sync.h"

namespace tavrin::win {

// Returns as WaitForMultipleObjects(count, handles, FALSE, milliseconds).
using QueueWaitFunction = DWORD (*)(DWORD count, const HANDLE* handles, DWORD milliseconds);
// Runs the other loop's pending events without waiting.
using QueuePollFunction = void (*)();
// Called from any thread whenever a queue is woken.
using QueueWakeFunction = void (*)();

// For the calling thread; null restores the plain waits.
void SetQueueWait(QueueWaitFunction wait, QueuePollFunction poll);
// Process-wide.
void SetQueueWakeNotifier(QueueWakeFunction notify);

// Used by the message core.
DWORD QueueWait(DWORD count, const HANDLE* handles, DWORD milliseconds);
void QueuePoll();
void NotifyQueueWake();

} // namespace tavrin::win
