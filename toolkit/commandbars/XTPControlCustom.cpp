#include "toolkit/commandbars/XTPControlCustom.h"

IMPLEMENT_SERIAL(CXTPControlCustom, CXTPControl, 1)
