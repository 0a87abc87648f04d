// CTime and CTimeSpan: 64-bit counts of seconds since 1970-01-01 00:00:00 UTC,
// shown in local time. Building a time from fields normalises them as mktime
// does (month 13 is January of the next year, day 0 the last day of the month
// before). A time that cannot be built (before 1970 UTC, after the year 3000,
// or fields out of any range) is the invalid time -1: IsValid() is FALSE,
// its fields read 0 and it formats as an empty text.
#pragma once

#include "platform/base/String.h"
#include "platform/base/Types.h"

#include <ctime>

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
typedef SYSTEMTIME* LPSYSTEMTIME;

class CTimeSpan {
public:
    CTimeSpan() = default;
    CTimeSpan(__int64 time) : m_timeSpan(time) {}
    CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs)
        : m_timeSpan(nSecs + 60 * (nMins + 60 * (nHours + 24 * static_cast<__int64>(lDays))))
    {
    }

    __int64 GetTimeSpan() const { return m_timeSpan; }
    __int64 GetDays() const { return m_timeSpan / (24 * 3600); }
    __int64 GetTotalHours() const { return m_timeSpan / 3600; }
    LONG GetHours() const { return static_cast<LONG>(GetTotalHours() - GetDays() * 24); }
    __int64 GetTotalMinutes() const { return m_timeSpan / 60; }
    LONG GetMinutes() const { return static_cast<LONG>(GetTotalMinutes() - GetTotalHours() * 60); }
    __int64 GetTotalSeconds() const { return m_timeSpan; }
    LONG GetSeconds() const { return static_cast<LONG>(GetTotalSeconds() - GetTotalMinutes() * 60); }

    // %D days, %H hours (00-23), %M minutes, %S seconds, %% a percent sign;
    // other text is copied.
    CString Format(const char* pFormat) const;

    CTimeSpan operator+(CTimeSpan span) const { return CTimeSpan(Wrap(m_timeSpan, span.m_timeSpan, false)); }
    CTimeSpan operator-(CTimeSpan span) const { return CTimeSpan(Wrap(m_timeSpan, span.m_timeSpan, true)); }
    CTimeSpan& operator+=(CTimeSpan span) { return *this = *this + span; }
    CTimeSpan& operator-=(CTimeSpan span) { return *this = *this - span; }
    bool operator==(CTimeSpan span) const { return m_timeSpan == span.m_timeSpan; }
    bool operator!=(CTimeSpan span) const { return m_timeSpan != span.m_timeSpan; }
    bool operator<(CTimeSpan span) const { return m_timeSpan < span.m_timeSpan; }
    bool operator>(CTimeSpan span) const { return m_timeSpan > span.m_timeSpan; }
    bool operator<=(CTimeSpan span) const { return m_timeSpan <= span.m_timeSpan; }
    bool operator>=(CTimeSpan span) const { return m_timeSpan >= span.m_timeSpan; }

private:
    // Two's-complement wrap instead of signed overflow.
    static __int64 Wrap(__int64 a, __int64 b, bool subtract)
    {
        auto ua = static_cast<unsigned long long>(a);
        auto ub = static_cast<unsigned long long>(b);
        return static_cast<__int64>(subtract ? ua - ub : ua + ub);
    }

    __int64 m_timeSpan = 0;
};

class CTime {
public:
    static constexpr __int64 kInvalid = -1;

    // The time of day of the process clock (tavrin::clock).
    static CTime GetCurrentTime();
    // Whether a count of seconds lies in the range a CTime holds.
    static bool IsValidTime(__int64 time);

    CTime() = default;
    CTime(__int64 time) : m_time(time) {}
    // Local time from fields, normalised like mktime; nDST < 0 lets the time
    // zone decide on daylight saving. Invalid when the fields make no time.
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);
    CTime(const SYSTEMTIME& st, int nDST = -1);

    __int64 GetTime() const { return m_time; }
    BOOL IsValid() const { return IsValidTime(m_time); }

    // Broken-down local or UTC time into *ptm; NULL for an invalid time.
    struct tm* GetLocalTm(struct tm* ptm) const;
    struct tm* GetGmtTm(struct tm* ptm) const;
    BOOL GetAsSystemTime(SYSTEMTIME& st) const;

    // Local time fields; 0 for an invalid time. Day of week 1 is Sunday.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;

    // strftime of the local (or UTC) time, in the C locale; thread-safe.
    // Empty for an invalid time.
    CString Format(const char* pFormat) const;
    CString FormatGmt(const char* pFormat) const;

    CTimeSpan operator-(CTime time) const { return CTimeSpan(m_time) - CTimeSpan(time.m_time); }
    CTime operator+(CTimeSpan span) const { return CTime((CTimeSpan(m_time) + span).GetTimeSpan()); }
    CTime operator-(CTimeSpan span) const { return CTime((CTimeSpan(m_time) - span).GetTimeSpan()); }
    CTime& operator+=(CTimeSpan span) { return *this = *this + span; }
    CTime& operator-=(CTimeSpan span) { return *this = *this - span; }
    bool operator==(CTime time) const { return m_time == time.m_time; }
    bool operator!=(CTime time) const { return m_time != time.m_time; }
    bool operator<(CTime time) const { return m_time < time.m_time; }
    bool operator>(CTime time) const { return m_time > time.m_time; }
    bool operator<=(CTime time) const { return m_time <= time.m_time; }
    bool operator>=(CTime time) const { return m_time >= time.m_time; }

private:
    int LocalField(int (*field)(const struct tm&)) const;

    __int64 m_time = 0;
};
