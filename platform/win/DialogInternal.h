// Between the dialog manager's two halves: making and running dialogs
// (DialogManager.cpp) and their keyboard interface (DialogNavigation.cpp).
#pragma once

#include "platform/win/Dialog.h"

namespace tavrin::win {

// The default button's id as set (DM_SETDEFID or the template); 0 for none.
UINT DialogDefaultId(HWND dialog);
void DialogRememberDefaultId(HWND dialog, UINT id);
// The control the focus returns to when the dialog is activated again.
void DialogRememberFocus(HWND dialog, HWND control);
// Focuses a control as the keyboard does: an edit's text is selected and a
// focused push button looks like the default one meanwhile.
void DialogSetFocus(HWND dialog, HWND control);
// DM_SETDEFID: moves the default-button style.
void DialogSetDefaultId(HWND dialog, UINT id);

} // namespace tavrin::win
