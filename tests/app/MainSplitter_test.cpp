// The main splitter's rules: panes never collapse below their minimum, bars
// stop where a pane would, and the window never shrinks below the minimums.
#include "app/MainSplitterWnd.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Info = CSplitterWnd::CRowColInfo;

struct LayoutCase {
    const char* what;
    std::vector<Info> panes; // min, ideal (cur ignored)
    int size;
    std::vector<int> expected;
};

TEST(MainSplitterLayout, NoPaneEndsBelowItsMinimum)
{
    const LayoutCase cases[] = {
        {"two rows of 18 in 30 pixels: both 18, the second runs past", {{18, 18, 0}, {18, 0, 0}}, 30, {18, 18}},
        {"an ideal of 10 with a minimum of 18 shows 18", {{18, 10, 0}, {18, 0, 0}}, 400, {18, 375}},
        {"room for both: the last takes the rest", {{18, 100, 0}, {18, 0, 0}}, 400, {100, 293}},
        {"the last row's lack is taken from the row before", {{18, 390, 0}, {18, 0, 0}}, 400, {375, 18}},
        {"three rows in a small window", {{18, 100, 0}, {19, 100, 0}, {18, 0, 0}}, 60, {18, 19, 18}},
        {"nothing to share", {{18, 50, 0}, {18, 0, 0}}, 0, {18, 18}},
        {"a negative extent counts as none", {{18, 50, 0}, {18, 0, 0}}, -5, {18, 18}},
    };
    for (const LayoutCase& c : cases) {
        std::vector<Info> panes = c.panes;
        CMainSplitterWnd::LayoutRowColMin(panes.data(), static_cast<int>(panes.size()), c.size, 7, 2);
        for (size_t i = 0; i < panes.size(); ++i) {
            EXPECT_EQ(panes[i].nCurSize, c.expected[i]) << c.what << ", pane " << i;
            EXPECT_GE(panes[i].nCurSize, panes[i].nMinSize) << c.what;
        }
    }
}

TEST(MainSplitterLayout, TakingRoomFromAPaneLowersItsIdealSize)
{
    std::vector<Info> panes = {{18, 390, 0}, {18, 0, 0}};
    CMainSplitterWnd::LayoutRowColMin(panes.data(), 2, 400, 7, 2);
    EXPECT_EQ(panes[0].nIdealSize, 375);
}

TEST(MainSplitterDrag, BarsStopWherePanesKeepTheirMinimum)
{
    // Two rows in 300 pixels, border 2, bar 7.
    std::vector<Info> panes = {{18, 100, 100}, {18, 0, 184}};
    int low = 0, high = 0;
    CMainSplitterWnd::TrackLimits(panes.data(), 2, 0, 300, 2, 7, &low, &high);
    EXPECT_EQ(low, 2 + 18 + 3 - 2);
    // The lower pane keeps 18 pixels: 300 - 2 - 18 - 3 - 3.
    EXPECT_EQ(high, 274);
    EXPECT_GE(300 - 2 - (high + 7), 18 - 3);
    // Upper pane exactly at its minimum: its current sizes count.
    panes[0].nCurSize = 18;
    CMainSplitterWnd::TrackLimits(panes.data(), 2, 0, 300, 2, 7, &low, &high);
    EXPECT_EQ(low, 2 + 18 + 3 - 2);
}

TEST(MainSplitterDrag, ThreeRowsCountEveryPaneBeforeAndAfter)
{
    std::vector<Info> panes = {{18, 100, 100}, {19, 100, 100}, {18, 0, 80}};
    int low = 0, high = 0;
    CMainSplitterWnd::TrackLimits(panes.data(), 3, 1, 300, 2, 7, &low, &high);
    EXPECT_EQ(low, 2 + 18 + 7 + 19 + 3 - 2);
    EXPECT_EQ(high, 300 - 2 - 18 - 3 - 3);
}

TEST(MainSplitterSize, MinimumExtentHoldsEveryPaneAndBar)
{
    std::vector<Info> cols = {{18, 0, 0}, {18, 0, 0}};
    EXPECT_EQ(CMainSplitterWnd::MinimumExtent(cols.data(), 2, 2, 7), 2 * 2 + 18 + 7 + 18);
    std::vector<Info> rows = {{18, 0, 0}, {19, 0, 0}, {18, 0, 0}};
    EXPECT_EQ(CMainSplitterWnd::MinimumExtent(rows.data(), 3, 2, 7), 4 + 18 + 7 + 19 + 7 + 18);
}

} // namespace
