// The browser's own window: a child window that owns an engine and keeps the
// page over its client area as it moves, changes size, shows or hides. The
// framework's HTML views create their browser as a window of this class.
#pragma once

#include "platform/browser/Browser.h"

namespace tavrin::browser {

// Registers the class on first use; its name.
LPCSTR BrowserWindowClass();
// The engine of a browser window, or null.
Engine* GetBrowserEngine(HWND hwnd);

} // namespace tavrin::browser
