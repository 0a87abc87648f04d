#include "toolkit/commandbars/XTPControlComboBox.h"

IMPLEMENT_SERIAL(CXTPControlComboBox, CXTPControl, 1)

void CXTPControlComboBox::SetLabelWidth(int nWidth)
{
    if (m_nLabelWidth != nWidth) {
        m_nLabelWidth = nWidth;
        m_bDelayReposition = TRUE;
    }
}

void CXTPControlComboBox::SetDropDownWidth(int nWidth)
{
    if (m_nThumbWidth != nWidth) {
        m_nThumbWidth = nWidth;
        m_bDelayReposition = TRUE;
    }
}
