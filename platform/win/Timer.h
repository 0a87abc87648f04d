// Timers: WM_TIMER is made only when the queue holds nothing else a retrieval
// would return, never piles up (one message per due timer), and the next one
// is due an interval after the last was taken. Time is the program clock.
#pragma once

#include "platform/win/WinMessage.h"

#define USER_TIMER_MINIMUM 0x0000000A
#define USER_TIMER_MAXIMUM 0x7FFFFFFF

// With a window: the timer (hwnd, id) of the window's thread, replacing one of
// the same id; returns nonzero. Without: a new thread timer; returns its id.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
