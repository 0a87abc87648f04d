#include "app/MainTrayIcon.h"

BOOL CMainTrayIcon::HideFromTaskbar(HWND) { return TRUE; }
