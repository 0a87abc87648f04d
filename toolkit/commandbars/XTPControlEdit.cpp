#include "toolkit/commandbars/XTPControlEdit.h"

IMPLEMENT_SERIAL(CXTPControlEdit, CXTPControl, 1)
