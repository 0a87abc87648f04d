// Layered windows (WS_EX_LAYERED): shown with per-pixel alpha from pixels the
// program hands over (UpdateLayeredWindow), or with a constant alpha and a
// colour key over their painted surface. Reached by the program through the
// optional-library lookup of "USER32".
#pragma once

#include "platform/gdi/Gdi.h"
#include "platform/win/Window.h"

#define ULW_COLORKEY 0x00000001
#define ULW_ALPHA 0x00000002
#define ULW_OPAQUE 0x00000004

#define LWA_COLORKEY 0x00000001
#define LWA_ALPHA 0x00000002

BOOL UpdateLayeredWindow(HWND hwnd, HDC hdcDst, POINT* pptDst, SIZE* psize, HDC hdcSrc, POINT* pptSrc,
                         COLORREF key, BLENDFUNCTION* blend, DWORD flags);
BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);
