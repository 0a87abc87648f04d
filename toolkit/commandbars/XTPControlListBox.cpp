#include "toolkit/commandbars/XTPControlListBox.h"

#include "toolkit/commandbars/XTPCommandBar.h"

IMPLEMENT_SERIAL(CXTPControlListBox, CXTPControl, 1)

CSize CXTPControlListBox::GetIconSize() const
{
    return CXTPCommandBar::GetCommandBarsIconSize(GetCommandBars(), FALSE);
}
