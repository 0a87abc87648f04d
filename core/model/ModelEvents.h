// Window messages from the model to the main frame.
#pragma once

#include "platform/win/WinMessage.h"

// wParam: the event code; lParam: the CAccount.
#define WM_ACCOUNT_EVENT (WM_USER + 101)
// wParam: the event code; lParam: the CSchoolClass.
#define WM_CLASS_EVENT (WM_USER + 102)
