// The combo box of the bars.
#pragma once

#include "toolkit/commandbars/XTPControl.h"

class CXTPControlComboBox : public CXTPControl {
    DECLARE_SERIAL(CXTPControlComboBox)
public:
    CXTPControlComboBox() { m_controlType = xtpControlComboBox; }
    BOOL IsCustomizeResizeAllow() const override { return TRUE; }
};
