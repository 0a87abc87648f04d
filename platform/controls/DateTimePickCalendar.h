// The month calendar a date picker drops down, and the calendar arithmetic
// both share.
#pragma once

#include "platform/controls/DateTimePick.h"

namespace tavrin::controls {

// From the calendar to the picker that dropped it.
constexpr UINT kCalendarPicked = WM_USER + 0x200; // lParam: const SYSTEMTIME*
constexpr UINT kCalendarDismissed = WM_USER + 0x201;

bool RegisterMonthCal();
// A calendar popup showing date, below the picker's screen rectangle (its
// right edges aligned when rightAlign), kept on the work area. It holds the
// capture: a press outside it dismisses it.
HWND DropMonthCal(HWND picker, const SYSTEMTIME& date, const RECT& pickerScreen, bool rightAlign);
// Keys the picker passes on while the calendar is down.
void MonthCalKey(HWND calendar, UINT key);
// Ends the popup without telling the picker.
void CloseMonthCal(HWND calendar);

int DaysInMonth(int year, int month);
// 0 Sunday .. 6 Saturday.
int DayOfWeek(int year, int month, int day);
bool IsValidDate(int year, int month, int day);

} // namespace tavrin::controls
