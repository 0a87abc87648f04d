// The main window's notification-area icon. While the frame sits in the
// tray it is only hidden: it keeps its parent instead of being parked under
// the icon's hidden window.
#pragma once

#include "toolkit/controls/XTTrayIconWnd.h"

class CMainTrayIcon : public CXTTrayIconWnd {
public:
    BOOL HideFromTaskbar(HWND hWnd) override;
};
