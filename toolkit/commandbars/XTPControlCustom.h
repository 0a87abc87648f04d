// A control hosting a window of the application.
#pragma once

#include "toolkit/commandbars/XTPControl.h"

class CXTPControlCustom : public CXTPControl {
    DECLARE_SERIAL(CXTPControlCustom)
public:
    CXTPControlCustom() { m_controlType = xtpControlCustom; }
};
