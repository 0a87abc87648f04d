#include "platform/base/Clock.h"
#include "platform/base/Time.h"

#include <gtest/gtest.h>

#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// Fixes the local time zone for the test and puts the old one back.
class TimeZone : public testing::Test {
protected:
    void UseZone(const char* zone)
    {
        setenv("TZ", zone, 1);
        tzset();
    }
    void SetUp() override
    {
        const char* old = getenv("TZ");
        m_hadZone = old != nullptr;
        if (old)
            m_oldZone = old;
        UseZone("CST-8"); // China: UTC+8, no daylight saving
    }
    void TearDown() override
    {
        if (m_hadZone)
            setenv("TZ", m_oldZone.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool m_hadZone = false;
    std::string m_oldZone;
};

using CTimeTest = TimeZone;

constexpr __int64 kCookieEpoch = 1099843200; // 2004-11-08 00:00:00 UTC+8

} // namespace

TEST_F(CTimeTest, FieldsMakeLocalTime)
{
    CTime t(2004, 11, 8, 0, 0, 0);
    EXPECT_EQ(t.GetTime(), kCookieEpoch);
    EXPECT_TRUE(t.IsValid());
    CTime u(2005, 3, 1, 13, 4, 5);
    EXPECT_EQ(u.GetYear(), 2005);
    EXPECT_EQ(u.GetMonth(), 3);
    EXPECT_EQ(u.GetDay(), 1);
    EXPECT_EQ(u.GetHour(), 13);
    EXPECT_EQ(u.GetMinute(), 4);
    EXPECT_EQ(u.GetSecond(), 5);
    EXPECT_EQ(u.GetDayOfWeek(), 3); // Tuesday; Sunday is 1
    struct tm gmt;
    ASSERT_EQ(u.GetGmtTm(&gmt), &gmt);
    EXPECT_EQ(gmt.tm_hour, 5);
    EXPECT_EQ(CTime(1970, 1, 1, 8, 0, 0).GetTime(), 0);
}

TEST_F(CTimeTest, FieldsOutOfRangeRollOverLikeMktime)
{
    struct Case {
        int year, month, day, hour, minute, second;
        const char* expected;
    };
    const Case cases[] = {
        {2005, 13, 1, 0, 0, 0, "2006-01-01 00:00:00"},
        {2005, 0, 1, 0, 0, 0, "2004-12-01 00:00:00"},
        {2005, 3, 0, 0, 0, 0, "2005-02-28 00:00:00"},
        {2004, 3, 0, 0, 0, 0, "2004-02-29 00:00:00"},
        {2005, 1, 32, 0, 0, 0, "2005-02-01 00:00:00"},
        {2005, 2, 30, 0, 0, 0, "2005-03-02 00:00:00"},
        {2005, 12, 31, 24, 0, 0, "2006-01-01 00:00:00"},
        {2005, 1, 1, 0, -1, 0, "2004-12-31 23:59:00"},
        {2005, 1, 1, 0, 0, 86400, "2005-01-02 00:00:00"},
        {2005, 25, 1, 0, 0, 0, "2007-01-01 00:00:00"},
    };
    for (const Case& c : cases) {
        CTime t(c.year, c.month, c.day, c.hour, c.minute, c.second);
        EXPECT_STREQ(t.Format("%Y-%m-%d %H:%M:%S"), c.expected)
            << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute << ":" << c.second;
    }
}

TEST_F(CTimeTest, TimesThatCannotBeMadeAreInvalid)
{
    struct Case {
        int year, month, day, hour, minute, second;
    };
    const Case cases[] = {
        {1969, 12, 31, 0, 0, 0},
        {1970, 1, 1, 7, 59, 59}, // one second before the epoch in UTC+8
        {0, 0, 0, 0, 0, 0},      // a zero-filled stamp
        {3001, 1, 2, 0, 0, 0},
        {INT_MAX, 1, 1, 0, 0, 0},
        {INT_MIN, 1, 1, 0, 0, 0},
        {2005, INT_MIN, 1, 0, 0, 0},
        {2005, INT_MAX, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        CTime t(c.year, c.month, c.day, c.hour, c.minute, c.second);
        SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << "-" << c.day << " " << c.second);
        EXPECT_EQ(t.GetTime(), -1);
        EXPECT_FALSE(t.IsValid());
        EXPECT_STREQ(t.Format("%Y%m%d%H%M%S"), "");
        EXPECT_EQ(t.GetYear(), 0);
        struct tm tm;
        EXPECT_EQ(t.GetLocalTm(&tm), nullptr);
    }
    // The last valid second is 3000-12-31 23:59:59 UTC, 08:00 later in UTC+8.
    EXPECT_TRUE(CTime(3001, 1, 1, 7, 59, 59).IsValid());
    EXPECT_FALSE(CTime(3001, 1, 1, 8, 0, 0).IsValid());
}

TEST_F(CTimeTest, FormatTable)
{
    const CTime t(2005, 3, 1, 9, 5, 7);
    struct Case {
        const char* format;
        const char* expected;
    };
    const Case cases[] = {
        {"%Y%m%d%H%M%S", "20050301090507"},
        {"%Y%m%d_", "20050301_"},
        {"%Y年%m月%d日_", "2005年03月01日_"},
        {"%Y年第%W周", "2005年第09周"},
        {"%Y年%m月", "2005年03月"},
        {"%a %b %p", "Tue Mar AM"},
        {"%%", "%"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(t.Format(c.format), c.expected) << c.format;
    EXPECT_STREQ(t.Format(nullptr), "");
    EXPECT_STREQ(t.FormatGmt("%Y%m%d%H%M%S"), "20050301010507");
    EXPECT_STREQ(CTime(2005, 1, 1, 0, 0, 0).Format("%W"), "00");
    EXPECT_STREQ(CTime(2007, 12, 31, 0, 0, 0).Format("%W"), "53");
    // A result longer than any first guess of the buffer.
    std::string longFormat(3000, 'x');
    longFormat += "%Y";
    EXPECT_EQ(t.Format(longFormat.c_str()).GetLength(), 3004);
}

TEST_F(CTimeTest, FormatFromManyThreads)
{
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([i, &wrong] {
            const CTime t(2000 + i, 1 + i, 10 + i, i, 0, 0);
            char expected[64];
            std::snprintf(expected, sizeof expected, "%04d%02d%02d%02d0000", 2000 + i, 1 + i, 10 + i, i);
            for (int n = 0; n < 500; ++n) {
                if (t.Format("%Y%m%d%H%M%S") != expected)
                    ++wrong[i];
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

TEST_F(CTimeTest, DaylightSavingDecidedByTheZone)
{
    UseZone("EST5EDT,M3.2.0,M11.1.0");
    EXPECT_EQ(CTime(2005, 7, 1, 12, 0, 0).GetTime(), 1120233600); // 16:00 UTC
    EXPECT_EQ(CTime(2005, 1, 1, 12, 0, 0).GetTime(), 1104598800); // 17:00 UTC
}

TEST_F(CTimeTest, SystemTimeRoundTrip)
{
    const CTime t(2005, 3, 31, 23, 59, 58);
    SYSTEMTIME st = {};
    ASSERT_TRUE(t.GetAsSystemTime(st));
    EXPECT_EQ(st.wYear, 2005);
    EXPECT_EQ(st.wMonth, 3);
    EXPECT_EQ(st.wDay, 31);
    EXPECT_EQ(st.wDayOfWeek, 4); // Thursday, Sunday is 0 here
    EXPECT_EQ(CTime(st), t);
    EXPECT_FALSE(CTime(-1).GetAsSystemTime(st));
}

TEST_F(CTimeTest, ArithmeticAndComparison)
{
    const CTime cookie(kCookieEpoch);
    const CTime later = cookie + CTimeSpan(0, 0, 45, 59);
    EXPECT_EQ((later - cookie).GetTotalMinutes(), 45);
    EXPECT_EQ((later - cookie).GetTotalSeconds(), 45 * 60 + 59);
    // A cookie time in the future gives a negative age, truncated toward zero.
    EXPECT_EQ((cookie - later).GetTotalMinutes(), -45);
    EXPECT_EQ(CTimeSpan(-119).GetTotalMinutes(), -1);
    EXPECT_LT(cookie, later);
    EXPECT_GE(later, cookie);
    EXPECT_NE(cookie, later);
    CTime moved = later;
    moved -= CTimeSpan(0, 0, 45, 59);
    EXPECT_EQ(moved, cookie);
    moved += CTimeSpan(1, 0, 0, 0);
    EXPECT_EQ(moved.Format("%Y%m%d"), CString("20041109"));
    // The days of a statistics run: last minus first over 86400.
    const CTime first(1977, 8, 21, 12, 12, 12);
    EXPECT_EQ((CTime(1977, 8, 23, 12, 12, 11) - first).GetTimeSpan() / 86400, 1);
}

TEST(CTimeSpan, PartsAndFormat)
{
    struct Case {
        CTimeSpan span;
        __int64 days, totalHours;
        LONG hours;
        __int64 totalMinutes;
        LONG minutes, seconds;
        const char* formatted;
    };
    const Case cases[] = {
        {CTimeSpan(1, 2, 3, 4), 1, 26, 2, 1563, 3, 4, "1 02:03:04"},
        {CTimeSpan(0), 0, 0, 0, 0, 0, 0, "0 00:00:00"},
        {CTimeSpan(0, 25, 61, 61), 1, 26, 2, 1562, 2, 1, "1 02:02:01"},
        {CTimeSpan(400, 0, 0, 0), 400, 9600, 0, 576000, 0, 0, "400 00:00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formatted);
        EXPECT_EQ(c.span.GetDays(), c.days);
        EXPECT_EQ(c.span.GetTotalHours(), c.totalHours);
        EXPECT_EQ(c.span.GetHours(), c.hours);
        EXPECT_EQ(c.span.GetTotalMinutes(), c.totalMinutes);
        EXPECT_EQ(c.span.GetMinutes(), c.minutes);
        EXPECT_EQ(c.span.GetSeconds(), c.seconds);
        EXPECT_STREQ(c.span.Format("%D %H:%M:%S"), c.formatted);
    }
    EXPECT_STREQ(CTimeSpan(3661).Format("%H%%%M %x%"), "01%01 %x%");
    EXPECT_EQ(CTimeSpan(10) + CTimeSpan(5), CTimeSpan(15));
    EXPECT_EQ(CTimeSpan(10) - CTimeSpan(15), CTimeSpan(-5));
    EXPECT_EQ(CTimeSpan(LLONG_MAX) + CTimeSpan(1), CTimeSpan(LLONG_MIN)); // wraps, no overflow trap
}

// ---- the process clock ----------------------------------------------------

class ClockTest : public TimeZone {
protected:
    tavrin::clock::ManualScope m_clock{kCookieEpoch};
};

TEST_F(ClockTest, ManualTimeMovesOnlyWhenDriven)
{
    namespace clock = tavrin::clock;
    EXPECT_TRUE(clock::IsManual());
    EXPECT_EQ(CTime::GetCurrentTime().GetTime(), kCookieEpoch);
    const int64_t tick = clock::NowMs();
    const DWORD tickCount = GetTickCount();
    EXPECT_EQ(tickCount, static_cast<DWORD>(tick));

    clock::Advance(1500);
    EXPECT_EQ(clock::NowMs(), tick + 1500);
    EXPECT_EQ(GetTickCount(), tickCount + 1500);
    EXPECT_EQ(clock::Now(), kCookieEpoch + 1);
    clock::Advance(500);
    EXPECT_EQ(clock::Now(), kCookieEpoch + 2);

    // Setting the time of day leaves the tick alone.
    clock::Set(kCookieEpoch + 46 * 60);
    EXPECT_EQ(clock::NowMs(), tick + 2000);
    EXPECT_EQ((CTime::GetCurrentTime() - CTime(2004, 11, 8, 0, 0, 0)).GetTotalMinutes(), 46);
    clock::Advance(-5000); // the clock never runs backwards
    EXPECT_EQ(clock::NowMs(), tick + 2000);
}

TEST_F(ClockTest, ListenersHearEveryChange)
{
    namespace clock = tavrin::clock;
    int calls = 0;
    const uint64_t generation = clock::Generation();
    int id = clock::AddListener([&calls] { ++calls; });
    clock::Advance(10);
    clock::Set(kCookieEpoch);
    EXPECT_EQ(calls, 2);
    EXPECT_GE(clock::Generation(), generation + 2);
    clock::RemoveListener(id);
    clock::Advance(10);
    EXPECT_EQ(calls, 2);
}

TEST_F(ClockTest, WaiterWakesWhenManualTimeReachesItsDeadline)
{
    namespace clock = tavrin::clock;
    std::mutex mutex;
    std::condition_variable changed;
    int id = clock::AddListener([&] {
        std::lock_guard lock(mutex);
        changed.notify_all();
    });
    const int64_t deadline = clock::NowMs() + 1000;
    bool started = false;
    std::thread waiter([&] {
        std::unique_lock lock(mutex);
        started = true;
        changed.notify_all();
        changed.wait(lock, [&] { return clock::NowMs() >= deadline; });
    });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return started; });
    }
    clock::Advance(400);
    clock::Advance(600);
    waiter.join(); // returns only because the advance woke it
    clock::RemoveListener(id);
}

TEST(Clock, RealModeAndSwitchingBack)
{
    namespace clock = tavrin::clock;
    ASSERT_FALSE(clock::IsManual());
    EXPECT_NEAR(static_cast<double>(clock::Now()), static_cast<double>(std::time(nullptr)), 2.0);
    clock::Advance(1000); // ignored in real mode
    clock::Set(0);
    EXPECT_GT(clock::Now(), kCookieEpoch);

    const int64_t before = clock::NowMs();
    clock::UseManual(kCookieEpoch);
    clock::Advance(3600 * 1000);
    const int64_t manual = clock::NowMs();
    EXPECT_GE(manual, before + 3600 * 1000);
    clock::UseReal();
    EXPECT_GE(clock::NowMs(), manual); // the tick does not step back
    EXPECT_NEAR(static_cast<double>(clock::Now()), static_cast<double>(std::time(nullptr)), 2.0);
}
