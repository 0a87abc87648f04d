// The add-account dialog as a fixture: its template, made of the standard
// controls, and a dialog procedure that fills the provider list as the
// program does and records the commands it gets.
#pragma once

#include "tests/support/TestControls.h"

#include <vector>

namespace tavrin::test {

// Control ids of the fixture.
enum AddAccountId : int {
    kProvider = 1000,
    kUser = 1001,
    kPassword = 1002,
    kProxyServer = 1004,
    kProxyPort = 1005,
    kProxyUser = 1006,
    kProxyPassword = 1007,
};

LPCDLGTEMPLATE AddAccountTemplate(TemplateBuilder& builder);
// WM_INITDIALOG fills and selects the provider list; WM_COMMAND ids go to
// AddAccountCommands() (OK and Cancel end the dialog).
INT_PTR CALLBACK AddAccountProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
std::vector<UINT>& AddAccountCommands();

} // namespace tavrin::test
