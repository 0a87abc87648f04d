#include "WindowLog.h"

#include "platform/base/Clock.h"

#include <gtest/gtest.h>

using tavrin::test::Pump;
using tavrin::test::WindowLog;
using tavrin::win::IsCaretDrawn;

namespace {

COLORREF PixelAt(HWND hwnd, int x, int y)
{
    HDC dc = GetDC(hwnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

} // namespace

TEST(Caret, BlinksOnTheClockAndHidesAreCounted)
{
    tavrin::clock::ManualScope manual(1700000000);
    WindowLog log;
    HWND w = log.Create("w", WS_POPUP | WS_VISIBLE, RECT{10, 10, 110, 110});
    HWND other = log.Create("other", WS_POPUP | WS_VISIBLE, RECT{200, 10, 300, 110});
    Pump();
    const COLORREF plain = PixelAt(w, 5, 5);
    ASSERT_TRUE(CreateCaret(w, nullptr, 2, 12));
    EXPECT_FALSE(IsCaretDrawn()) << "a new caret starts hidden";
    ASSERT_TRUE(SetCaretPos(4, 2));
    EXPECT_FALSE(ShowCaret(other)) << "not that window's caret";
    ASSERT_TRUE(ShowCaret(w));
    EXPECT_TRUE(IsCaretDrawn());
    EXPECT_EQ(PixelAt(w, 5, 5), plain ^ 0x00FFFFFFu) << "drawn by inversion";
    EXPECT_EQ(PixelAt(w, 7, 5), plain) << "2 pixels wide";

    const UINT blink = GetCaretBlinkTime();
    const bool expected[] = {false, true, false, true};
    for (bool on : expected) {
        tavrin::clock::Advance(blink);
        Pump();
        EXPECT_EQ(IsCaretDrawn(), on);
        EXPECT_EQ(PixelAt(w, 5, 5), on ? plain ^ 0x00FFFFFFu : plain);
    }
    tavrin::clock::Advance(blink - 1);
    Pump();
    EXPECT_TRUE(IsCaretDrawn()) << "not due yet";

    // Two hides need two shows; the clock does not bring it back meanwhile.
    ASSERT_TRUE(HideCaret(w));
    ASSERT_TRUE(HideCaret(nullptr));
    EXPECT_FALSE(IsCaretDrawn());
    EXPECT_EQ(PixelAt(w, 5, 5), plain);
    ASSERT_TRUE(ShowCaret(w));
    tavrin::clock::Advance(blink * 3);
    Pump();
    EXPECT_FALSE(IsCaretDrawn());
    ASSERT_TRUE(ShowCaret(w));
    EXPECT_TRUE(IsCaretDrawn());
    EXPECT_FALSE(ShowCaret(w)) << "already shown";

    // Moving takes it off the old place and shows it at the new one.
    ASSERT_TRUE(SetCaretPos(40, 30));
    EXPECT_EQ(PixelAt(w, 5, 5), plain);
    EXPECT_EQ(PixelAt(w, 41, 31), plain ^ 0x00FFFFFFu);
    POINT pt{};
    ASSERT_TRUE(GetCaretPos(&pt));
    EXPECT_EQ(pt.x, 40);
    EXPECT_EQ(pt.y, 30);

    // Painting never sees the caret and gets it back afterwards.
    bool drawnWhilePainting = true;
    log.m_handler = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT*) {
        if (hwnd == w && message == WM_PAINT) {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            drawnWhilePainting = IsCaretDrawn();
            EndPaint(hwnd, &ps);
            return true;
        }
        return false;
    };
    InvalidateRect(w, nullptr, TRUE);
    Pump();
    EXPECT_FALSE(drawnWhilePainting);
    EXPECT_TRUE(IsCaretDrawn());
    EXPECT_EQ(PixelAt(w, 41, 31), plain ^ 0x00FFFFFFu) << "erasing did not leave it half drawn";

    // The caret goes with its window.
    DestroyWindow(w);
    EXPECT_FALSE(GetCaretPos(&pt));
    EXPECT_FALSE(DestroyCaret());
    DestroyWindow(other);
}
