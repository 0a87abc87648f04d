#include "NotifyHost.h"

#include "platform/controls/Header.h"

#include <gtest/gtest.h>

using namespace tavrin::test;

namespace {

struct HeaderFixture : ::testing::Test {
    NotifyHost host;
    HWND header = nullptr;

    void SetUp() override
    {
        header = host.CreateControl(WC_HEADERA, HDS_BUTTONS, RECT{10, 10, 310, 30});
        ASSERT_TRUE(header);
        AddItem(0, "名称", 100);
        AddItem(1, "Size", 80);
        AddItem(2, "Date", 60);
        host.Clear();
    }
    void AddItem(int index, const char* text, int width)
    {
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.pszText = const_cast<char*>(text);
        item.cxy = width;
        item.fmt = HDF_LEFT | HDF_STRING;
        ASSERT_EQ(SendMessageA(header, HDM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item)), index);
    }
    int Width(int index)
    {
        HDITEMA item{};
        item.mask = HDI_WIDTH;
        SendMessageA(header, HDM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
        return item.cxy;
    }
};

} // namespace

TEST_F(HeaderFixture, ItemsKeepTextFormatOrderAndForeignFormatBits)
{
    HDITEMA item{};
    item.mask = HDI_FORMAT | HDI_BITMAP;
    item.fmt = HDF_LEFT | HDF_STRING | HDF_BITMAP;
    item.hbm = reinterpret_cast<HBITMAP>(0x5150); // a toolkit keeps its image list here
    ASSERT_TRUE(SendMessageA(header, HDM_SETITEMA, 1, reinterpret_cast<LPARAM>(&item)));
    PumpAll(); // painting must not treat it as a bitmap
    HDITEMA back{};
    back.mask = HDI_FORMAT | HDI_BITMAP | HDI_ORDER;
    ASSERT_TRUE(SendMessageA(header, HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&back)));
    EXPECT_EQ(back.fmt & 0x2000, 0x2000);
    EXPECT_EQ(back.hbm, item.hbm);
    EXPECT_EQ(back.iOrder, 1);

    // Text into a short buffer is cut at a character boundary.
    char text[4];
    HDITEMA named{};
    named.mask = HDI_TEXT;
    named.pszText = text;
    named.cchTextMax = sizeof text;
    SendMessageA(header, HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&named));
    EXPECT_STREQ(text, "名");

    int order[3] = {2, 0, 1};
    ASSERT_TRUE(SendMessageA(header, HDM_SETORDERARRAY, 3, reinterpret_cast<LPARAM>(order)));
    EXPECT_EQ(SendMessageA(header, HDM_ORDERTOINDEX, 0, 0), 2);
    RECT rc{};
    SendMessageA(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc));
    EXPECT_EQ(rc.left, 60);
    EXPECT_EQ(rc.right, 160);
    EXPECT_EQ(rc.bottom, 20);
}

TEST_F(HeaderFixture, HitTestTable)
{
    struct Case {
        POINT pt;
        UINT flags;
        int item;
    } cases[] = {
        {{50, 5}, HHT_ONHEADER, 0},   {{98, 5}, HHT_ONDIVIDER, 0}, {{102, 5}, HHT_ONDIVIDER, 0},
        {{150, 5}, HHT_ONHEADER, 1},  {{239, 5}, HHT_ONDIVIDER, 2}, {{280, 5}, HHT_NOWHERE, -1},
        {{50, -3}, HHT_ABOVE, -1},    {{50, 25}, HHT_BELOW, -1},   {{-2, 5}, HHT_TOLEFT, -1},
        {{400, 5}, HHT_TORIGHT, -1},
    };
    for (const Case& c : cases) {
        HDHITTESTINFO info{c.pt, 0, 0};
        EXPECT_EQ(SendMessageA(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), c.item) << c.pt.x;
        EXPECT_EQ(info.flags, c.flags) << c.pt.x << "," << c.pt.y;
    }
    // A column of no width is opened from the right side of its divider.
    HDITEMA item{};
    item.mask = HDI_WIDTH;
    item.cxy = 0;
    SendMessageA(header, HDM_SETITEMA, 1, reinterpret_cast<LPARAM>(&item));
    HDHITTESTINFO info{{101, 5}, 0, 0};
    EXPECT_EQ(SendMessageA(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), 1);
    EXPECT_EQ(info.flags, static_cast<UINT>(HHT_ONDIVOPEN));
}

TEST_F(HeaderFixture, ProgramChangesAskFirstAndARefusalKeepsTheItem)
{
    HDITEMA item{};
    item.mask = HDI_WIDTH;
    item.cxy = 33;
    host.m_answers[HDN_ITEMCHANGINGA] = TRUE;
    EXPECT_FALSE(SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(Width(0), 100);
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{HDN_ITEMCHANGINGA}));
    host.m_answers.clear();
    host.Clear();
    EXPECT_TRUE(SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(Width(0), 33);
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{HDN_ITEMCHANGINGA, HDN_ITEMCHANGEDA}));
}

TEST_F(HeaderFixture, LayoutGivesTheRowAndMovesTheRectangleDown)
{
    RECT rc{5, 7, 205, 300};
    WINDOWPOS pos{};
    HDLAYOUT layout{&rc, &pos};
    ASSERT_TRUE(SendMessageA(header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout)));
    EXPECT_EQ(pos.x, 5);
    EXPECT_EQ(pos.y, 7);
    EXPECT_EQ(pos.cx, 200);
    EXPECT_GT(pos.cy, 12);
    EXPECT_EQ(rc.top, 7 + pos.cy);
}

TEST_F(HeaderFixture, DividerDragByMouseNotifiesInOrder)
{
    std::vector<int> widths;
    host.m_inspect = [&](NMHDR* hdr, LRESULT*) {
        auto* nm = reinterpret_cast<NMHEADERA*>(hdr);
        if (nm->pitem && (nm->pitem->mask & HDI_WIDTH))
            widths.push_back(nm->pitem->cxy);
        return false;
    };
    MoveTo(header, 100, 5);
    EXPECT_EQ(tavrin::win::SystemCursorId(GetCursor()), 32644u) << "the sizing cursor over a divider";
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, true);
    PumpAll();
    MoveTo(header, 130, 5);
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, false);
    PumpAll();
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{HDN_BEGINTRACKA, HDN_TRACKA, HDN_ENDTRACKA, HDN_ITEMCHANGINGA,
                                               HDN_ITEMCHANGEDA}));
    EXPECT_EQ(widths, (std::vector<int>{100, 130, 130, 130, 130}));
    EXPECT_EQ(Width(0), 130);

    // A refused start leaves the column; a click on an item is reported.
    host.Clear();
    host.m_answers[HDN_BEGINTRACKA] = TRUE;
    MoveTo(header, 130, 5);
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, true);
    PumpAll();
    MoveTo(header, 160, 5);
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, false);
    PumpAll();
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{HDN_BEGINTRACKA}));
    EXPECT_EQ(Width(0), 130);
    host.Clear();
    ClickAt(header, 170, 5);
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{HDN_ITEMCLICKA}));
    host.Clear();
    DoubleClickAt(header, 130, 5);
    EXPECT_EQ(host.Codes().back(), HDN_DIVIDERDBLCLICKA);
}
