#include "platform/base/Clock.h"
#include "platform/base/Sync.h"
#include "platform/base/Thread.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

TEST(Event, ManualResetReleasesEveryWaitUntilReset)
{
    HANDLE e = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(SetEvent(e));
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ResetEvent(e));
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(e));
}

TEST(Event, AutoResetReleasesOneWait)
{
    HANDLE e = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
    CloseHandle(e);
}

TEST(Event, WakesAWaitingThread)
{
    HANDLE e = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread t([&] {
        EXPECT_EQ(WaitForSingleObject(e, INFINITE), WAIT_OBJECT_0);
        SetEvent(done);
    });
    SetEvent(e);
    EXPECT_EQ(WaitForSingleObject(done, INFINITE), WAIT_OBJECT_0);
    t.join();
    CloseHandle(e);
    CloseHandle(done);
}

TEST(Event, NamedEventsAreShared)
{
    HANDLE a = CreateEventA(nullptr, TRUE, FALSE, "tavrin-test-event");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE b = CreateEventA(nullptr, TRUE, FALSE, "tavrin-test-event");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_NE(a, b);
    SetEvent(a);
    EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_OBJECT_0);
    CloseHandle(a);
    CloseHandle(b);
    HANDLE c = CreateEventA(nullptr, TRUE, FALSE, "tavrin-test-event");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(WaitForSingleObject(c, 0), WAIT_TIMEOUT);
    CloseHandle(c);
}

TEST(Semaphore, CountsAndRefusesToPassItsMaximum)
{
    HANDLE s = CreateSemaphoreA(nullptr, 0, 2, nullptr);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(WaitForSingleObject(s, 0), WAIT_TIMEOUT);
    LONG previous = -1;
    EXPECT_TRUE(ReleaseSemaphore(s, 2, &previous));
    EXPECT_EQ(previous, 0);
    EXPECT_FALSE(ReleaseSemaphore(s, 1, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_POSTS));
    EXPECT_EQ(WaitForSingleObject(s, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(s, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(s, 0), WAIT_TIMEOUT);
    EXPECT_EQ(CreateSemaphoreA(nullptr, 3, 2, nullptr), nullptr);
    CloseHandle(s);
}

TEST(Wait, AnyReportsTheFirstSignalledIndex)
{
    HANDLE e[3] = {CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, FALSE, FALSE, nullptr),
                   CreateSemaphoreA(nullptr, 0, 5, nullptr)};
    EXPECT_EQ(WaitForMultipleObjects(3, e, FALSE, 0), WAIT_TIMEOUT);
    ReleaseSemaphore(e[2], 1, nullptr);
    SetEvent(e[1]);
    EXPECT_EQ(WaitForMultipleObjects(3, e, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(3, e, FALSE, 0), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForMultipleObjects(3, e, FALSE, 0), WAIT_TIMEOUT);
    for (HANDLE h : e)
        CloseHandle(h);
}

TEST(Wait, AllTakesNothingUntilEveryObjectIsSignalled)
{
    HANDLE e[2] = {CreateEventA(nullptr, FALSE, TRUE, nullptr), CreateSemaphoreA(nullptr, 0, 5, nullptr)};
    EXPECT_EQ(WaitForMultipleObjects(2, e, TRUE, 0), WAIT_TIMEOUT);
    // The auto-reset event kept its signal while the semaphore was empty.
    ReleaseSemaphore(e[1], 1, nullptr);
    EXPECT_EQ(WaitForMultipleObjects(2, e, TRUE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e[0], 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(e[1], 0), WAIT_TIMEOUT);
    for (HANDLE h : e)
        CloseHandle(h);
}

TEST(Wait, BadHandlesFail)
{
    HANDLE e = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(CloseHandle(e));
    EXPECT_FALSE(CloseHandle(e));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(e));
    EXPECT_EQ(WaitForMultipleObjects(0, nullptr, FALSE, 0), WAIT_FAILED);
}

TEST(Wait, TimesOutAfterTheGivenTime)
{
    HANDLE e = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(WaitForSingleObject(e, 5), WAIT_TIMEOUT);
    CloseHandle(e);
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads)
{
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    EnterCriticalSection(&cs);
    EXPECT_TRUE(TryEnterCriticalSection(&cs));
    std::thread([&] { EXPECT_FALSE(TryEnterCriticalSection(&cs)); }).join();
    LeaveCriticalSection(&cs);
    LeaveCriticalSection(&cs);
    std::thread([&] {
        EXPECT_TRUE(TryEnterCriticalSection(&cs));
        LeaveCriticalSection(&cs);
    }).join();
    DeleteCriticalSection(&cs);
}

TEST(Interlocked, CountsFromManyThreads)
{
    volatile LONG counter = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&] {
            for (int j = 0; j < 1000; ++j) {
                InterlockedIncrement(&counter);
                InterlockedExchangeAdd(&counter, 2);
                InterlockedDecrement(&counter);
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(counter, 16000);
    EXPECT_EQ(InterlockedCompareExchange(&counter, 5, 16000), 16000);
    EXPECT_EQ(InterlockedCompareExchange(&counter, 7, 16000), 5);
    EXPECT_EQ(InterlockedExchange(&counter, 9), 5);
    EXPECT_EQ(counter, 9);
}

namespace {

unsigned WINAPI RecordThread(void* argument)
{
    auto* seen = static_cast<std::atomic<DWORD>*>(argument);
    seen->store(GetCurrentThreadId());
    _endthreadex(42);
}

DWORD WINAPI ReturnSeven(LPVOID) { return 7; }

} // namespace

TEST(Thread, StartsSuspendedAndRunsWhenResumed)
{
    std::atomic<DWORD> seen{0};
    unsigned id = 0;
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RecordThread, &seen, CREATE_SUSPENDED, &id));
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
    EXPECT_EQ(seen.load(), 0u);
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(seen.load(), id);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(ResumeThread(thread), 0u);
    CloseHandle(thread);
}

TEST(Thread, CreateThreadRunsAtOnceAndReportsItsResult)
{
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, ReturnSeven, nullptr, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(GetThreadId(thread), id);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 7u);
    CloseHandle(thread);
}

TEST(Thread, WaitForSeveralThreads)
{
    HANDLE threads[4];
    for (HANDLE& t : threads)
        t = CreateThread(nullptr, 0, ReturnSeven, nullptr, 0, nullptr);
    EXPECT_EQ(WaitForMultipleObjects(4, threads, TRUE, INFINITE), WAIT_OBJECT_0);
    for (HANDLE t : threads)
        CloseHandle(t);
}

TEST(Wait, TimeOutsFollowTheManualClock)
{
    tavrin::clock::ManualScope manual(1000000);
    HANDLE e = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<DWORD> result{0xdead};
    std::atomic<bool> slept{false};
    std::thread waiter([&] { result = WaitForSingleObject(e, 1000); });
    std::thread sleeper([&] {
        Sleep(500);
        slept = true;
    });
    // A wait that started after the clock moved measures from its own start;
    // so keep moving until both have ended.
    int64_t advanced = 0;
    while (result.load() == 0xdead || !slept.load()) {
        tavrin::clock::Advance(100);
        advanced += 100;
        std::this_thread::yield();
    }
    EXPECT_EQ(result.load(), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_GE(advanced, 1000);
    waiter.join();
    sleeper.join();
    CloseHandle(e);
}
