// The edit box of the bars.
#pragma once

#include "toolkit/commandbars/XTPControl.h"

class CXTPControlEdit : public CXTPControl {
    DECLARE_SERIAL(CXTPControlEdit)
public:
    CXTPControlEdit() { m_controlType = xtpControlEdit; }
    BOOL IsCustomizeResizeAllow() const override { return TRUE; }
};
