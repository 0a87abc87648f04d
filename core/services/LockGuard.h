// Leaves a critical section that the owner has already entered when the guard
// goes out of scope, so that an accessor copying a string under the lock
// leaves it also when the copy throws.
#pragma once

#include "platform/base/Sync.h"

class CLockGuard {
public:
    explicit CLockGuard(CRITICAL_SECTION* lock) : m_lock(lock) {}
    ~CLockGuard() { LeaveCriticalSection(m_lock); }

    CLockGuard(const CLockGuard&) = delete;
    CLockGuard& operator=(const CLockGuard&) = delete;

private:
    CRITICAL_SECTION* m_lock;
};
