// Process tokens and privileges. There are no such privileges here: a token
// opens, but looking a privilege up fails and adjusting one assigns nothing.
#pragma once

#include "platform/base/KernelObject.h"

#define TOKEN_QUERY 0x0008
#define TOKEN_ADJUST_PRIVILEGES 0x0020
#define SE_PRIVILEGE_ENABLED 0x00000002L
#define SE_TCB_NAME "SeTcbPrivilege"
#define ERROR_NOT_ALL_ASSIGNED 1300L
#define ERROR_NO_SUCH_PRIVILEGE 1313L

typedef HANDLE* PHANDLE;

struct LUID {
    DWORD LowPart;
    LONG HighPart;
};
typedef LUID* PLUID;

struct LUID_AND_ATTRIBUTES {
    LUID Luid;
    DWORD Attributes;
};

struct TOKEN_PRIVILEGES {
    DWORD PrivilegeCount;
    LUID_AND_ATTRIBUTES Privileges[1];
};
typedef TOKEN_PRIVILEGES* PTOKEN_PRIVILEGES;

// The pseudo handle of this process.
HANDLE GetCurrentProcess();
BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token);
// Fails with ERROR_NO_SUCH_PRIVILEGE.
BOOL LookupPrivilegeValueA(LPCSTR systemName, LPCSTR name, PLUID luid);
inline BOOL LookupPrivilegeValue(LPCSTR s, LPCSTR n, PLUID l) { return LookupPrivilegeValueA(s, n, l); }
// Returns TRUE with ERROR_NOT_ALL_ASSIGNED: nothing was enabled.
BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState, DWORD bufferLength,
                           PTOKEN_PRIVILEGES previousState, LPDWORD returnLength);
