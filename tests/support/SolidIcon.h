// An opaque square icon of one colour, for drawing tests and benchmarks.
#pragma once

#include "platform/gdi/Gdi.h"

namespace tavrin::test {

// The caller destroys it.
HICON MakeSolidIcon(int size, COLORREF clr);

} // namespace tavrin::test
