// Accelerator tables: keys that become commands before the message is
// dispatched. TranslateAccelerator sends WM_COMMAND with 1 in the high word
// of wParam, except for a command the window's own menu holds disabled.
#pragma once

#include "platform/win/Resource.h"
#include "platform/win/WinMessage.h"

#define FVIRTKEY 0x01
#define FNOINVERT 0x02
#define FSHIFT 0x04
#define FCONTROL 0x08
#define FALT 0x10

struct ACCEL {
    BYTE fVirt;
    WORD key;
    WORD cmd;
};
typedef ACCEL* LPACCEL;

HACCEL LoadAcceleratorsA(HINSTANCE module, LPCSTR name);
inline HACCEL LoadAccelerators(HINSTANCE module, LPCSTR name) { return LoadAcceleratorsA(module, name); }
HACCEL CreateAcceleratorTableA(LPACCEL entries, int count);
inline HACCEL CreateAcceleratorTable(LPACCEL entries, int count) { return CreateAcceleratorTableA(entries, count); }
// A null destination gives the number of entries.
int CopyAcceleratorTableA(HACCEL table, LPACCEL entries, int count);
inline int CopyAcceleratorTable(HACCEL table, LPACCEL entries, int count)
{
    return CopyAcceleratorTableA(table, entries, count);
}
BOOL DestroyAcceleratorTable(HACCEL table);
// Nonzero when the message was an accelerator (and so is not to be dispatched).
int TranslateAcceleratorA(HWND hwnd, HACCEL table, LPMSG msg);
inline int TranslateAccelerator(HWND hwnd, HACCEL table, LPMSG msg) { return TranslateAcceleratorA(hwnd, table, msg); }
