#include "platform/base/Time.h"

#include "platform/base/Clock.h"

#include <climits>
#include <cstdio>
#include <locale.h>
#include <string>
#include <vector>

namespace {

// 3000-12-31 23:59:59 UTC, the last second the original time functions took.
constexpr __int64 kMaxTime = 32535215999LL;

// Formatting never depends on the process locale.
locale_t CLocale()
{
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

bool ToLocal(__int64 time, struct tm& out)
{
    if (!CTime::IsValidTime(time))
        return false;
    time_t t = static_cast<time_t>(time);
    return localtime_r(&t, &out) != nullptr;
}

bool ToGmt(__int64 time, struct tm& out)
{
    if (!CTime::IsValidTime(time))
        return false;
    time_t t = static_cast<time_t>(time);
    return gmtime_r(&t, &out) != nullptr;
}

CString FormatTm(const struct tm& tm, const char* format)
{
    if (!format || !*format)
        return CString();
    // A trailing space makes every successful result non-empty, so a zero
    // return from strftime always means the buffer was too small.
    std::string fmt(format);
    fmt += ' ';
    std::vector<char> buffer(128);
    for (;;) {
        size_t n = strftime_l(buffer.data(), buffer.size(), fmt.c_str(), &tm, CLocale());
        if (n > 0)
            return CString(buffer.data(), static_cast<int>(n - 1));
        if (buffer.size() >= 64 * 1024)
            return CString();
        buffer.resize(buffer.size() * 4);
    }
}

bool FitsInt(long long v)
{
    return v >= INT_MIN && v <= INT_MAX;
}

} // namespace

CString CTimeSpan::Format(const char* pFormat) const
{
    std::string out;
    if (!pFormat)
        return CString();
    char number[32];
    for (const char* p = pFormat; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        char conversion = p[1];
        if (conversion == '\0') {
            out += '%';
            break;
        }
        ++p;
        switch (conversion) {
        case '%':
            out += '%';
            break;
        case 'D':
            std::snprintf(number, sizeof number, "%lld", static_cast<long long>(GetDays()));
            out += number;
            break;
        case 'H':
            std::snprintf(number, sizeof number, "%02d", static_cast<int>(GetHours()));
            out += number;
            break;
        case 'M':
            std::snprintf(number, sizeof number, "%02d", static_cast<int>(GetMinutes()));
            out += number;
            break;
        case 'S':
            std::snprintf(number, sizeof number, "%02d", static_cast<int>(GetSeconds()));
            out += number;
            break;
        default:
            out += '%';
            out += conversion;
            break;
        }
    }
    return CString(std::move(out));
}

CTime CTime::GetCurrentTime()
{
    return CTime(tavrin::clock::Now());
}

bool CTime::IsValidTime(__int64 time)
{
    return time >= 0 && time <= kMaxTime;
}

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
    : m_time(kInvalid)
{
    long long year = static_cast<long long>(nYear) - 1900;
    long long month = static_cast<long long>(nMonth) - 1;
    if (!FitsInt(year) || !FitsInt(month))
        return;
    struct tm tm = {};
    tm.tm_year = static_cast<int>(year);
    tm.tm_mon = static_cast<int>(month);
    tm.tm_mday = nDay;
    tm.tm_hour = nHour;
    tm.tm_min = nMin;
    tm.tm_sec = nSec;
    tm.tm_isdst = nDST < 0 ? -1 : (nDST > 0 ? 1 : 0);
    // mktime answers -1 both for failure and for 1969-12-31 23:59:59 UTC,
    // which lies outside the valid range anyway.
    time_t t = mktime(&tm);
    if (t != static_cast<time_t>(-1) && IsValidTime(static_cast<__int64>(t)))
        m_time = static_cast<__int64>(t);
}

CTime::CTime(const SYSTEMTIME& st, int nDST)
    : CTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, nDST)
{
}

struct tm* CTime::GetLocalTm(struct tm* ptm) const
{
    if (!ptm || !ToLocal(m_time, *ptm))
        return nullptr;
    return ptm;
}

struct tm* CTime::GetGmtTm(struct tm* ptm) const
{
    if (!ptm || !ToGmt(m_time, *ptm))
        return nullptr;
    return ptm;
}

BOOL CTime::GetAsSystemTime(SYSTEMTIME& st) const
{
    struct tm tm;
    if (!ToLocal(m_time, tm))
        return FALSE;
    st.wYear = static_cast<WORD>(tm.tm_year + 1900);
    st.wMonth = static_cast<WORD>(tm.tm_mon + 1);
    st.wDayOfWeek = static_cast<WORD>(tm.tm_wday);
    st.wDay = static_cast<WORD>(tm.tm_mday);
    st.wHour = static_cast<WORD>(tm.tm_hour);
    st.wMinute = static_cast<WORD>(tm.tm_min);
    st.wSecond = static_cast<WORD>(tm.tm_sec);
    st.wMilliseconds = 0;
    return TRUE;
}

int CTime::LocalField(int (*field)(const struct tm&)) const
{
    struct tm tm;
    return ToLocal(m_time, tm) ? field(tm) : 0;
}

int CTime::GetYear() const
{
    return LocalField([](const struct tm& tm) { return tm.tm_year + 1900; });
}

int CTime::GetMonth() const
{
    return LocalField([](const struct tm& tm) { return tm.tm_mon + 1; });
}

int CTime::GetDay() const
{
    return LocalField([](const struct tm& tm) { return tm.tm_mday; });
}

int CTime::GetHour() const
{
    return LocalField([](const struct tm& tm) { return tm.tm_hour; });
}

int CTime::GetMinute() const
{
    return LocalField([](const struct tm& tm) { return tm.tm_min; });
}

int CTime::GetSecond() const
{
    return LocalField([](const struct tm& tm) { return tm.tm_sec; });
}

int CTime::GetDayOfWeek() const
{
    return LocalField([](const struct tm& tm) { return tm.tm_wday + 1; });
}

CString CTime::Format(const char* pFormat) const
{
    struct tm tm;
    if (!ToLocal(m_time, tm))
        return CString();
    return FormatTm(tm, pFormat);
}

CString CTime::FormatGmt(const char* pFormat) const
{
    struct tm tm;
    if (!ToGmt(m_time, tm))
        return CString();
    return FormatTm(tm, pFormat);
}
