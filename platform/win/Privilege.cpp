#include "platform/win/Privilege.h"

namespace {

class Token : public tavrin::KernelObject {};

} // namespace

HANDLE GetCurrentProcess()
{
    return INVALID_HANDLE_VALUE; // the documented pseudo handle, -1
}

BOOL OpenProcessToken(HANDLE process, DWORD, PHANDLE token)
{
    if (!token || process != GetCurrentProcess()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *token = tavrin::RegisterHandle(std::make_shared<Token>());
    return TRUE;
}

BOOL LookupPrivilegeValueA(LPCSTR, LPCSTR, PLUID)
{
    SetLastError(ERROR_NO_SUCH_PRIVILEGE);
    return FALSE;
}

BOOL AdjustTokenPrivileges(HANDLE token, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, LPDWORD returnLength)
{
    if (!tavrin::LookupHandleAs<Token>(token)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (returnLength)
        *returnLength = 0;
    SetLastError(ERROR_NOT_ALL_ASSIGNED);
    return TRUE;
}
