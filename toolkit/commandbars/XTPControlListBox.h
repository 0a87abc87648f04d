// The list box of the bars: a list of lines, or of controls drawn as items.
#pragma once

#include "toolkit/commandbars/XTPControl.h"

class CXTPControlListBox : public CXTPControl {
    DECLARE_SERIAL(CXTPControlListBox)
public:
    CXTPControlListBox() = default;

    // The icon size of the items: the manager's for toolbars.
    CSize GetIconSize() const;

    int m_nListBoxLinesMin = 1;
    int m_nListBoxLinesMax = 12;
    BOOL m_bMultiplSel = FALSE;
    int m_nWidth = 100;
};
