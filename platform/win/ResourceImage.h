// Bitmaps, icons and cursors from resources, and the system's IDI_ icons.
// Every loader bounds what it reads by the resource's size: a damaged
// resource fails the load.
#pragma once

#include "platform/win/Resource.h"

#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define IMAGE_CURSOR 2

#define LR_DEFAULTCOLOR 0x0000
#define LR_MONOCHROME 0x0001
#define LR_LOADFROMFILE 0x0010
#define LR_LOADTRANSPARENT 0x0020
#define LR_DEFAULTSIZE 0x0040
#define LR_CREATEDIBSECTION 0x2000
#define LR_SHARED 0x8000

#define IDI_APPLICATION MAKEINTRESOURCEA(32512)
#define IDI_HAND MAKEINTRESOURCEA(32513)
#define IDI_QUESTION MAKEINTRESOURCEA(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCEA(32515)
#define IDI_ASTERISK MAKEINTRESOURCEA(32516)
#define IDI_WINLOGO MAKEINTRESOURCEA(32517)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ERROR IDI_HAND
#define IDI_INFORMATION IDI_ASTERISK

// A device bitmap (32 bits a pixel) of the module's bitmap resource.
HBITMAP LoadBitmapA(HINSTANCE module, LPCSTR name);
inline HBITMAP LoadBitmap(HINSTANCE module, LPCSTR name) { return LoadBitmapA(module, name); }
// Bitmaps: a DIB section of the resource's own format with
// LR_CREATEDIBSECTION, else a device bitmap; cx and cy are not used.
// Icons and cursors: the image of the group nearest the size asked for (0:
// the first image's size, or the system size with LR_DEFAULTSIZE), scaled to
// it. LR_SHARED gives the same handle to every such load.
HANDLE LoadImageA(HINSTANCE module, LPCSTR name, UINT type, int cx, int cy, UINT flags);
inline HANDLE LoadImage(HINSTANCE module, LPCSTR name, UINT type, int cx, int cy, UINT flags)
{
    return LoadImageA(module, name, type, cx, cy, flags);
}
// The module's icon at the system size, shared; a null module gives the
// system's IDI_ icons.
HICON LoadIconA(HINSTANCE module, LPCSTR name);
inline HICON LoadIcon(HINSTANCE module, LPCSTR name) { return LoadIconA(module, name); }

namespace tavrin::win {

// The module's cursor resource (LoadCursor with a module).
HCURSOR LoadResourceCursor(HMODULE module, LPCSTR name);
// The index of the group directory's entry nearest the size; -1 when the
// directory is damaged.
int ChooseIconImage(const BYTE* group, DWORD size, bool cursor, int cx, int cy);

} // namespace tavrin::win
