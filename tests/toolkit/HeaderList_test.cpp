// The header and the list together, as the item lists use them: sorting by
// clicks and by the header's menu, frozen and locked columns, alignment,
// fitting, the header's styles, the list's colours, auto-sizing, stored
// column widths and the row helpers.
#include "platform/base/Clock.h"
#include "platform/win/Cursor.h"
#include "platform/win/Input.h"
#include "platform/win/PopupMenu.h"
#include "platform/mfc/View.h"
#include "platform/win/WindowSurface.h"
#include "tests/support/UserConfigScope.h"
#include "tests/toolkit/TabListHost.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/controls/XTGlobalData.h"
#include "toolkit/controls/XTHeaderTheme.h"
#include "toolkit/controls/XTListCtrl.h"
#include "toolkit/res/ToolkitIds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace tavrin;
using tavrin::test::ClickAt;
using tavrin::test::PumpPending;

namespace {

int TextWidth(CWnd* wnd, const char* text)
{
    CClientDC dc(wnd);
    CFont* old = dc.SelectObject(wnd->GetFont());
    const int width = dc.GetTextExtent(text, static_cast<int>(std::strlen(text))).cx;
    dc.SelectObject(old);
    return width;
}

using test::CSortingList;

class HeaderListTest : public test::TabListTest {
protected:
    void CloseControls() override
    {
        if (m_list.m_hWnd)
            m_list.DestroyWindow();
    }
    // The item lists' set-up: three columns, a flat header with column 0
    // frozen and the sort arrow on, a few rows.
    void MakeList(DWORD style = 0)
    {
        ASSERT_TRUE(m_list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | style,
                                  CRect(0, 0, 440, 260), m_host.get(), 5));
        PumpPending();
        m_list.AddExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        EXPECT_EQ(m_list.GetExtendedStyle(), static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
        int widths[] = {120, 80, 200};
        LPCTSTR headings[] = {"标题", "作者", "时间"};
        ASSERT_TRUE(m_list.BuildColumns(3, widths, headings));
        for (int i = 0; i < 4; ++i) {
            m_list.InsertItem(i, ("行" + std::to_string(i)).c_str());
            m_list.SetItemText(i, 1, ("人" + std::to_string(i)).c_str());
        }
        ASSERT_TRUE(m_list.SubclassHeader(FALSE));
        EXPECT_FALSE(m_list.SubclassHeader(FALSE)) << "attached once";
        Header().FreezeColumn(0);
        Header().ShowSortArrow(TRUE);
        PumpPending();
    }
    CXTFlatHeaderCtrl& Header() { return *m_list.GetFlatHeaderCtrl(); }
    CPoint HeaderPoint(int col, int dx)
    {
        CRect rc;
        Header().GetItemRect(col, &rc);
        return CPoint(rc.left + dx, rc.Height() / 2);
    }
    // A press on the header, a move and the release, by injected input.
    void Drag(CPoint from, int dx)
    {
        CPoint start = from;
        Header().ClientToScreen(&start);
        win::InjectMouseMove(start.x, start.y);
        win::InjectMouseButton(win::MouseButton::Left, true);
        win::InjectMouseMove(start.x + dx / 2, start.y);
        win::InjectMouseMove(start.x + dx, start.y);
        win::InjectMouseButton(win::MouseButton::Left, false);
        PumpPending();
        clock::Advance(1000); // no double click with the next press
    }
    void Click(CPoint at)
    {
        ClickAt(Header().m_hWnd, at.x, at.y);
        clock::Advance(1000);
    }
    HCURSOR CursorAt(CPoint at)
    {
        Header().ClientToScreen(&at);
        ::SetCursorPos(at.x, at.y);
        Header().SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(Header().m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return ::GetCursor();
    }
    int Justify(int col)
    {
        LVCOLUMN column{};
        column.mask = LVCF_FMT;
        m_list.GetColumn(col, &column);
        return column.fmt & LVCFMT_JUSTIFYMASK;
    }

    clock::ManualScope m_clock{1700000000};
    CSortingList m_list;
};

} // namespace

TEST_F(HeaderListTest, ClicksSortTheListAndToggleTheSortedColumn)
{
    MakeList();
    struct Case {
        int col;
        int sorted;
        BOOL ascending;
    };
    const Case cases[] = {{1, 1, TRUE}, {1, 1, FALSE}, {1, 1, TRUE}, {2, 2, TRUE}, {2, 2, FALSE}, {1, 1, TRUE}};
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        Click(HeaderPoint(c.col, 30));
        BOOL ascending = FALSE;
        EXPECT_EQ(Header().GetSortColumn(&ascending), c.sorted);
        EXPECT_EQ(ascending, c.ascending);
        EXPECT_EQ(m_list.m_nSortedCol, c.sorted);
        expected.push_back(std::to_string(c.col) + (c.ascending ? " up" : " down"));
    }
    EXPECT_EQ(m_list.m_sorts, expected);
    // The parent hears each click as a plain list's parent does.
    ASSERT_EQ(m_host->m_log.size(), std::size(cases));
    EXPECT_EQ(m_host->m_log[0], "itemclick 1 button 0");
}

TEST_F(HeaderListTest, TheHeaderMenusCommandsSortAndAlign)
{
    MakeList();
    Header().m_pt = HeaderPoint(2, 20);
    Header().SendMessage(WM_COMMAND, XT_IDC_SORTDSC);
    BOOL ascending = TRUE;
    EXPECT_EQ(Header().GetSortColumn(&ascending), 2);
    EXPECT_FALSE(ascending);
    EXPECT_EQ(m_list.m_nSortedCol, 2);
    Header().SendMessage(WM_COMMAND, XT_IDC_SORTDSC); // already so: nothing
    Header().SendMessage(WM_COMMAND, XT_IDC_SORTASC);
    EXPECT_EQ(Header().GetSortColumn(&ascending), 2);
    EXPECT_TRUE(ascending);
    const std::vector<std::string> clicks = {"itemclick 2 button 1", "itemclick 2 button 1"};
    EXPECT_EQ(m_host->m_log, clicks);
    const std::vector<std::string> sorts = {"2 down", "2 up"};
    EXPECT_EQ(m_list.m_sorts, sorts);

    // Beside every column: nothing happens.
    Header().m_pt = CPoint(435, 5);
    Header().SendMessage(WM_COMMAND, XT_IDC_SORTDSC);
    EXPECT_EQ(m_host->m_log.size(), 2u);

    Header().m_pt = HeaderPoint(1, 10);
    const std::pair<UINT, int> aligns[] = {
        {XT_IDC_ALIGNRIGHT, LVCFMT_RIGHT}, {XT_IDC_ALIGNCENTER, LVCFMT_CENTER}, {XT_IDC_ALIGNLEFT, LVCFMT_LEFT}};
    for (auto [command, justify] : aligns) {
        Header().SendMessage(WM_COMMAND, command);
        EXPECT_EQ(Justify(1), justify);
        EXPECT_EQ(Justify(2), LVCFMT_LEFT);
    }
}

TEST_F(HeaderListTest, TheRightClickMenuByKeysAndNoMenuWithoutSortHeaders)
{
    MakeList();
    bool opened = false;
    m_host->Stage({[&] {
        opened = ::FindWindowA(POPUPMENU_CLASS, nullptr) != nullptr;
        for (UINT key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
            win::InjectKey(key, true);
            win::InjectKey(key, false);
        }
    }});
    CPoint at = HeaderPoint(1, 20);
    ClickAt(Header().m_hWnd, at.x, at.y, true);
    PumpPending();
    EXPECT_TRUE(opened);
    BOOL ascending = TRUE;
    EXPECT_EQ(Header().GetSortColumn(&ascending), 1);
    EXPECT_FALSE(ascending) << "\"降序排序\" chosen";
    const std::vector<std::string> clicks = {"itemclick 1 button 1"};
    EXPECT_EQ(m_host->m_log, clicks);

    m_list.ModifyStyle(0, LVS_NOSORTHEADER);
    opened = false;
    m_host->Stage({[&] { opened = ::FindWindowA(POPUPMENU_CLASS, nullptr) != nullptr; }});
    at = HeaderPoint(2, 20);
    ClickAt(Header().m_hWnd, at.x, at.y, true);
    EXPECT_FALSE(opened);
}

TEST_F(HeaderListTest, FrozenColumnsRefuseResizingAndShowNoSizingCursor)
{
    MakeList();
    const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW), sizing = ::LoadCursorA(nullptr, IDC_SIZEWE);
    EXPECT_EQ(CursorAt(HeaderPoint(0, 119)), arrow) << "the frozen column's divider";
    EXPECT_EQ(CursorAt(HeaderPoint(1, 1)), arrow) << "its other side";
    EXPECT_EQ(CursorAt(HeaderPoint(1, 79)), sizing) << "an unfrozen column's divider";
    Drag(HeaderPoint(0, 119), 40);
    EXPECT_EQ(m_list.GetColumnWidth(0), 120);
    Drag(HeaderPoint(1, 79), 30);
    EXPECT_EQ(m_list.GetColumnWidth(1), 110);

    // Fitting shares the width among the unfrozen columns only.
    Header().ResizeColumnsToFit(300);
    EXPECT_EQ(m_list.GetColumnWidth(0), 120);
    EXPECT_EQ(m_list.GetColumnWidth(1), 150);
    EXPECT_EQ(m_list.GetColumnWidth(2), 150);
    Header().FreezeColumn(1);
    Header().FreezeColumn(2);
    Header().ResizeColumnsToFit(90);
    EXPECT_EQ(m_list.GetColumnWidth(1), 150) << "no unfrozen column: nothing changes";
    EXPECT_EQ(m_list.GetColumnWidth(2), 150);
}

TEST_F(HeaderListTest, TheLockedHeaderRefusesDragsAndDoubleClicks)
{
    MakeList();
    m_list.SetLockHeader(TRUE);
    Drag(HeaderPoint(1, 79), 30);
    EXPECT_EQ(m_list.GetColumnWidth(1), 80);
    CPoint at = HeaderPoint(1, 79);
    Header().ClientToScreen(&at);
    win::InjectMouseMove(at.x, at.y);
    for (int i = 0; i < 2; ++i) {
        win::InjectMouseButton(win::MouseButton::Left, true);
        win::InjectMouseButton(win::MouseButton::Left, false);
    }
    PumpPending();
    EXPECT_EQ(m_list.GetColumnWidth(1), 80) << "no auto-size on the divider's double click";
    clock::Advance(1000);
    m_list.SetLockHeader(FALSE);
    Drag(HeaderPoint(1, 79), 30);
    EXPECT_EQ(m_list.GetColumnWidth(1), 110);
}

TEST_F(HeaderListTest, TheSortArrowInTheXPStyleAndNotInANarrowColumn)
{
    MakeList();
    CXTHeaderTheme* theme = Header().GetHeaderTheme();
    ASSERT_TRUE(theme);
    EXPECT_TRUE(dynamic_cast<CXTHeaderThemeOfficeXP*>(theme)) << "flat whatever the theme id";
    EXPECT_EQ(theme->GetDrawStyle(), static_cast<DWORD>(XTTHEME_SORTARROW));
    CRect client;
    Header().GetClientRect(&client);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    // Arrow pixels of column 1 between x0 and x1.
    auto arrowPixels = [&](int x0, int x1) {
        test::Canvas canvas(client.Width(), client.Height());
        theme->DrawHeader(canvas.DC(), &Header());
        int shadows = 0, lights = 0;
        for (int x = x0; x < x1; ++x)
            for (int y = 2; y < client.Height() - 2; ++y) {
                shadows += canvas.At(x, y) == shadow;
                lights += canvas.At(x, y) == light;
            }
        return std::pair<int, int>(shadows, lights);
    };
    const int textRight = 120 + 6 + TextWidth(&Header(), "作者");
    EXPECT_EQ(arrowPixels(textRight + 5, 196), std::make_pair(0, 0)) << "no arrow before sorting";
    Header().SetSortColumn(1, TRUE);
    auto [shadows, lights] = arrowPixels(textRight + 5, 196);
    EXPECT_GE(shadows, 5) << "the arrow's left edge";
    EXPECT_GE(lights, 10) << "its base and right edge";
    Header().ShowSortArrow(FALSE);
    EXPECT_EQ(arrowPixels(textRight + 5, 196), std::make_pair(0, 0));
    Header().ShowSortArrow(TRUE);

    m_list.SetColumnWidth(1, 25);
    EXPECT_EQ(arrowPixels(121, 120 + 25 - 3), std::make_pair(0, 0)) << "too narrow for the arrow";
    m_list.SetColumnWidth(1, 80);
}

TEST_F(HeaderListTest, HeaderHeightByStyle)
{
    // A plain toolkit header follows the theme id; a flat one keeps the native height.
    CListCtrl plain;
    ASSERT_TRUE(plain.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200), m_host.get(), 6));
    plain.InsertColumn(0, "标题", LVCFMT_LEFT, 100);
    CXTHeaderCtrl header;
    ASSERT_TRUE(header.SubclassWindow(::GetDlgItem(plain.m_hWnd, 0)));
    header.InitializeHeader(FALSE);
    auto height = [&] {
        CRect rc;
        header.GetWindowRect(&rc);
        return rc.Height();
    };
    const int native = height();
    XTGetThemeManager()->SetTheme(xtThemeOffice2003);
    PumpPending();
    ASSERT_TRUE(dynamic_cast<CXTHeaderThemeOffice2003*>(header.GetHeaderTheme()));
    CClientDC dc(&header);
    CFont* old = dc.SelectObject(header.GetFont());
    TEXTMETRICA tm{};
    dc.GetTextMetrics(&tm);
    dc.SelectObject(old);
    EXPECT_EQ(height(), tm.tmHeight + 10);
    CXTHeaderCtrl::SetDefaultTheme(new CXTHeaderThemeVisualStyle);
    PumpPending();
    EXPECT_EQ(height(), tm.tmHeight + 6) << "the visual-style variant";
    XTGetThemeManager()->SetTheme(xtThemeOfficeXP);
    PumpPending();
    EXPECT_EQ(height(), native);
    header.UnsubclassWindow();
    plain.DestroyWindow();
}

TEST_F(HeaderListTest, CellColoursOfTheCustomDraw)
{
    MakeList();
    m_list.SetListColors(RGB(1, 2, 3), RGB(4, 200, 8));
    EXPECT_EQ(m_list.GetSortBackColor(), RGB(0, 192, 0));
    m_list.m_bSortColor = TRUE;
    m_list.m_bRowColor = TRUE;
    m_list.SetSortColumn(1, TRUE);
    m_list.SetRowColor(2, RGB(255, 0, 0), RGB(0, 0, 255));
    m_list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    m_list.SetRowColor(XT_ROWCOLOR{3, RGB(9, 9, 9), RGB(7, 7, 7)});
    struct Case {
        int item;
        int sub;
        COLORREF text;
        COLORREF back;
    };
    const Case cases[] = {
        {0, 0, RGB(1, 2, 3), RGB(4, 200, 8)},
        {0, 1, RGB(1, 2, 3), RGB(0, 192, 0)},     // the sorted column's shade
        {2, 0, RGB(255, 0, 0), RGB(0, 0, 255)},   // the row's colours
        {2, 1, RGB(255, 0, 0), RGB(0, 96, 127)},  // mixed with the shade
        {3, 0, RGB(1, 2, 3), RGB(4, 200, 8)},     // selected: no row colours
    };
    auto draw = [&](int item, int sub) {
        NMLVCUSTOMDRAW cd{};
        cd.nmcd.hdr.hwndFrom = m_list.m_hWnd;
        cd.nmcd.hdr.code = NM_CUSTOMDRAW;
        cd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
        cd.nmcd.dwItemSpec = static_cast<DWORD_PTR>(item);
        cd.iSubItem = sub;
        LRESULT result = -1;
        m_list.OnCustomDraw(&cd.nmcd.hdr, &result);
        EXPECT_EQ(result, CDRF_DODEFAULT);
        return cd;
    };
    for (const Case& c : cases) {
        const NMLVCUSTOMDRAW cd = draw(c.item, c.sub);
        EXPECT_EQ(cd.clrText, c.text) << c.item << "," << c.sub;
        EXPECT_EQ(cd.clrTextBk, c.back) << c.item << "," << c.sub << " " << test::ColorText(cd.clrTextBk);
    }
    m_list.EnableWindow(FALSE);
    const NMLVCUSTOMDRAW disabled = draw(2, 1);
    EXPECT_EQ(disabled.clrText, ::GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(disabled.clrTextBk, ::GetSysColor(COLOR_BTNFACE));
    m_list.EnableWindow(TRUE);

    // On the window: the shaded column runs the whole height, rows over it.
    m_list.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    auto surface = win::GetWindowSurface(m_host->m_hWnd);
    ASSERT_TRUE(surface);
    auto pixel = [&](int x, int y) {
        POINT pt{x, y};
        ::MapWindowPoints(m_list.m_hWnd, m_host->m_hWnd, &pt, 1);
        return surface->GetPixel(pt.x, pt.y) & 0xFFFFFF;
    };
    CRect row;
    m_list.GetItemRect(2, &row, LVIR_BOUNDS);
    EXPECT_EQ(pixel(150, 240), PixelFromColor(RGB(0, 192, 0))) << "below the rows, sorted column";
    EXPECT_EQ(pixel(300, 240), PixelFromColor(RGB(4, 200, 8))) << "below the rows, another column";
    EXPECT_EQ(pixel(100, row.top + 2), PixelFromColor(RGB(0, 0, 255))) << "the row colour";
}

TEST_F(HeaderListTest, AutoSizeTakesTheHeadingIntoAccount)
{
    MakeList();
    m_list.AutoSizeColumn(2);
    EXPECT_EQ(m_list.GetColumnWidth(2), TextWidth(&Header(), "时间") + 12);
    m_list.SetSortColumn(2, TRUE);
    m_list.AutoSizeColumn(-1);
    EXPECT_EQ(m_list.GetColumnWidth(2), TextWidth(&Header(), "时间") + 36) << "room for the arrow";
    EXPECT_GE(m_list.GetColumnWidth(0), TextWidth(&Header(), "标题") + 12);
    m_list.m_nMaxColWidth = 20;
    m_list.AutoSizeColumn(1);
    EXPECT_EQ(m_list.GetColumnWidth(1), 20);
}

TEST_F(HeaderListTest, ColumnWidthsKeptInTheProfileFile)
{
    test::UserConfigScope config;
    *XTGetGlobalData()->m_pstrProfileFile = "tavrin.ini";
    MakeList();
    m_list.AutoSaveColumns();
    EXPECT_EQ(m_list.GetColumnWidth(1), 80) << "nothing stored: the widths stay";
    m_list.DestroyWindow();
    const std::string ini = test::TempDir::Read(config.Dir().Path() / "tavrin.ini");
    EXPECT_NE(ini.find("[Settings]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Column Info=120,80,200,"), std::string::npos) << ini;

    CXTListCtrl again;
    ASSERT_TRUE(again.Create(WS_CHILD | LVS_REPORT, CRect(0, 0, 300, 200), m_host.get(), 7));
    for (int i = 0; i < 3; ++i)
        again.InsertColumn(i, "列", LVCFMT_LEFT, 50);
    again.AutoSaveColumns("Lists", "Widths", ",33,");
    EXPECT_EQ(again.GetColumnWidth(0), 0) << "the default's empty first field";
    EXPECT_EQ(again.GetColumnWidth(1), 33);
    EXPECT_EQ(again.GetStoredColumnWidth(2), 0);
    again.AutoSaveColumns();
    EXPECT_EQ(again.GetColumnWidth(0), 120);
    EXPECT_EQ(again.GetColumnWidth(1), 80);
    EXPECT_EQ(again.GetColumnWidth(2), 200);
    again.m_bAutoSave = FALSE;
    again.DestroyWindow();
    XTGetGlobalData()->m_pstrProfileFile->Empty();
}

TEST_F(HeaderListTest, CopyingMovingAndHittingCellsOfReorderedColumns)
{
    MakeList();
    m_list.SetItemData(1, 11);
    EXPECT_EQ(m_list.CopyRow(1, 1), -1);
    EXPECT_EQ(m_list.CopyRow(-1, 2), -1);
    EXPECT_EQ(m_list.CopyRow(1, 3), 1) << "the source stays in place";
    EXPECT_EQ(m_list.GetItemText(3, 0), CString("行1"));
    EXPECT_EQ(m_list.GetItemText(3, 1), CString("人1"));
    EXPECT_EQ(m_list.GetItemData(3), 11u);
    EXPECT_EQ(m_list.CopyRow(3, 0), 4) << "the source moved down by the insertion";
    EXPECT_EQ(m_list.GetItemCount(), 6);
    EXPECT_TRUE(m_list.MoveRow(5, 0));
    EXPECT_EQ(m_list.GetItemCount(), 6);
    EXPECT_EQ(m_list.GetItemText(0, 0), CString("行3"));
    EXPECT_FALSE(m_list.MoveRow(2, 2));

    int order[] = {2, 0, 1};
    ASSERT_TRUE(Header().SetOrderArray(3, order));
    CRect row;
    m_list.GetItemRect(1, &row, LVIR_BOUNDS);
    struct Case {
        int x;
        int col;
    };
    const Case cases[] = {{10, 2}, {199, 2}, {201, 0}, {330, 1}};
    for (const Case& c : cases) {
        CPoint pt(c.x, row.top + 2);
        int col = -1;
        EXPECT_EQ(m_list.HitTestEx(pt, &col), 1) << c.x;
        EXPECT_EQ(col, c.col) << c.x;
    }
    CPoint below(10, 250);
    EXPECT_EQ(m_list.HitTestEx(below, nullptr), -1);
    EXPECT_EQ(m_list.GetColumnCount(), 3);
    EXPECT_EQ(m_list.AddColumn("新列"), 3);
    EXPECT_EQ(m_list.GetColumnWidth(3), 200) << "the last column's width";
}

TEST_F(HeaderListTest, TheMenusCommandsInAListView)
{
    auto* view = new CListView;
    ASSERT_TRUE(view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200), m_host.get(), 8));
    CListCtrl& list = view->GetListCtrl();
    list.InsertColumn(0, "标题", LVCFMT_LEFT, 100);
    list.InsertColumn(1, "作者", LVCFMT_LEFT, 100);
    CXTFlatHeaderCtrl header;
    ASSERT_TRUE(header.SubclassWindow(::GetDlgItem(view->m_hWnd, 0)));
    header.m_pt = CPoint(150, 5);
    header.SendMessage(WM_COMMAND, XT_IDC_ALIGNCENTER);
    LVCOLUMN column{};
    column.mask = LVCF_FMT;
    list.GetColumn(1, &column);
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_CENTER);
    header.SendMessage(WM_COMMAND, XT_IDC_SORTDSC);
    const std::vector<std::string> clicks = {"itemclick 1 button 1"};
    EXPECT_EQ(m_host->m_log, clicks) << "passed on by the view's list";
    header.UnsubclassWindow();
    view->DestroyWindow();
}
