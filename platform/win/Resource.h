// Resources by id: finding, loading and locking them, and the string tables.
// A null module is the program's own (GetModuleHandle(NULL)). Bitmaps,
// icons and cursors: ResourceImage.h; menus: Menu.h; accelerators:
// Accelerator.h.
#pragma once

#include "platform/win/ResourceTable.h"
#include "platform/win/WindowClass.h"

#include <string>

#define RT_CURSOR MAKEINTRESOURCEA(1)
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_MENU MAKEINTRESOURCEA(4)
#define RT_DIALOG MAKEINTRESOURCEA(5)
#define RT_STRING MAKEINTRESOURCEA(6)
#define RT_ACCELERATOR MAKEINTRESOURCEA(9)
#define RT_RCDATA MAKEINTRESOURCEA(10)
#define RT_GROUP_CURSOR MAKEINTRESOURCEA(12)
#define RT_GROUP_ICON MAKEINTRESOURCEA(14)
#define RT_TOOLBAR MAKEINTRESOURCEA(241)

#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L

// Names and types are MAKEINTRESOURCE numbers, "#123", or strings (any case).
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
inline HRSRC FindResource(HMODULE module, LPCSTR name, LPCSTR type) { return FindResourceA(module, name, type); }
// One language is kept: every language finds it.
HRSRC FindResourceExA(HMODULE module, LPCSTR type, LPCSTR name, WORD language);
inline HRSRC FindResourceEx(HMODULE module, LPCSTR type, LPCSTR name, WORD language)
{
    return FindResourceExA(module, type, name, language);
}
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
// The bytes live as long as the module: nothing to unlock or free.
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
BOOL FreeResource(HGLOBAL data);

// Copies at most size - 1 bytes of the GBK string and a NUL, never half a
// double-byte character; returns the bytes copied, 0 when there is no such
// string (the buffer then holds an empty string).
int LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int size);
inline int LoadString(HINSTANCE module, UINT id, LPSTR buffer, int size) { return LoadStringA(module, id, buffer, size); }

namespace tavrin::win {

// The resource's entry, or null.
const ResourceEntry* FindResourceEntry(HMODULE module, LPCSTR name, LPCSTR type);
// The whole string in GBK; false when the module has no such string or its
// block is damaged.
bool LoadResourceString(HMODULE module, UINT id, std::string& gbk);
// Copies GBK text as the string calls do: at most size - 1 bytes and a NUL,
// whole characters only; returns the bytes copied. A null buffer or no room
// gives the text's length.
int CopyWholeCharacters(const std::string& gbk, LPSTR buffer, int size);
// The module's name as given, or the module a name means (null: the program).
HMODULE ResourceModule(HMODULE module);

} // namespace tavrin::win
