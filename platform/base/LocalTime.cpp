#include "platform/base/LocalTime.h"

#include "platform/base/Clock.h"

#include <ctime>

namespace {

void Fill(LPSYSTEMTIME out, bool local)
{
    if (!out)
        return;
    const time_t seconds = static_cast<time_t>(tavrin::clock::Now());
    tm parts{};
    if (local)
        localtime_r(&seconds, &parts);
    else
        gmtime_r(&seconds, &parts);
    out->wYear = static_cast<WORD>(parts.tm_year + 1900);
    out->wMonth = static_cast<WORD>(parts.tm_mon + 1);
    out->wDayOfWeek = static_cast<WORD>(parts.tm_wday);
    out->wDay = static_cast<WORD>(parts.tm_mday);
    out->wHour = static_cast<WORD>(parts.tm_hour);
    out->wMinute = static_cast<WORD>(parts.tm_min);
    out->wSecond = static_cast<WORD>(parts.tm_sec);
    // The program clock counts whole seconds.
    out->wMilliseconds = 0;
}

} // namespace

void GetLocalTime(LPSYSTEMTIME time)
{
    Fill(time, true);
}

void GetSystemTime(LPSYSTEMTIME time)
{
    Fill(time, false);
}
