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

} // namespace tavrin::test
