#include "platform/controls/Progress.h"
#include "tests/platform/controls/ControlHost.h"

#include <gtest/gtest.h>

using namespace tavrin::test;

TEST(Progress, MessageTable)
{
    ControlHost host;
    HWND p = host.Create(PROGRESS_CLASS, "", WS_CHILD | WS_VISIBLE, {10, 10, 210, 30}, 1);
    struct Step {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result;
        int pos; // PBM_GETPOS afterwards
    } steps[] = {
        {PBM_GETPOS, 0, 0, 0, 0},
        {PBM_SETPOS, 30, 0, 0, 30},                               // the old position
        {PBM_SETPOS, 500, 0, 30, 100},                            // clamped to the range
        {PBM_SETRANGE, 0, MAKELPARAM(10, 50), MAKELONG(0, 100), 50},
        {PBM_GETRANGE, TRUE, 0, 10, 50},
        {PBM_GETRANGE, FALSE, 0, 50, 50},
        {PBM_DELTAPOS, static_cast<WPARAM>(-15), 0, 50, 35},
        {PBM_SETSTEP, 10, 0, 10, 35},                             // the old step
        {PBM_STEPIT, 0, 0, 35, 45},
        {PBM_STEPIT, 0, 0, 45, 15},                               // past the end: starts over
        {PBM_SETRANGE32, 0, 100000, MAKELONG(10, 50), 15},
        {PBM_SETPOS, 70000, 0, 15, 70000},
        {PBM_GETRANGE, FALSE, 0, 100000, 70000},
        {PBM_SETRANGE32, 0, 200, MAKELONG(0, static_cast<WORD>(100000)), 200}, // 16-bit answer
    };
    for (const Step& s : steps) {
        EXPECT_EQ(SendMessageA(p, s.message, s.wParam, s.lParam), s.result) << std::hex << s.message;
        EXPECT_EQ(SendMessageA(p, PBM_GETPOS, 0, 0), s.pos) << std::hex << s.message;
    }
    PBRANGE range{};
    SendMessageA(p, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 200);
}

TEST(Progress, FillsUpToThePosition)
{
    ControlHost host;
    HWND smooth = host.Create(PROGRESS_CLASS, "", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, {10, 10, 212, 30}, 1);
    HWND blocks = host.Create(PROGRESS_CLASS, "", WS_CHILD | WS_VISIBLE, {10, 40, 212, 60}, 2);
    for (HWND p : {smooth, blocks})
        SendMessageA(p, PBM_SETPOS, 50, 0);
    const COLORREF bar = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(PixelAt(smooth, 5, 10), bar);
    EXPECT_EQ(PixelAt(smooth, 95, 10), bar);
    EXPECT_NE(PixelAt(smooth, 110, 10), bar);
    EXPECT_NE(PixelAt(smooth, 0, 10), bar); // the border
    // Blocks leave gaps.
    int gaps = 0;
    for (int x = 2; x < 95; ++x)
        gaps += PixelAt(blocks, x, 10) != bar;
    EXPECT_GT(gaps, 4);
}
