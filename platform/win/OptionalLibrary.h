// Optional system libraries, looked up by name at run time as the program
// does for functions a system may lack: gradient fill and alpha blending
// ("msimg32.dll"), layered windows and the monitor functions ("USER32"), the
// common-controls version ("comctl32.dll"). Visual styles ("UxTheme.dll")
// and accessibility ("oleacc.dll") are missing: there is no such service
// here. Tests switch libraries and entry points off one by one, so every
// fallback can be exercised.
#pragma once

#include "platform/base/Types.h"

#include <string>
#include <utility>
#include <vector>

typedef INT_PTR(WINAPI* FARPROC)();
typedef LONG HRESULT;

#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L

#ifndef S_OK
#define S_OK (static_cast<HRESULT>(0))
#endif
#ifndef E_FAIL
#define E_FAIL (static_cast<HRESULT>(0x80004005L))
#endif
#ifndef E_INVALIDARG
#define E_INVALIDARG (static_cast<HRESULT>(0x80070057L))
#endif

struct DLLVERSIONINFO {
    DWORD cbSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformID;
};
#define DLLVER_PLATFORM_WINDOWS 0x00000001
#define DLLVER_PLATFORM_NT 0x00000002
typedef HRESULT(CALLBACK* DLLGETVERSIONPROC)(DLLVERSIONINFO*);

// Names match without case, with or without ".dll" and a folder.
HMODULE LoadLibraryA(LPCSTR name);
inline HMODULE LoadLibrary(LPCSTR name) { return LoadLibraryA(name); }
// A loaded library (the system's own are always loaded); null: the program.
HMODULE GetModuleHandleA(LPCSTR name);
inline HMODULE GetModuleHandle(LPCSTR name) { return GetModuleHandleA(name); }
// By name, or by ordinal (MAKEINTRESOURCE) which no library here exports.
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);

namespace tavrin::win {

// Makes a library missing or present again (present only if it exists here).
void SetLibraryAvailable(const std::string& library, bool available);
void SetEntryPointAvailable(const std::string& library, const std::string& entryPoint, bool available);
// The version DllGetVersion of the common controls reports (6.0 by default).
void SetCommonControlsVersion(DWORD major, DWORD minor);
// Everything present that exists, default versions, no stand-ins.
void ResetOptionalLibraries();

// Test-only: a library of stand-in entry points, loaded and looked up like
// the system's own (hiding one of the same name) until it is removed. At
// most eight at a time; a ninth is refused.
using StandInEntries = std::vector<std::pair<std::string, FARPROC>>;
bool RegisterStandInLibrary(const std::string& library, const StandInEntries& entries);
void RemoveStandInLibrary(const std::string& library);

// Any function as the one pointer type GetProcAddress returns.
template <typename F>
FARPROC AsFarProc(F* f)
{
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(f));
}

} // namespace tavrin::win
