// The customised bars' blob on hostile bytes: loading never throws, never
// loops without end on linked popups and frees every bar and control it
// made, whether it loads or fails.
#include "toolkit/commandbars/XTPCommandBars.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto* pCommandBars = new CXTPCommandBars;
    pCommandBars->LoadCustomizedBars(data, size, TRUE);
    pCommandBars->InternalRelease();
    return 0;
}
