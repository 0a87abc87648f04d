#include "NotifyHost.h"

#include "platform/controls/ListViewScroll.h"
#include "platform/controls/TabControl.h"
#include "platform/controls/ToolTip.h"

#include <gtest/gtest.h>

using namespace tavrin::test;

namespace {

struct TabFixture : ::testing::Test {
    NotifyHost host{400, 300};
    HWND tabs = nullptr;

    void Make(DWORD style, int width, int count)
    {
        tabs = host.CreateControl(WC_TABCONTROLA, style, RECT{0, 0, width, 150});
        ASSERT_TRUE(tabs);
        static const char* const names[] = {"留言(3/10)", "照片", "通讯录", "在线消息", "Fifth", "Sixth", "Seventh"};
        for (int i = 0; i < count; ++i) {
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<char*>(names[i % 7]);
            ASSERT_EQ(SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item)), i);
        }
        PumpAll();
        host.Clear();
    }
    RECT ItemRect(int i)
    {
        RECT rc{};
        SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rc));
        return rc;
    }
    int Current() { return static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)); }
};

} // namespace

TEST_F(TabFixture, ProgramSelectionIsSilentAndRectanglesFollowTheStyle)
{
    Make(0, 380, 4);
    EXPECT_EQ(Current(), 0);
    EXPECT_EQ(SendMessageA(tabs, TCM_SETCURSEL, 2, 0), 0);
    EXPECT_EQ(Current(), 2);
    EXPECT_EQ(SendMessageA(tabs, TCM_SETCURSEL, 9, 0), -1);
    EXPECT_EQ(Current(), 2);
    EXPECT_TRUE(host.Codes().empty());

    const RECT first = ItemRect(0), second = ItemRect(1);
    EXPECT_EQ(second.left, first.right);
    EXPECT_EQ(first.top, second.top);
    EXPECT_LT(first.bottom, 40);
    const RECT row = ItemRect(-1);
    EXPECT_EQ(row.top, first.top);
    EXPECT_EQ(row.bottom, first.bottom);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETROWCOUNT, 0, 0), 1);

    TCHITTESTINFO hit{{(second.left + second.right) / 2, (second.top + second.bottom) / 2}, 0};
    EXPECT_EQ(SendMessageA(tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1);
    EXPECT_EQ(hit.flags, static_cast<UINT>(TCHT_ONITEMLABEL));
    hit.pt = POINT{200, 120};
    EXPECT_EQ(SendMessageA(tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), -1);
    EXPECT_EQ(hit.flags, static_cast<UINT>(TCHT_NOWHERE));

    char text[7];
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ASSERT_TRUE(SendMessageA(tabs, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(text, "留言(3");

    struct Case {
        DWORD style;
        const char* where;
    } cases[] = {{TCS_BOTTOM, "bottom"}, {TCS_VERTICAL, "left"}, {TCS_VERTICAL | TCS_RIGHT, "right"},
                 {TCS_MULTILINE, "rows"}};
    for (const Case& c : cases) {
        DestroyWindow(tabs);
        Make(c.style, c.style == TCS_MULTILINE ? 150 : 380, 4);
        const RECT rc = ItemRect(0);
        const std::string where = c.where;
        if (where == "bottom")
            EXPECT_GT(rc.top, 100) << where;
        else if (where == "left")
            EXPECT_LT(rc.right, 40) << where;
        else if (where == "right")
            EXPECT_GT(rc.left, 340) << where;
        else
            EXPECT_GT(SendMessageA(tabs, TCM_GETROWCOUNT, 0, 0), 1) << where;
    }
}

TEST_F(TabFixture, ClicksAndKeysAskTheParentFirst)
{
    Make(TCS_FOCUSONBUTTONDOWN, 380, 4);
    const RECT second = ItemRect(1);
    ClickAt(tabs, (second.left + second.right) / 2, (second.top + second.bottom) / 2);
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE, NM_CLICK}));
    EXPECT_EQ(Current(), 1);

    host.Clear();
    host.m_answers[TCN_SELCHANGING] = TRUE;
    const RECT third = ItemRect(2);
    ClickAt(tabs, (third.left + third.right) / 2, (third.top + third.bottom) / 2);
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{TCN_SELCHANGING, NM_CLICK}));
    EXPECT_EQ(Current(), 1);
    host.Clear();
    Press(VK_RIGHT);
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{TCN_KEYDOWN, TCN_SELCHANGING}));
    EXPECT_EQ(Current(), 1);

    host.m_answers.clear();
    host.Clear();
    Press(VK_RIGHT);
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{TCN_KEYDOWN, TCN_SELCHANGING, TCN_SELCHANGE}));
    EXPECT_EQ(Current(), 2);
    Press(VK_LEFT);
    EXPECT_EQ(Current(), 1);
}

TEST_F(TabFixture, AnOverflowingRowScrollsByTabsThroughItsArrows)
{
    Make(0, 200, 7);
    HWND arrows = GetDlgItem(tabs, 1);
    ASSERT_TRUE(arrows);
    char name[32];
    GetClassNameA(arrows, name, sizeof name);
    EXPECT_STREQ(name, "msctls_updown32");
    EXPECT_TRUE(IsWindowVisible(arrows));

    auto firstShown = [&] {
        TCHITTESTINFO hit{{5, (ItemRect(-1).top + ItemRect(-1).bottom) / 2}, 0};
        return static_cast<int>(SendMessageA(tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    };
    EXPECT_EQ(firstShown(), 0);
    SendMessageA(tabs, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 2), 0);
    EXPECT_EQ(firstShown(), 2);
    EXPECT_EQ(ItemRect(2).left, 2);

    // The right arrow moves on by one tab.
    RECT rc;
    GetClientRect(arrows, &rc);
    ClickAt(arrows, rc.right - 4, rc.bottom / 2);
    EXPECT_EQ(firstShown(), 3);
    ClickAt(arrows, 4, rc.bottom / 2);
    EXPECT_EQ(firstShown(), 2);

    // Selecting a tab off the row brings it into view; a wide control needs no arrows.
    SendMessageA(tabs, TCM_SETCURSEL, 0, 0);
    EXPECT_EQ(firstShown(), 0);
    SetWindowPos(tabs, nullptr, 0, 0, 395, 150, SWP_NOZORDER | SWP_NOMOVE);
    if (ItemRect(6).right <= 395) {
        EXPECT_FALSE(IsWindowVisible(arrows));
    }
}

TEST_F(TabFixture, ItsOwnTooltipOnlyWithTheStyle)
{
    Make(0, 380, 2);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETTOOLTIPS, 0, 0), 0);
    DestroyWindow(tabs);
    Make(TCS_TOOLTIPS, 380, 2);
    HWND tip = reinterpret_cast<HWND>(SendMessageA(tabs, TCM_GETTOOLTIPS, 0, 0));
    ASSERT_TRUE(tip);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
}
