// Cursors: the system cursors by their IDC_ ids, the current cursor and its
// show count. Resource cursors come from the resource loader
// (ResourceImage.h); any HCURSOR can be set.
#pragma once

#include "platform/win/Window.h"

#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)
#define IDC_UPARROW MAKEINTRESOURCEA(32516)
#define IDC_SIZE MAKEINTRESOURCEA(32640)
#define IDC_ICON MAKEINTRESOURCEA(32641)
#define IDC_SIZENWSE MAKEINTRESOURCEA(32642)
#define IDC_SIZENESW MAKEINTRESOURCEA(32643)
#define IDC_SIZEWE MAKEINTRESOURCEA(32644)
#define IDC_SIZENS MAKEINTRESOURCEA(32645)
#define IDC_SIZEALL MAKEINTRESOURCEA(32646)
#define IDC_NO MAKEINTRESOURCEA(32648)
#define IDC_HAND MAKEINTRESOURCEA(32649)
#define IDC_APPSTARTING MAKEINTRESOURCEA(32650)
#define IDC_HELP MAKEINTRESOURCEA(32651)

// With a null module: the system cursor of the id; with a module: its
// cursor resource, shared.
HCURSOR LoadCursorA(HINSTANCE module, LPCSTR name);
inline HCURSOR LoadCursor(HINSTANCE module, LPCSTR name) { return LoadCursorA(module, name); }
// The previous cursor.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// The display counter: the cursor shows while it is 0 or more.
int ShowCursor(BOOL show);
// System cursors are shared and never destroyed.
BOOL DestroyCursor(HCURSOR cursor);

namespace tavrin::win {
// The IDC_ id of a system cursor, or 0.
UINT SystemCursorId(HCURSOR cursor);
} // namespace tavrin::win
