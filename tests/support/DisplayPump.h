// Display tests: our message loop (GLib's runs inside it) until a condition
// holds, with a filter standing for the program's PreTranslateMessage.
#pragma once

#include "platform/win/MessageQueue.h"

#include <functional>

namespace tavrin::test {

// Returns whether done() came true before the time-out.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 20000);
// Messages the filter returns true for are swallowed, not dispatched.
void SetPumpFilter(std::function<bool(const MSG&)> filter);

// Runs step from a thread timer every 20 ms until it returns true. Timers
// fire inside modal loops too (menus, a held button), where a test cannot
// get back to its own code. One at a time.
class TimerSteps {
public:
    explicit TimerSteps(std::function<bool()> step);
    ~TimerSteps();
    TimerSteps(const TimerSteps&) = delete;
    TimerSteps& operator=(const TimerSteps&) = delete;
    bool Done() const;

private:
    UINT_PTR m_id = 0;
};

} // namespace tavrin::test
