#include "toolkit/commandbars/XTPControlComboBox.h"

IMPLEMENT_SERIAL(CXTPControlComboBox, CXTPControl, 1)
