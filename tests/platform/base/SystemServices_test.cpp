#include "platform/base/Clock.h"
#include "platform/base/LocalTime.h"
#include "platform/base/MulDiv.h"
#include "platform/base/ThreadPriority.h"

#include <gtest/gtest.h>
#include <thread>

TEST(SystemServices, MulDivRoundsHalfAwayFromZero)
{
    struct Case {
        int a, b, c, result;
    };
    const Case cases[] = {
        {512, 1280, 1024, 640}, {80, 96, 96, 80},  {5, 1, 2, 3},          {-5, 1, 2, -3},      {5, -1, 2, -3},
        {5, 1, -2, -3},         {7, 1, 3, 2},      {1, 1, 0, -1},         {0x7FFFFFFF, 2, 1, -1},
        {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.result) << c.a << "*" << c.b << "/" << c.c;
}

TEST(SystemServices, LocalTimeFollowsTheProgramClock)
{
    setenv("TZ", "UTC", 1);
    tzset();
    tavrin::clock::UseManual(1109635200); // 2005-03-01 00:00:00 UTC, a Tuesday
    tavrin::clock::Advance(3723000);
    SYSTEMTIME st{};
    GetLocalTime(&st);
    EXPECT_EQ(st.wYear, 2005);
    EXPECT_EQ(st.wMonth, 3);
    EXPECT_EQ(st.wDay, 1);
    EXPECT_EQ(st.wDayOfWeek, 2);
    EXPECT_EQ(st.wHour, 1);
    EXPECT_EQ(st.wMinute, 2);
    EXPECT_EQ(st.wSecond, 3);
    tavrin::clock::UseReal();
}

TEST(SystemServices, ThreadPriorities)
{
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_BELOW_NORMAL);
    int seen = 99;
    std::thread([&] { seen = GetThreadPriority(GetCurrentThread()); }).join();
    EXPECT_EQ(seen, THREAD_PRIORITY_NORMAL) << "each thread has its own";
    EXPECT_FALSE(SetThreadPriority(GetCurrentThread(), 7));
    EXPECT_FALSE(SetThreadPriority(nullptr, THREAD_PRIORITY_NORMAL));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
}
