// The clipboard. Text (CF_TEXT, GBK) is the desktop's: it goes to and comes
// from the presenter's clipboard, so other programs see it. Every other
// format, registered ones included, stays inside the process. Data is handed
// over in global memory blocks, which the clipboard owns from then on.
#pragma once

#include "platform/win/Window.h"
#include "platform/win/GlobalMemory.h"

#define CF_TEXT 1
#define CF_BITMAP 2
#define CF_METAFILEPICT 3
#define CF_OEMTEXT 7
#define CF_DIB 8
#define CF_UNICODETEXT 13
#define CF_HDROP 15
#define CF_LOCALE 16

#define ERROR_CLIPBOARD_NOT_OPEN 1418L

// One thread at a time; FALSE while another thread has it open.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
// Frees all data; the opening window becomes the owner.
BOOL EmptyClipboard();
// While open. Returns the data's handle, null on failure.
HANDLE SetClipboardData(UINT format, HANDLE data);
// While open. The clipboard keeps owning the block.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
// The same id for the same name (case-insensitive), from 0xC000.
UINT RegisterClipboardFormatA(LPCSTR name);
inline UINT RegisterClipboardFormat(LPCSTR name) { return RegisterClipboardFormatA(name); }
int GetClipboardFormatNameA(UINT format, LPSTR buffer, int size);
inline int GetClipboardFormatName(UINT format, LPSTR buffer, int size)
{
    return GetClipboardFormatNameA(format, buffer, size);
}
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();
