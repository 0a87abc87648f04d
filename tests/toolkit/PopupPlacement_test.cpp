#include "toolkit/commandbars/XTPCommandBarsDefines.h"
#include "toolkit/commandbars/XTPPopupPlacement.h"
#include "toolkit/commandbars/XTPShadowGeometry.h"

#include <gtest/gtest.h>

namespace {

const CRect kWork(0, 0, 800, 600); // usable bottom is 595

struct PlacementCase {
    const char* name;
    CPoint pt;
    CSize size;
    CRect exclude;
    DWORD flags;
    CRect expected;
    DWORD expectedFlags;
    BOOL scroll;
};

TEST(PopupPlacement, Table)
{
    const PlacementCase cases[] = {
        {"submenu fits on the right", {300, 100}, {150, 100}, {150, 100, 300, 120}, 0, {300, 100, 450, 200}, 0, FALSE},
        {"submenu flips left at the right edge", {780, 100}, {150, 100}, {700, 100, 780, 120}, 0,
         {550, 100, 700, 200}, xtpPopupLeft, FALSE},
        {"its submenu keeps opening left", {700, 110}, {150, 100}, {550, 110, 700, 130}, xtpPopupLeft,
         {400, 110, 550, 210}, xtpPopupLeft, FALSE},
        {"left submenu at the left edge turns right", {150, 110}, {200, 100}, {20, 110, 150, 130}, xtpPopupLeft,
         {150, 110, 350, 210}, 0, FALSE},
        {"drop-down at the bottom opens above", {100, 580}, {200, 300}, {100, 560, 150, 580}, xtpPopupDown,
         {100, 260, 300, 560}, xtpPopupDown, FALSE},
        {"no room either way, more above: fills above", {100, 320}, {200, 400}, {100, 300, 150, 320},
         xtpPopupDown, {100, 0, 300, 300}, xtpPopupDown, TRUE},
        {"no room either way, more below: fills below", {100, 270}, {200, 400}, {100, 250, 150, 270},
         xtpPopupDown, {100, 270, 300, 595}, xtpPopupDown, TRUE},
        {"drop-down at the right edge aligns with the work area", {750, 20}, {200, 100}, {750, 0, 790, 20},
         xtpPopupDown, {600, 20, 800, 120}, xtpPopupDown | xtpPopupLeft, FALSE},
        {"right-aligned drop-down", {750, 20}, {100, 100}, {700, 0, 790, 20}, xtpPopupDown | xtpPopupLeft,
         {690, 20, 790, 120}, xtpPopupDown | xtpPopupLeft, FALSE},
        {"context menu near the bottom-right corner", {790, 590}, {150, 200}, {}, 0, {650, 390, 800, 590}, 0,
         FALSE},
        {"context menu past the right edge opens left", {850, 100}, {150, 200}, {}, 0, {700, 100, 850, 300}, 0,
         FALSE},
        {"point inside the bottom margin stays out of it", {400, 598}, {150, 200}, {}, 0, {400, 395, 550, 595}, 0,
         FALSE},
        {"right-aligned at a point", {300, 100}, {150, 100}, {}, xtpPopupLeft, {150, 100, 300, 200}, xtpPopupLeft,
         FALSE},
        {"right-aligned past the left edge", {50, 100}, {150, 100}, {}, xtpPopupLeft, {0, 100, 150, 200}, 0, FALSE},
        {"taller than the work area scrolls", {100, 50}, {150, 1000}, {}, 0, {100, 0, 250, 595}, 0, TRUE},
        {"tall submenu scrolls from the top", {300, 100}, {150, 1000}, {150, 100, 300, 120}, 0,
         {300, 0, 450, 595}, 0, TRUE},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        const XTPPopupLocation loc = XTPCalcPopupLocation(kWork, c.pt, c.size, c.exclude, c.flags);
        EXPECT_EQ(loc.pt.x, c.expected.left);
        EXPECT_EQ(loc.pt.y, c.expected.top);
        EXPECT_EQ(loc.size.cx, c.expected.Width());
        EXPECT_EQ(loc.size.cy, c.expected.Height());
        EXPECT_EQ(loc.dwFlags, c.expectedFlags);
        EXPECT_EQ(loc.bScroll, c.scroll);
        EXPECT_LE(loc.pt.y + loc.size.cy, kWork.bottom - XTP_POPUP_BOTTOM_MARGIN);
    }
}

TEST(PopupPlacement, WorkAreaOffsetFromOrigin)
{
    // A second monitor's work area left of and below the first.
    const CRect work(-1024, 100, 0, 868);
    const XTPPopupLocation loc = XTPCalcPopupLocation(work, {-10, 860}, {150, 200}, {}, 0);
    EXPECT_EQ(loc.pt.x, -150);
    EXPECT_EQ(loc.pt.y, 660);
    EXPECT_FALSE(loc.bScroll);
}

std::vector<XTPPopupScrollRow> Rows(int n, int height)
{
    return std::vector<XTPPopupScrollRow>(n, XTPPopupScrollRow{height, TRUE, FALSE, {}, FALSE});
}

int ShownCount(const std::vector<XTPPopupScrollRow>& rows)
{
    int n = 0;
    for (const XTPPopupScrollRow& r : rows)
        n += !r.bScrolledOut;
    return n;
}

const CRect kBorders(3, 3, 3, 3);

TEST(PopupScrolling, OpensWithDownButtonAndScrollsOneRowPerTick)
{
    std::vector<XTPPopupScrollRow> rows = Rows(40, 20);
    const CSize size(200, 200);
    XTPPopupScrollState state;
    XTPAdjustPopupScrolling(rows, size, kBorders, 4, FALSE, state);
    EXPECT_EQ(state.nFirst, 0);
    EXPECT_EQ(state.nEnd, 8);
    EXPECT_TRUE(state.rcUp.IsRectEmpty());
    EXPECT_EQ(state.rcDown, CRect(3, 181, 197, 197));
    EXPECT_EQ(rows[0].rc, CRect(3, 3, 197, 23));
    EXPECT_TRUE(rows[8].bScrolledOut);
    EXPECT_EQ(ShownCount(rows), 8);

    // The down button's timer: one more row at the bottom per tick.
    int ticks = 0;
    while (state.nEnd != 40) {
        const int first = state.nFirst;
        ++state.nEnd;
        XTPAdjustPopupScrolling(rows, size, kBorders, 4, TRUE, state);
        ++ticks;
        // The last tick also frees the down button's room.
        if (state.nEnd != 40)
            EXPECT_EQ(state.nFirst, first + 1);
        else
            EXPECT_EQ(state.nFirst, first + 2);
        EXPECT_FALSE(state.rcUp.IsRectEmpty());
        ASSERT_LT(ticks, 100);
    }
    EXPECT_TRUE(state.rcDown.IsRectEmpty());
    EXPECT_FALSE(rows[39].bScrolledOut);
    EXPECT_EQ(rows[39].rc.bottom, 197);
    EXPECT_TRUE(rows[0].bScrolledOut);

    // And back up to the top with the up button.
    while (state.nFirst != 0) {
        --state.nFirst;
        XTPAdjustPopupScrolling(rows, size, kBorders, 4, FALSE, state);
    }
    EXPECT_TRUE(state.rcUp.IsRectEmpty());
    EXPECT_EQ(state.nEnd, 8);
    EXPECT_EQ(rows[0].rc.top, 3);
}

TEST(PopupScrolling, KeyboardSelectionBelowTheWindowScrollsItIntoView)
{
    std::vector<XTPPopupScrollRow> rows = Rows(40, 20);
    XTPPopupScrollState state;
    XTPAdjustPopupScrolling(rows, {200, 200}, kBorders, 4, FALSE, state);
    ASSERT_TRUE(rows[20].bScrolledOut);
    state.nEnd = 21;
    XTPAdjustPopupScrolling(rows, {200, 200}, kBorders, 4, TRUE, state);
    EXPECT_FALSE(rows[20].bScrolledOut);
    EXPECT_EQ(rows[20].rc.bottom, 181); // just above the down button
    EXPECT_TRUE(rows[21].bScrolledOut);
}

TEST(PopupScrolling, GroupsAndHiddenRows)
{
    std::vector<XTPPopupScrollRow> rows = Rows(10, 20);
    rows[1].bBeginGroup = TRUE;
    rows[2].bVisible = FALSE;
    XTPPopupScrollState state;
    XTPAdjustPopupScrolling(rows, {200, 300}, kBorders, 4, FALSE, state);
    EXPECT_EQ(rows[1].rc.top, 27); // after the separator
    EXPECT_TRUE(rows[2].rc.IsRectEmpty());
    EXPECT_EQ(rows[3].rc.top, 47);
}

uint32_t Alpha(uint32_t px) { return px >> 24; }

TEST(ShadowPixels, StraightPartAndCornersFade)
{
    const COLORREF clr = RGB(100, 50, 20);
    for (BOOL flat : {FALSE, TRUE}) {
        SCOPED_TRACE(flat ? "flat" : "non-flat");
        const int f = flat ? 1 : 2;
        const int cx = 40, cy = 4;
        const std::vector<uint32_t> bottom = XTPShadowStripPixels(TRUE, flat, cx, cy, clr);
        ASSERT_EQ(bottom.size(), size_t(cx * cy));
        // Row 0 touches the popup; row 3 is the outer edge.
        EXPECT_EQ(Alpha(bottom[20]), uint32_t(60 * f));
        EXPECT_EQ(Alpha(bottom[3 * cx + 20]), uint32_t(15 * f));
        EXPECT_EQ(bottom[20] & 0xFFFFFF, 0x643214u);             // t = 1
        EXPECT_EQ(bottom[3 * cx + 20] & 0xFFFFFF, 0x190C05u);    // t = 0.25, truncated
        EXPECT_EQ(Alpha(bottom[0]), uint32_t(12 * f));           // end column, inner row
        EXPECT_EQ(Alpha(bottom[3 * cx + 0]), uint32_t(3 * f));   // the faintest corner pixel
        EXPECT_EQ(Alpha(bottom[cx - 1]), Alpha(bottom[0]));      // both ends fade alike
        EXPECT_EQ(Alpha(bottom[3]), uint32_t(48 * f));
        EXPECT_EQ(bottom[3 * cx + 0] & 0xFFFFFF, 0x050201u);     // t = 0.05

        const int rh = 30;
        const std::vector<uint32_t> right = XTPShadowStripPixels(FALSE, flat, 4, rh, clr);
        EXPECT_EQ(Alpha(right[10 * 4 + 0]), uint32_t(60 * f));
        EXPECT_EQ(Alpha(right[10 * 4 + 3]), uint32_t(15 * f));
        EXPECT_EQ(Alpha(right[(rh - 1) * 4 + 0]), uint32_t(60 * f)); // reaches the bottom row
        EXPECT_EQ(Alpha(right[0]), uint32_t(12 * f));                // top end fades
        EXPECT_EQ(Alpha(right[3 * 4 + 0]), uint32_t(48 * f));
    }
}

TEST(ShadowPixels, NarrowAndEmptyStrips)
{
    EXPECT_TRUE(XTPShadowStripPixels(TRUE, FALSE, 0, 4, RGB(0, 0, 0)).empty());
    const std::vector<uint32_t> narrow = XTPShadowStripPixels(TRUE, FALSE, 5, 4, RGB(255, 255, 255));
    EXPECT_EQ(narrow.size(), 20u);
}

TEST(ShadowStrips, PlacedBelowAndRight)
{
    const CRect owner(100, 100, 300, 400);
    EXPECT_EQ(CRect(XTPShadowStripRect(TRUE, owner, 4, {})), CRect(104, 400, 304, 404));
    EXPECT_EQ(CRect(XTPShadowStripRect(FALSE, owner, 4, {})), CRect(300, 104, 304, 400));
    EXPECT_EQ(CRect(XTPShadowStripRect(TRUE, owner, 2, {})), CRect(102, 400, 302, 402));
}

TEST(ShadowStrips, SubmenuBottomShadowRunsUnderParentRightShadow)
{
    const CRect parent(100, 100, 300, 400);
    std::vector<XTPShadowStrip> strips = {{TRUE, XTPShadowStripRect(TRUE, parent, 4, {})}};
    strips.push_back({FALSE, XTPShadowStripRect(FALSE, parent, 4, strips)});
    const CRect sub(299, 150, 450, 300);
    const CRect rc = XTPShadowStripRect(TRUE, sub, 4, strips);
    EXPECT_EQ(rc.left, 303 - 9);
    EXPECT_EQ(rc.right, 454);
    // A submenu whose shadow does not meet the parent's strip is left alone.
    EXPECT_EQ(XTPShadowStripRect(TRUE, CRect(320, 150, 450, 300), 4, strips).left, 324);
}

TEST(ShadowStrips, RightShadowRaisedOverBottomShadowBelow)
{
    const std::vector<XTPShadowStrip> strips = {{TRUE, CRect(104, 400, 304, 404)}};
    const CRect rc = XTPShadowStripRect(FALSE, CRect(150, 399, 250, 500), 4, strips);
    EXPECT_EQ(rc.top, 403 - 8);
    EXPECT_EQ(rc.bottom, 500);
}

} // namespace

namespace {

TEST(ShadowStrips, WhenPopupsGetShadows)
{
    struct {
        BOOL flat, layered, setting, wanted;
    } const cases[] = {
        {FALSE, TRUE, TRUE, TRUE},  {FALSE, FALSE, TRUE, FALSE}, {FALSE, TRUE, FALSE, FALSE},
        {TRUE, FALSE, FALSE, TRUE}, {TRUE, TRUE, FALSE, TRUE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XTPPopupShadowWanted(c.flat, c.layered, c.setting), c.wanted)
            << c.flat << c.layered << c.setting;
}

} // namespace

namespace {

TEST(PopupPlacement, FlagsFromTheOpeningControl)
{
    struct {
        const char* name;
        BOOL left, rtl;
        int position;
        DWORD parentFlags;
        BOOL combo;
        DWORD expected;
    } const cases[] = {
        {"menu bar item", FALSE, FALSE, xtpBarTop, 0, FALSE, xtpPopupDown},
        {"left-popup button on a floating bar", TRUE, FALSE, xtpBarFloating, 0, FALSE, xtpPopupDown | xtpPopupLeft},
        {"bar docked right", FALSE, FALSE, xtpBarRight, 0, FALSE, xtpPopupLeft},
        {"bar docked left", FALSE, FALSE, xtpBarLeft, 0, FALSE, 0},
        {"submenu", FALSE, FALSE, xtpBarPopup, 0, FALSE, 0},
        {"submenu of a left-opening popup", FALSE, FALSE, xtpBarPopup, xtpPopupLeft | xtpPopupDown, FALSE,
         xtpPopupLeft},
        {"right-to-left submenu", FALSE, TRUE, xtpBarPopup, 0, FALSE, xtpPopupLeft},
        {"combo box on a toolbar", TRUE, TRUE, xtpBarRight, 0, TRUE, xtpPopupDown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XTPCalcPopupFlags(c.left, c.rtl, c.position, c.parentFlags, c.combo), c.expected) << c.name;

    const CRect item(10, 0, 60, 20);
    EXPECT_EQ(XTPPopupPointOfExclude(item, xtpPopupDown), CPoint(10, 20));
    EXPECT_EQ(XTPPopupPointOfExclude(item, 0), CPoint(60, 0));
}

} // namespace
