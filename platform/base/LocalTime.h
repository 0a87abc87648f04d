// The time of day as a SYSTEMTIME, read from the program clock (so tests
// that drive the clock drive these too).
#pragma once

#include "platform/base/Time.h"

void GetLocalTime(LPSYSTEMTIME time);
void GetSystemTime(LPSYSTEMTIME time);

