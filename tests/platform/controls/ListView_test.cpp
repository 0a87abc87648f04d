#include "NotifyHost.h"

#include "platform/controls/ListView.h"
#include "platform/controls/ListViewScroll.h"
#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace tavrin::test;

namespace {

struct ListFixture : ::testing::Test {
    NotifyHost host{400, 300};
    HWND list = nullptr;

    void Make(DWORD style, int rows)
    {
        list = host.CreateControl(WC_LISTVIEWA, LVS_REPORT | style, RECT{0, 0, 300, 200});
        ASSERT_TRUE(list);
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        AddColumn(0, "标题", 120);
        AddColumn(1, "作者", 80);
        if (style & LVS_OWNERDATA) {
            SendMessageA(list, LVM_SETITEMCOUNT, rows, 0);
        } else {
            for (int i = 0; i < rows; ++i) {
                std::string text = "row " + std::to_string(i);
                LVITEMA item{};
                item.mask = LVIF_TEXT | LVIF_PARAM;
                item.iItem = i;
                item.pszText = text.data();
                item.lParam = 1000 + i;
                ASSERT_EQ(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)), i);
                std::string sub = "sub " + std::to_string(i);
                item.iSubItem = 1;
                item.pszText = sub.data();
                SendMessageA(list, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
            }
        }
        PumpAll();
        host.Clear();
    }
    void AddColumn(int index, const char* text, int width)
    {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = const_cast<char*>(text);
        column.cx = width;
        column.fmt = LVCFMT_LEFT;
        ASSERT_EQ(SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column)), index);
    }
    UINT State(int i) { return static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, i, LVIS_SELECTED | LVIS_FOCUSED)); }
    std::vector<int> Selected()
    {
        std::vector<int> rows;
        for (int i = -1; (i = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;)
            rows.push_back(i);
        return rows;
    }
    int RowY(int i)
    {
        RECT rc{};
        rc.left = LVIR_BOUNDS;
        SendMessageA(list, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rc));
        return (rc.top + rc.bottom) / 2;
    }
    void Paint()
    {
        InvalidateRect(list, nullptr, TRUE);
        UpdateWindow(list);
    }
};

} // namespace

TEST_F(ListFixture, OwnerDataAsksOnlyForRowsOnScreen)
{
    Make(LVS_OWNERDATA, 100000);
    std::vector<int> asked;
    host.m_inspect = [&](NMHDR* hdr, LRESULT*) {
        if (hdr->code == LVN_GETDISPINFOA) {
            auto* disp = reinterpret_cast<NMLVDISPINFOA*>(hdr);
            asked.push_back(disp->item.iItem);
            if (disp->item.mask & LVIF_TEXT)
                std::snprintf(disp->item.pszText, static_cast<size_t>(disp->item.cchTextMax), "%d", disp->item.iItem);
        }
        return false;
    };
    const int page = static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GT(page, 3);
    Paint();
    ASSERT_FALSE(asked.empty());
    for (int row : asked)
        EXPECT_LE(row, page) << "row " << row << " is not on screen";

    // Scrolling to the end asks for the last page only.
    asked.clear();
    SendMessageA(list, WM_VSCROLL, SB_BOTTOM, 0);
    UpdateWindow(list);
    const int top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    EXPECT_EQ(top, 100000 - page);
    ASSERT_FALSE(asked.empty());
    for (int row : asked) {
        EXPECT_GE(row, top);
        EXPECT_LT(row, 100000) << "a row that does not exist";
    }
    EXPECT_LE(asked.size(), static_cast<size_t>(2 * (page + 1)));

    // The window's scroll bar follows, and its thumb reaches rows past 16 bits.
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &si));
    EXPECT_EQ(si.nMax, 99999);
    EXPECT_EQ(si.nPage, static_cast<UINT>(page));
    EXPECT_EQ(si.nPos, top);
    SendMessageA(list, WM_VSCROLL, SB_TOP, 0);
    tavrin::win::ScrollBarLayout layout;
    ASSERT_TRUE(tavrin::win::GetScrollBarLayout(list, SB_VERT, &layout));
    RECT window;
    GetWindowRect(list, &window);
    const int x = window.left + (layout.bar.left + layout.bar.right) / 2;
    const int thumbY = window.top + layout.bar.top + layout.thumbStart + layout.thumbSize / 2;
    tavrin::win::InjectMouseMove(x, thumbY);
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, true);
    tavrin::win::InjectMouseMove(x, window.top + layout.bar.top + (layout.bar.bottom - layout.bar.top) * 3 / 4);
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, false);
    PumpAll();
    const int dragged = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    EXPECT_GT(dragged, 65535);
    EXPECT_LT(dragged, 100000 - page);
    asked.clear();
    UpdateWindow(list);
    for (int row : asked) {
        EXPECT_GE(row, dragged);
        EXPECT_LE(row, dragged + page);
    }

    // Shrinking the count keeps what is asked below it.
    asked.clear();
    SendMessageA(list, LVM_SETITEMCOUNT, 3, 0);
    UpdateWindow(list);
    for (int row : asked)
        EXPECT_LT(row, 3);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);

    asked.clear();
    SendMessageA(list, LVM_SETITEMCOUNT, 100000, 0);
    EXPECT_TRUE(SendMessageA(list, LVM_ENSUREVISIBLE, 50000, FALSE));
    UpdateWindow(list);
    for (int row : asked) {
        EXPECT_GE(row, 50000 - page + 1);
        EXPECT_LE(row, 50001);
    }
}

TEST_F(ListFixture, DisplayTextUsesTheCallersBufferAndIsCutAtACharacter)
{
    Make(LVS_OWNERDATA, 5);
    static const char kLong[] = "中文中文";
    bool ownBuffer = false;
    char* seenBuffer = nullptr;
    int seenMax = 0;
    host.m_inspect = [&](NMHDR* hdr, LRESULT*) {
        if (hdr->code != LVN_GETDISPINFOA)
            return false;
        auto* disp = reinterpret_cast<NMLVDISPINFOA*>(hdr);
        seenBuffer = disp->item.pszText;
        seenMax = disp->item.cchTextMax;
        if (ownBuffer)
            disp->item.pszText = const_cast<char*>(kLong);
        else {
            // A byte-wise copy that stops in the middle of a character.
            std::strncpy(disp->item.pszText, kLong, static_cast<size_t>(disp->item.cchTextMax - 1));
            disp->item.pszText[disp->item.cchTextMax - 1] = 0;
        }
        return false;
    };
    for (bool own : {true, false}) {
        ownBuffer = own;
        char buffer[6];
        std::memset(buffer, 'x', sizeof buffer);
        LVITEMA item{};
        item.iSubItem = 0;
        item.pszText = buffer;
        item.cchTextMax = sizeof buffer;
        EXPECT_EQ(SendMessageA(list, LVM_GETITEMTEXTA, 2, reinterpret_cast<LPARAM>(&item)), 4) << own;
        EXPECT_STREQ(buffer, "中文") << own;
        EXPECT_EQ(seenBuffer, buffer);
        EXPECT_EQ(seenMax, 6);
    }
    // A row beyond the count is never asked for.
    host.Clear();
    char buffer[16];
    LVITEMA item{};
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMTEXTA, 5, reinterpret_cast<LPARAM>(&item)), 0);
    EXPECT_TRUE(host.Codes().empty());
}

TEST_F(ListFixture, ProgrammaticStateChangesNotifyAtOnce)
{
    Make(0, 5);
    std::vector<std::pair<UINT, int>> seen;
    host.m_inspect = [&](NMHDR* hdr, LRESULT*) {
        if (hdr->code == LVN_ITEMCHANGING || hdr->code == LVN_ITEMCHANGED)
            seen.emplace_back(hdr->code, reinterpret_cast<NMLISTVIEW*>(hdr)->iItem);
        return false;
    };
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    ASSERT_TRUE(SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state)));
    EXPECT_EQ(seen, (std::vector<std::pair<UINT, int>>{{LVN_ITEMCHANGING, -1}, {LVN_ITEMCHANGED, -1}}));
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 5);

    seen.clear();
    state.state = 0;
    SendMessageA(list, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(seen, (std::vector<std::pair<UINT, int>>{{LVN_ITEMCHANGING, 3}, {LVN_ITEMCHANGED, 3}}));
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2, 4}));

    // A refusal leaves the row as it was.
    host.m_answers[LVN_ITEMCHANGING] = TRUE;
    seen.clear();
    EXPECT_FALSE(SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state)));
    EXPECT_EQ(seen, (std::vector<std::pair<UINT, int>>{{LVN_ITEMCHANGING, 0}}));
    EXPECT_EQ(State(0), static_cast<UINT>(LVIS_SELECTED));
}

TEST_F(ListFixture, MouseAndKeySelectionWithShiftAndCtrl)
{
    Make(LVS_SHOWSELALWAYS, 12);
    ClickAt(list, 50, RowY(2));
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
    EXPECT_EQ(State(2), static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
    std::vector<UINT> codes = host.Codes();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), NM_CLICK);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), LVN_ITEMCHANGED), 1);

    tavrin::win::InjectKey(VK_CONTROL, true);
    ClickAt(list, 50, RowY(5));
    tavrin::win::InjectKey(VK_CONTROL, false);
    EXPECT_EQ(Selected(), (std::vector<int>{2, 5}));

    tavrin::win::InjectKey(VK_SHIFT, true);
    ClickAt(list, 150, RowY(7)); // a sub-item cell selects the row with full-row select
    tavrin::win::InjectKey(VK_SHIFT, false);
    EXPECT_EQ(Selected(), (std::vector<int>{5, 6, 7}));

    Press(VK_DOWN);
    EXPECT_EQ(Selected(), (std::vector<int>{8}));
    Press(VK_DOWN, true);
    Press(VK_DOWN, true);
    EXPECT_EQ(Selected(), (std::vector<int>{8, 9, 10}));
    Press(VK_UP, false, true); // Ctrl moves the focus only
    EXPECT_EQ(Selected(), (std::vector<int>{8, 9, 10}));
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 9);
    Press(VK_SPACE, false, true);
    EXPECT_EQ(Selected(), (std::vector<int>{8, 10}));

    // A click below the rows clears the selection; right and double clicks are reported.
    host.Clear();
    ClickAt(list, 250, RowY(9));
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(host.Codes().back(), NM_CLICK);
    SendMessageA(list, LVM_ENSUREVISIBLE, 0, FALSE);
    host.Clear();
    RightClickAt(list, 50, RowY(1));
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    EXPECT_EQ(host.Codes().back(), NM_RCLICK);
    host.Clear();
    DoubleClickAt(list, 50, RowY(1));
    codes = host.Codes();
    EXPECT_NE(std::find(codes.begin(), codes.end(), NM_DBLCLK), codes.end());
    Press(VK_RETURN);
    EXPECT_EQ(host.Codes().back(), NM_RETURN);
}

TEST_F(ListFixture, HitTestsAndRectangles)
{
    Make(0, 12);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, 0);
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&bounds)));
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.right, 200);
    RECT sub{};
    sub.top = 1;
    sub.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageA(list, LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&sub)));
    EXPECT_EQ(sub.left, 120);
    EXPECT_EQ(sub.top, bounds.top);
    const int y = (bounds.top + bounds.bottom) / 2;
    struct Case {
        UINT message;
        POINT pt;
        int item;
        int subItem;
        UINT flags;
    } cases[] = {
        {LVM_HITTEST, {10, y}, 1, 0, LVHT_ONITEMLABEL},
        {LVM_HITTEST, {150, y}, -1, 0, LVHT_NOWHERE}, // without full-row select
        {LVM_SUBITEMHITTEST, {150, y}, 1, 1, LVHT_ONITEMLABEL},
        {LVM_HITTEST, {250, y}, -1, 0, LVHT_NOWHERE},
        {LVM_HITTEST, {10, 250}, -1, 0, LVHT_BELOW},
    };
    for (const Case& c : cases) {
        LVHITTESTINFO info{};
        info.pt = c.pt;
        EXPECT_EQ(SendMessageA(list, c.message, 0, reinterpret_cast<LPARAM>(&info)), c.item) << c.pt.x;
        EXPECT_EQ(info.iSubItem, c.subItem) << c.pt.x;
        EXPECT_EQ(info.flags, c.flags) << c.pt.x;
    }
    // Visibility by row.
    const int page = static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    SendMessageA(list, LVM_ENSUREVISIBLE, 11, FALSE);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 12 - page);
    SendMessageA(list, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);
    SendMessageA(list, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 1);
}

TEST_F(ListFixture, ColumnsAndTheHeadersNotesReachTheParent)
{
    Make(0, 3);
    // The width travels in 16 bits.
    EXPECT_TRUE(SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, static_cast<LPARAM>(0xFFFF0000u | 90)));
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), 90);
    EXPECT_TRUE(SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE & 0xFFFF));
    const int autoWidth = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_GT(autoWidth, 20);
    EXPECT_LT(autoWidth, 120);

    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    ASSERT_TRUE(header);
    EXPECT_EQ(GetDlgCtrlID(header), 0);
    host.Clear();
    ClickAt(header, autoWidth + 20, 5);
    ASSERT_EQ(host.Codes(), (std::vector<UINT>{HDN_ITEMCLICKA, LVN_COLUMNCLICK}));
    EXPECT_EQ(host.Log()[0].from, header);
    EXPECT_EQ(host.Log()[0].id, 0u);

    // The parent's refusal of a header change holds for the list's own request.
    host.m_answers[HDN_ITEMCHANGINGA] = TRUE;
    EXPECT_FALSE(SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, 40));
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), 90);
    host.m_answers.clear();

    // Without sort header, the header takes no clicks; without header it is hidden.
    SetWindowLongA(list, GWL_STYLE, GetWindowLongA(list, GWL_STYLE) | LVS_NOSORTHEADER | LVS_NOCOLUMNHEADER);
    SendMessageA(list, WM_STYLECHANGED, GWL_STYLE, 0);
    EXPECT_FALSE(IsWindowVisible(header));
    EXPECT_EQ(GetWindowLongA(header, GWL_STYLE) & HDS_BUTTONS, 0);
    RECT rc{};
    rc.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc));
    EXPECT_EQ(rc.top, 0);
}

TEST_F(ListFixture, CustomDrawStagesAndANewFontPerRow)
{
    Make(LVS_OWNERDATA, 4);
    LOGFONTA lf{};
    lf.lfHeight = -12;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "SimSun");
    HFONT bold = CreateFontIndirectA(&lf);
    std::vector<std::pair<DWORD, int>> stages;
    std::vector<HGDIOBJ> subFonts;
    host.m_inspect = [&](NMHDR* hdr, LRESULT* result) {
        if (hdr->code == LVN_GETDISPINFOA) {
            auto* disp = reinterpret_cast<NMLVDISPINFOA*>(hdr);
            if (disp->item.mask & LVIF_TEXT)
                std::strcpy(disp->item.pszText, "x");
            return false;
        }
        if (hdr->code != NM_CUSTOMDRAW)
            return false;
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(hdr);
        stages.emplace_back(cd->nmcd.dwDrawStage, static_cast<int>(cd->nmcd.dwItemSpec));
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
            *result = CDRF_NOTIFYITEMDRAW;
        } else if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            if (cd->nmcd.dwItemSpec == 1) {
                SelectObject(cd->nmcd.hdc, bold);
                *result = CDRF_NEWFONT | CDRF_NOTIFYSUBITEMDRAW;
            } else {
                *result = CDRF_NOTIFYSUBITEMDRAW;
            }
        } else if (cd->nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
            subFonts.push_back(GetCurrentObject(cd->nmcd.hdc, OBJ_FONT));
            *result = CDRF_DODEFAULT;
        }
        return true;
    };
    Paint();
    const std::vector<std::pair<DWORD, int>> expected = {
        {CDDS_PREPAINT, 0},
        {CDDS_ITEMPREPAINT, 0}, {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 0}, {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 0},
        {CDDS_ITEMPREPAINT, 1}, {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 1}, {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 1},
        {CDDS_ITEMPREPAINT, 2}, {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 2}, {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 2},
        {CDDS_ITEMPREPAINT, 3}, {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 3}, {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 3},
    };
    EXPECT_EQ(stages, expected);
    ASSERT_EQ(subFonts.size(), 8u);
    EXPECT_EQ(subFonts[2], bold);
    EXPECT_EQ(subFonts[3], bold);
    EXPECT_NE(subFonts[4], bold) << "the next row starts with the list's font";

    // Drawing switched off paints nothing until it is on again; the rows keep their place.
    RECT before{}, during{};
    before.left = during.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&before));
    stages.clear();
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_SETITEMCOUNT, 3, 0);
    UpdateWindow(list);
    EXPECT_TRUE(stages.empty());
    SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&during));
    EXPECT_EQ(during.top, before.top);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    UpdateWindow(list);
    EXPECT_FALSE(stages.empty());
    DestroyWindow(list);
    DeleteObject(bold);
}

TEST_F(ListFixture, HeaderNotesInEitherFormGoOnToTheParent)
{
    Make(0, 2);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    for (UINT code : {HDN_ITEMCLICKA, HDN_ITEMCLICKW}) {
        host.Clear();
        NMHEADERA nm{};
        nm.hdr.hwndFrom = header;
        nm.hdr.idFrom = 0;
        nm.hdr.code = code;
        nm.iItem = 1;
        SendMessageA(list, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
        EXPECT_EQ(host.Codes(), (std::vector<UINT>{code, LVN_COLUMNCLICK}));
        EXPECT_EQ(host.Log()[0].from, header);
    }
}
