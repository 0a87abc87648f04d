// "SysDateTimePick32": a short date ("yyyy-M-d", year first, whatever the
// process locale) edited field by field with digits and arrows, or picked
// from a drop-down month calendar ("SysMonthCal32").
#pragma once

#include "platform/base/Time.h"
#include "platform/controls/CommCtrl.h"

#define DATETIMEPICK_CLASSA "SysDateTimePick32"
#define DATETIMEPICK_CLASS DATETIMEPICK_CLASSA
#define MONTHCAL_CLASSA "SysMonthCal32"
#define MONTHCAL_CLASS MONTHCAL_CLASSA

#define DTS_UPDOWN 0x0001
#define DTS_SHOWNONE 0x0002
#define DTS_SHORTDATEFORMAT 0x0000
#define DTS_LONGDATEFORMAT 0x0004
#define DTS_SHORTDATECENTURYFORMAT 0x000C
#define DTS_TIMEFORMAT 0x0009
#define DTS_APPCANPARSE 0x0010
#define DTS_RIGHTALIGN 0x0020

#define DTM_FIRST 0x1000
#define DTM_GETSYSTEMTIME (DTM_FIRST + 1)
#define DTM_SETSYSTEMTIME (DTM_FIRST + 2)
#define DTM_GETRANGE (DTM_FIRST + 3)
#define DTM_SETRANGE (DTM_FIRST + 4)
#define DTM_GETMONTHCAL (DTM_FIRST + 8)
#define DTM_SETMCFONT (DTM_FIRST + 9)
#define DTM_GETMCFONT (DTM_FIRST + 10)

#define GDT_ERROR -1
#define GDT_VALID 0
#define GDT_NONE 1

// The date picker's notification codes (their documented values).
#define DTN_DATETIMECHANGE (0U - 759U)
#define DTN_DROPDOWN (0U - 754U)
#define DTN_CLOSEUP (0U - 753U)

struct NMDATETIMECHANGE {
    NMHDR nmhdr;
    DWORD dwFlags;
    SYSTEMTIME st;
};
typedef NMDATETIMECHANGE* LPNMDATETIMECHANGE;

#define MCM_FIRST 0x1000
#define MCM_GETCURSEL (MCM_FIRST + 1)
#define MCM_SETCURSEL (MCM_FIRST + 2)

namespace tavrin::controls {
bool RegisterDateTimePick();
// The rectangle of a day of the shown month in a month calendar's client
// area; false when the day is not shown.
bool MonthCalDayRect(HWND calendar, int day, RECT* rect);
// The calendar's month paging buttons (client area).
bool MonthCalPagingRects(HWND calendar, RECT* previous, RECT* next);
} // namespace tavrin::controls
