// Objects behind HANDLE values (open files, listings, and any other kind a
// layer adds). A handle is registered while open, so closing twice or using a
// stale handle fails with ERROR_INVALID_HANDLE instead of touching freed memory.
#pragma once

#include "platform/base/Types.h"

#include <memory>

namespace tavrin {

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // Called once by CloseHandle; false reports a failed close (e.g. a write
    // that could not be committed).
    virtual bool Close() { return true; }
};

// Registers the object and returns its handle.
HANDLE RegisterHandle(std::shared_ptr<KernelObject> object);
// The object behind an open handle, or null.
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
// Unregisters the handle; null when it was not open.
std::shared_ptr<KernelObject> ReleaseHandle(HANDLE handle);

template <typename T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle)
{
    return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}

} // namespace tavrin

BOOL CloseHandle(HANDLE handle);
