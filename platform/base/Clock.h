// The one clock of the process. Everything that asks for the time of day
// (CTime::GetCurrentTime) or a millisecond tick (GetTickCount, timers, cookie
// and hover ages) reads it here, so a test can switch it to manual mode and
// drive it: the time then moves only when the test sets or advances it.
#pragma once

#include "platform/base/Types.h"

#include <cstdint>
#include <functional>

namespace tavrin::clock {

// Seconds since 1970-01-01 00:00:00 UTC.
int64_t Now();
// Monotonic milliseconds from an arbitrary origin; never goes back, also not
// across a switch between real and manual mode.
int64_t NowMs();

// Manual mode: the time of day starts at startSeconds and the tick keeps its
// current value; both stand still until Set or Advance.
void UseManual(int64_t startSeconds);
// Back to the system clocks (the tick continues from where it stands).
void UseReal();
bool IsManual();
// Manual mode only (ignored otherwise): Set moves the time of day and leaves
// the tick alone; Advance moves both forward by ms.
void Set(int64_t seconds);
void Advance(int64_t ms);

// Counts every Set, Advance and mode switch, so a waiter can tell whether the
// clock moved between computing a deadline and going to sleep.
uint64_t Generation();
// Called after every change of the clock (on the changing thread), so that
// waiters on manual deadlines can be woken. A listener must only wake its
// waiters: it may not change the clock or add or remove listeners, and no one
// may add or remove a listener while holding a lock that a listener takes.
// After RemoveListener returns, the listener is not running and is never
// called again.
int AddListener(std::function<void()> listener);
void RemoveListener(int id);

// Manual mode for the lifetime of the object (a test fixture member).
class ManualScope {
public:
    explicit ManualScope(int64_t startSeconds) { UseManual(startSeconds); }
    ~ManualScope() { UseReal(); }
    ManualScope(const ManualScope&) = delete;
    ManualScope& operator=(const ManualScope&) = delete;
};

} // namespace tavrin::clock

// Milliseconds from the process clock, wrapping at 2^32 like the original.
DWORD GetTickCount();
ULONGLONG GetTickCount64();
