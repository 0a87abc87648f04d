#include "toolkit/commandbars/XTPControlEdit.h"

IMPLEMENT_SERIAL(CXTPControlEdit, CXTPControl, 1)

void CXTPControlEdit::SetLabelWidth(int nWidth)
{
    if (m_nLabelWidth != nWidth) {
        m_nLabelWidth = nWidth;
        m_bDelayReposition = TRUE;
    }
}
