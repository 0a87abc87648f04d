// The tree, report list, header and tab control on a real display: real
// clicks and drags through the display server, and the screen's pixels
// checked against what the controls mean to show and against the window's
// own surface.
#include "NotifyHost.h"

#include "platform/controls/ListView.h"
#include "platform/controls/TabControl.h"
#include "platform/controls/TreeView.h"
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Png.h"
#include "platform/win/WindowSurface.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <cstring>
#include <memory>

// Last: the X headers define macros (None, Bool, Status) others trip over.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace tavrin;

namespace {

int64_t NowMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Our message loop until the condition holds (GLib's runs inside it).
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000)
{
    const int64_t deadline = NowMs() + timeoutMs;
    while (NowMs() < deadline) {
        test::PumpAll();
        if (done())
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return done();
}

uint32_t Rgb(COLORREF c)
{
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

struct DisplayFixture : ::testing::Test {
    display::GtkPresenter* presenter = nullptr;
    std::unique_ptr<test::NotifyHost> host;
    Display* x11 = nullptr;

    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        presenter = display::StartGtkPresenter();
        ASSERT_TRUE(presenter);
        host = std::make_unique<test::NotifyHost>(480, 320);
        x11 = XOpenDisplay(nullptr);
        ASSERT_TRUE(x11);
        ASSERT_TRUE(PumpUntil([&] {
            presenter->Flush();
            auto shot = presenter->CaptureWindow(host->Window());
            return shot && shot->Width() >= 480;
        }, 10000));
    }
    void TearDown() override
    {
        host.reset();
        if (x11)
            XCloseDisplay(x11);
    }
    // The screen as the presenter shows the window, once it matches the
    // window's own surface over the whole control.
    std::unique_ptr<Surface> Shot(HWND control)
    {
        RECT rc;
        GetClientRect(control, &rc);
        MapWindowPoints(control, host->Window(), reinterpret_cast<POINT*>(&rc), 2);
        std::unique_ptr<Surface> shot;
        const bool same = PumpUntil([&] {
            RedrawWindow(host->Window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            presenter->Flush();
            shot = presenter->CaptureWindow(host->Window());
            auto own = win::GetWindowSurface(host->Window());
            if (!shot || !own)
                return false;
            for (int y = rc.top; y < rc.bottom; ++y)
                for (int x = rc.left; x < rc.right; ++x)
                    if ((shot->GetPixel(x, y) & 0xFFFFFF) != (own->GetPixel(x, y) & 0xFFFFFF))
                        return false;
            return true;
        }, 5000);
        EXPECT_TRUE(same) << "the screen shows what the window drew";
        return shot;
    }
    uint32_t PixelOf(const Surface& shot, HWND control, int x, int y)
    {
        POINT pt{x, y};
        MapWindowPoints(control, host->Window(), &pt, 1);
        return shot.GetPixel(pt.x, pt.y) & 0xFFFFFF;
    }
    void RealMove(HWND control, int x, int y)
    {
        POINT pt{x, y};
        ClientToScreen(control, &pt);
        XTestFakeMotionEvent(x11, -1, pt.x, pt.y, CurrentTime);
        XFlush(x11);
    }
    void RealButton(bool down)
    {
        XTestFakeButtonEvent(x11, 1, down ? True : False, CurrentTime);
        XFlush(x11);
    }
    bool RealClick(HWND control, int x, int y)
    {
        POINT pt{x, y};
        MapWindowPoints(control, host->Window(), &pt, 1);
        return presenter->SimulateClick(host->Window(), pt.x, pt.y, 1);
    }
};

} // namespace

TEST_F(DisplayFixture, TreeSelectsAndOpensByRealClicks)
{
    HWND tree = host->CreateControl(WC_TREEVIEWA, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                                    RECT{10, 10, 230, 300});
    TVINSERTSTRUCTA in{};
    in.hInsertAfter = TVI_LAST;
    in.item.mask = TVIF_TEXT;
    in.hParent = TVI_ROOT;
    in.item.pszText = const_cast<char*>("我的账号");
    auto account = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&in)));
    in.hParent = account;
    in.item.pszText = const_cast<char*>("高三(2)班");
    auto cls = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&in)));
    ASSERT_TRUE(cls);
    const int indent = static_cast<int>(SendMessageA(tree, TVM_GETINDENT, 0, 0));
    RECT label{};
    *reinterpret_cast<HTREEITEM*>(&label) = account;
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label));
    const int midY = (label.top + label.bottom) / 2;

    ASSERT_TRUE(RealClick(tree, indent / 2, midY)); // the button
    ASSERT_TRUE(PumpUntil([&] {
        return SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(account), TVIS_EXPANDED) != 0;
    }));
    RECT child{};
    *reinterpret_cast<HTREEITEM*>(&child) = cls;
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&child)));
    ASSERT_TRUE(RealClick(tree, child.left + 5, (child.top + child.bottom) / 2));
    ASSERT_TRUE(PumpUntil([&] {
        return SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == reinterpret_cast<LRESULT>(cls);
    }));
    auto shot = Shot(tree);
    ASSERT_TRUE(shot);
    SavePng(*shot, "tavrin-display-tree.png");
    EXPECT_EQ(PixelOf(*shot, tree, child.left + 1, child.top + 1), Rgb(GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(PixelOf(*shot, tree, child.right + 10, child.top + 1), Rgb(GetSysColor(COLOR_WINDOW)));
    // The button's frame left of the account.
    EXPECT_EQ(PixelOf(*shot, tree, indent - indent / 2 - 4, midY), Rgb(GetSysColor(COLOR_GRAYTEXT)));
}

TEST_F(DisplayFixture, ReportListWithGridlinesAndBoldRows)
{
    HWND list = host->CreateControl(WC_LISTVIEWA, LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, RECT{10, 10, 410, 300});
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int c = 0; c < 2; ++c) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(c ? "作者" : "标题");
        column.cx = c ? 120 : 200;
        SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageA(list, LVM_SETITEMCOUNT, 50, 0);
    LOGFONTA lf{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfWeight = FW_BOLD;
    HFONT bold = CreateFontIndirectA(&lf);
    host->m_inspect = [&](NMHDR* hdr, LRESULT* result) {
        if (hdr->code == LVN_GETDISPINFOA) {
            auto* disp = reinterpret_cast<NMLVDISPINFOA*>(hdr);
            if (disp->item.mask & LVIF_TEXT)
                std::strcpy(disp->item.pszText, "WWWWWWWW");
            return false;
        }
        if (hdr->code != NM_CUSTOMDRAW)
            return false;
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(hdr);
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
            *result = CDRF_NOTIFYITEMDRAW;
        } else if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && cd->nmcd.dwItemSpec % 2 == 1) {
            SelectObject(cd->nmcd.hdc, bold); // unread rows
            *result = CDRF_NEWFONT;
        } else {
            *result = CDRF_DODEFAULT;
        }
        return true;
    };
    InvalidateRect(list, nullptr, TRUE);
    RECT row0{}, row1{};
    row0.left = row1.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row0));
    SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row1));
    auto shot = Shot(list);
    ASSERT_TRUE(shot);
    SavePng(*shot, "tavrin-display-list.png");
    // Gridlines under each row and at each column's right edge.
    EXPECT_EQ(PixelOf(*shot, list, 100, row0.bottom - 1), Rgb(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(PixelOf(*shot, list, 199, (row0.top + row0.bottom) / 2), Rgb(GetSysColor(COLOR_BTNFACE)));
    // A bold row inks more pixels than a plain one with the same text.
    auto ink = [&](const RECT& row) {
        int n = 0;
        for (int y = row.top + 1; y < row.bottom - 1; ++y)
            for (int x = 2; x < 190; ++x)
                if (PixelOf(*shot, list, x, y) == Rgb(GetSysColor(COLOR_WINDOWTEXT)))
                    ++n;
        return n;
    };
    EXPECT_GT(ink(row1), ink(row0) + 10);

    // A real click selects the row, drawn in the highlight.
    ASSERT_TRUE(RealClick(list, 300, (row1.top + row1.bottom) / 2));
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == 1; }));
    shot = Shot(list);
    ASSERT_TRUE(shot);
    EXPECT_EQ(PixelOf(*shot, list, 300, row1.top + 2), Rgb(GetSysColor(COLOR_HIGHLIGHT)));
    host->m_inspect = nullptr;
    DestroyWindow(list);
    DeleteObject(bold);
}

TEST_F(DisplayFixture, HeaderDividerDraggedByRealMouse)
{
    HWND list = host->CreateControl(WC_LISTVIEWA, LVS_REPORT, RECT{10, 10, 410, 200});
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>("标题");
    column.cx = 100;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    column.pszText = const_cast<char*>("日期");
    SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    ASSERT_TRUE(header);
    RECT hr;
    GetClientRect(header, &hr);
    const int y = hr.bottom / 2;
    RealMove(header, 100, y);
    PumpUntil([] { return false; }, 100);
    RealButton(true);
    ASSERT_TRUE(PumpUntil([&] { return GetCapture() == header; }));
    RealMove(header, 160, y);
    PumpUntil([] { return false; }, 100);
    RealButton(false);
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0) == 160; }));
    std::vector<UINT> codes = host->Codes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes.front(), HDN_BEGINTRACKA);
    EXPECT_NE(std::find(codes.begin(), codes.end(), HDN_ENDTRACKA), codes.end());
    EXPECT_EQ(codes.back(), HDN_ITEMCHANGEDA);
    // The header's edge moved with the divider.
    auto shot = Shot(header);
    ASSERT_TRUE(shot);
    SavePng(*shot, "tavrin-display-header.png");
    EXPECT_NE(PixelOf(*shot, header, 159, y), Rgb(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(PixelOf(*shot, header, 120, 1), PixelOf(*shot, header, 50, 1)) << "no edge left at the old place";
}

TEST_F(DisplayFixture, OverflowingTabsScrollByTheirArrows)
{
    HWND tabs = host->CreateControl(WC_TABCONTROLA, 0, RECT{10, 10, 230, 150});
    static const char* const names[] = {"留言", "照片", "通讯录", "在线消息", "投票", "资料", "日志"};
    for (int i = 0; i < 7; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(names[i]);
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    HWND arrows = GetDlgItem(tabs, 1);
    ASSERT_TRUE(arrows);
    ASSERT_TRUE(IsWindowVisible(arrows));
    RECT ar;
    GetClientRect(arrows, &ar);
    POINT right{ar.right - 4, ar.bottom / 2};
    MapWindowPoints(arrows, tabs, &right, 1);
    ASSERT_TRUE(RealClick(tabs, right.x, right.y));
    ASSERT_TRUE(PumpUntil([&] {
        RECT rc{};
        SendMessageA(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&rc));
        return rc.left == 2;
    }));
    // A real click on the tab now first switches to it.
    RECT second{};
    SendMessageA(tabs, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&second));
    host->Clear();
    ASSERT_TRUE(RealClick(tabs, (second.left + second.right) / 2, (second.top + second.bottom) / 2));
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == 2; }));
    EXPECT_EQ(host->Codes(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE, NM_CLICK}));
    auto shot = Shot(tabs);
    ASSERT_TRUE(shot);
    SavePng(*shot, "tavrin-display-tabs.png");
    // The selected tab stands out above the row: its raised edge where the others leave face colour.
    EXPECT_NE(PixelOf(*shot, tabs, (second.left + second.right) / 2, second.top - 2), Rgb(GetSysColor(COLOR_BTNFACE)));
    RECT first{};
    SendMessageA(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&first));
    EXPECT_EQ(PixelOf(*shot, tabs, (first.left + first.right) / 2, first.top - 2), Rgb(GetSysColor(COLOR_BTNFACE)));
}
