// Finding a resource of the program by type and name: what loads dialog
// templates by id. The resource loader defines these; until it is linked, a
// weak fallback finds nothing.
#pragma once

#include "platform/win/WindowClass.h"

#define RT_DIALOG MAKEINTRESOURCEA(5)
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
