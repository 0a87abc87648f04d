// The menu key: F10, or Alt pressed and released alone, makes the default
// window procedure send WM_SYSCOMMAND SC_KEYMENU with lParam 0 to the
// top-level window; Alt+letter sends SC_KEYMENU with the character. Also
// the keyboard layout calls and the bell.
#pragma once

#include "platform/win/Input.h"

TAVRIN_DECLARE_HANDLE(HKL);

#define MAPVK_VK_TO_VSC 0
#define MAPVK_VSC_TO_VK 1
#define MAPVK_VK_TO_CHAR 2

// The one layout there is (US keys; text input is the input method's).
HKL GetKeyboardLayout(DWORD threadId);
UINT MapVirtualKeyExA(UINT code, UINT mapType, HKL layout);
inline UINT MapVirtualKeyEx(UINT code, UINT mapType, HKL layout) { return MapVirtualKeyExA(code, mapType, layout); }
// Rings the display's bell through the presenter.
BOOL MessageBeep(UINT type);

namespace tavrin::win {

// Bells rung since the process started (tests read it).
int MessageBeepCount();

// The default window procedure's part: key downs and ups, WM_SYSCHAR and
// WM_SYSCOMMAND SC_KEYMENU. True when the message was the menu key's.
bool MenuKeyMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace tavrin::win
