#include "toolkit/commandbars/XTPControlButton.h"

IMPLEMENT_SERIAL(CXTPControlButton, CXTPControl, 1)
IMPLEMENT_SERIAL(CXTPControlLabel, CXTPControl, 1)

void CXTPControlButton::OnClick(BOOL bKeyboard, CPoint)
{
    if (IsCustomizeMode())
        return;
    if (bKeyboard)
        OnExecute();
    else
        ClickToolBarButton();
}
