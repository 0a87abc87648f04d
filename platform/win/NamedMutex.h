// Mutexes. A named one is shared by every copy of the program this user runs:
// the first copy to create the name holds a lock file of the configuration
// folder (UserFolder.h) for as long as it keeps a handle open, so a copy
// that ended, however it ended, leaves no lock behind. Creating a name that
// exists (in this process or another copy) gives a handle with
// ERROR_ALREADY_EXISTS. A named mutex also makes this copy reachable by
// broadcasts from the others (Broadcast.h). Ownership is kept per thread;
// these mutexes cannot be waited for.
#pragma once

#include "platform/base/Sync.h"

#define ERROR_NOT_OWNER 288L

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name);
inline HANDLE CreateMutex(LPSECURITY_ATTRIBUTES a, BOOL initialOwner, LPCSTR name)
{
    return CreateMutexA(a, initialOwner, name);
}
// Fails with ERROR_NOT_OWNER unless the calling thread owns the mutex.
BOOL ReleaseMutex(HANDLE mutex);
