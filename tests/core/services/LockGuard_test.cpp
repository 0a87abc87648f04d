#include "core/services/LockGuard.h"

#include <gtest/gtest.h>

#include <new>
#include <thread>

TEST(LockGuard, LeavesTheLockAlsoWhenTheCopyThrows)
{
    CRITICAL_SECTION lock;
    InitializeCriticalSection(&lock);
    auto copyUnderLock = [&lock] {
        EnterCriticalSection(&lock);
        CLockGuard guard(&lock);
        throw std::bad_alloc();
    };
    EXPECT_THROW(copyUnderLock(), std::bad_alloc);
    // The lock is recursive: only another thread can tell that it was left.
    bool entered = false;
    std::thread other([&] {
        entered = TryEnterCriticalSection(&lock);
        if (entered)
            LeaveCriticalSection(&lock);
    });
    other.join();
    EXPECT_TRUE(entered);
    DeleteCriticalSection(&lock);
}
