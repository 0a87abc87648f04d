// The system profile's metrics. Tests and presenters set them; the program
// reads them (the configuration fills keys 3 and 4 from the screen size).
#pragma once

#include "platform/base/Types.h"

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXVIRTUALSCREEN 78
#define SM_CYVIRTUALSCREEN 79
#define SM_CMONITORS 80

int GetSystemMetrics(int index);

namespace tavrin::win {
// Sets one metric; setting the screen size also sets the virtual screen.
void SetSystemMetric(int index, int value);
} // namespace tavrin::win
