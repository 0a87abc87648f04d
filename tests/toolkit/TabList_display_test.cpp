// The item lists' arrangement on a real display: a tab control of four
// report lists with flat sortable headers, in both flat themes, driven by
// the desktop's mouse and keys through the GTK presenter and checked on
// screenshots against the window's own surface.
#include "platform/controls/CommCtrl.h"
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/win/WindowSurface.h"
#include "tests/support/DisplayPump.h"
#include "tests/toolkit/TabListHost.h"
#include "toolkit/controls/XTColorManager.h"
#include "toolkit/controls/XTHeaderTheme.h"
#include "toolkit/controls/XTListCtrl.h"
#include "toolkit/controls/XTTabCtrl.h"
#include "toolkit/controls/XTTabNavigationWnd.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace tavrin;
using tavrin::test::PumpUntil;

using test::CSortingList;

namespace {

uint32_t Rgb(COLORREF c)
{
    return PixelFromColor(c) & 0xFFFFFF;
}

class TabListDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        m_presenter = display::StartGtkPresenter();
        ASSERT_TRUE(m_presenter);
        InitCommonControls();
        m_host = std::make_unique<test::CTabListHost>();
        // A framed window: the desktop gives it the keyboard focus.
        ASSERT_TRUE(m_host->CreateHost(60, 60, 570, 420, WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE | WS_CLIPCHILDREN));
        HWND root = m_host->m_hWnd;
        test::SetPumpFilter([root](const MSG& m) {
            MSG copy = m;
            return CWnd::WalkPreTranslateTree(root, &copy) != FALSE;
        });
        ASSERT_TRUE(m_tab.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 560, 380), m_host.get(), 1010));
        const char* captions[] = {"留言", "照片", "通讯录", "在线消息"};
        for (int page = 0; page < 4; ++page) {
            auto list = std::make_unique<CSortingList>();
            ASSERT_TRUE(list->Create(WS_CHILD | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(0, 0, 100, 100), m_host.get(),
                                     1001 + page));
            list->AddExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
            ASSERT_TRUE(m_tab.AddControl(captions[page], list.get()));
            list->InsertColumn(0, "", LVCFMT_LEFT, 120);
            list->InsertColumn(1, "标题", LVCFMT_LEFT, 160);
            list->InsertColumn(2, "作者", LVCFMT_LEFT, 120);
            for (int row = 0; row < 5; ++row) {
                list->InsertItem(row, "");
                list->SetItemText(row, 1, ("第" + std::to_string(row) + "条").c_str());
                list->SetItemText(row, 2, "张三");
            }
            ASSERT_TRUE(list->SubclassHeader(FALSE));
            list->GetFlatHeaderCtrl()->FreezeColumn(0);
            list->GetFlatHeaderCtrl()->ShowSortArrow(TRUE);
            m_lists.push_back(std::move(list));
        }
        m_tab.SetActiveView(0);
        ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == root; }, 5000));
    }
    void TearDown() override
    {
        test::SetPumpFilter(nullptr);
        if (m_tab.m_hWnd)
            m_tab.DestroyWindow();
        if (m_host)
            m_host->DestroyWindow();
        m_lists.clear();
        XTGetThemeManager()->SetTheme(xtThemeDefault);
    }
    POINT InRoot(HWND hwnd, int x, int y)
    {
        POINT pt{x, y};
        ::MapWindowPoints(hwnd, m_host->m_hWnd, &pt, 1);
        return pt;
    }
    bool Click(HWND hwnd, int x, int y, int button = 1)
    {
        const POINT at = InRoot(hwnd, x, y);
        return m_presenter->SimulateClick(m_host->m_hWnd, at.x, at.y, button);
    }
    // The screen's pixels once they match the window's own surface at every point.
    std::unique_ptr<Surface> Shot(const std::vector<POINT>& points)
    {
        std::unique_ptr<Surface> shot;
        const bool done = PumpUntil([&] {
            m_presenter->Flush();
            shot = m_presenter->CaptureWindow(m_host->m_hWnd);
            auto own = win::GetWindowSurface(m_host->m_hWnd);
            if (!shot || !own)
                return false;
            // The surface is in window coordinates, the screenshot in client ones.
            RECT window;
            ::GetWindowRect(m_host->m_hWnd, &window);
            POINT origin{0, 0};
            ::ClientToScreen(m_host->m_hWnd, &origin);
            const int dx = origin.x - window.left, dy = origin.y - window.top;
            for (POINT p : points)
                if (p.x >= shot->Width() || p.y >= shot->Height() ||
                    (shot->GetPixel(p.x, p.y) & 0xFFFFFF) != (own->GetPixel(p.x + dx, p.y + dy) & 0xFFFFFF))
                    return false;
            return true;
        }, 5000);
        return done ? std::move(shot) : nullptr;
    }
    CSortingList& List(int page) { return *m_lists[static_cast<size_t>(page)]; }
    CXTFlatHeaderCtrl& Header(int page) { return *List(page).GetFlatHeaderCtrl(); }
    int HeaderX(int page, int col, int dx)
    {
        CRect rc;
        Header(page).GetItemRect(col, &rc);
        return rc.left + dx;
    }

    display::GtkPresenter* m_presenter = nullptr;
    std::unique_ptr<test::CTabListHost> m_host;
    CXTTabCtrl m_tab;
    std::vector<std::unique_ptr<CSortingList>> m_lists;
};

} // namespace

TEST_F(TabListDisplay, PagesSortingAndTheFlatLookByMouseAndKeys)
{
    for (int theme : {xtThemeOfficeXP, xtThemeOffice2003}) {
        SCOPED_TRACE("theme " + std::to_string(theme));
        XTGetThemeManager()->SetTheme(theme);
        m_tab.SetActiveView(0);
        m_host->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        m_host->m_log.clear();

        // A click on a tab brings its list up and tells the owner.
        CRect tab2;
        m_tab.GetItemRect(2, &tab2);
        ASSERT_TRUE(Click(m_tab.m_hWnd, tab2.CenterPoint().x, tab2.CenterPoint().y));
        ASSERT_TRUE(PumpUntil([&] { return m_tab.GetCurSel() == 2; }));
        EXPECT_TRUE(List(2).IsWindowVisible());
        EXPECT_FALSE(List(0).IsWindowVisible());
        const std::vector<std::string> notes = {"selchanging 1010", "selchange 1010"};
        EXPECT_EQ(m_host->m_log, notes);

        // Ctrl+Tab and F6 cycle from the list that has the focus.
        List(2).SetFocus();
        struct Key {
            const char* name;
            unsigned modifiers;
            int expected;
        };
        const Key keys[] = {{"Tab", display::GtkPresenter::kControl, 3},
                            {"F6", 0, 0},
                            {"F6", display::GtkPresenter::kShift, 3},
                            {"Tab", display::GtkPresenter::kControl | display::GtkPresenter::kShift, 2}};
        for (const Key& k : keys) {
            if (m_tab.GetActiveView())
                m_tab.GetActiveView()->SetFocus();
            ASSERT_TRUE(m_presenter->SimulateKey(m_host->m_hWnd, k.name, k.modifiers));
            EXPECT_TRUE(PumpUntil([&] { return m_tab.GetCurSel() == k.expected; })) << k.name << " " << k.modifiers;
        }
        ASSERT_EQ(m_tab.GetCurSel(), 2);

        // Header clicks sort: a new column ascending, the sorted one toggles.
        CSortingList& list = List(2);
        list.m_sorts.clear();
        ASSERT_TRUE(Click(Header(2).m_hWnd, HeaderX(2, 1, 30), 8));
        ASSERT_TRUE(PumpUntil([&] { return list.m_sorts.size() == 1; }));
        ASSERT_TRUE(Click(Header(2).m_hWnd, HeaderX(2, 2, 30), 8));
        ASSERT_TRUE(PumpUntil([&] { return list.m_sorts.size() == 2; }));
        ASSERT_TRUE(Click(Header(2).m_hWnd, HeaderX(2, 2, 60), 8));
        ASSERT_TRUE(PumpUntil([&] { return list.m_sorts.size() == 3; }));
        const std::vector<std::string> sorts = {"1 up", "2 up", "2 down"};
        EXPECT_EQ(list.m_sorts, sorts);

        // The frozen column's divider cannot be dragged; another one can.
        const POINT divider0 = InRoot(Header(2).m_hWnd, HeaderX(2, 0, 119), 8);
        ASSERT_TRUE(m_presenter->SimulateButton(m_host->m_hWnd, divider0.x, divider0.y, 1, true));
        ASSERT_TRUE(m_presenter->SimulatePointer(m_host->m_hWnd, divider0.x + 40, divider0.y));
        ASSERT_TRUE(m_presenter->SimulateButton(m_host->m_hWnd, divider0.x + 40, divider0.y, 1, false));
        const POINT divider1 = InRoot(Header(2).m_hWnd, HeaderX(2, 1, 159), 8);
        ASSERT_TRUE(m_presenter->SimulateButton(m_host->m_hWnd, divider1.x, divider1.y, 1, true));
        ASSERT_TRUE(m_presenter->SimulatePointer(m_host->m_hWnd, divider1.x - 20, divider1.y));
        ASSERT_TRUE(m_presenter->SimulatePointer(m_host->m_hWnd, divider1.x - 40, divider1.y));
        ASSERT_TRUE(m_presenter->SimulateButton(m_host->m_hWnd, divider1.x - 40, divider1.y, 1, false));
        EXPECT_TRUE(PumpUntil([&] { return list.GetColumnWidth(1) == 120; })) << list.GetColumnWidth(1);
        EXPECT_EQ(list.GetColumnWidth(0), 120);
        list.SetColumnWidth(1, 160);

        // The screen: the flat band, the selected tab, the sort arrow.
        CRect last, selected, band;
        m_tab.GetItemRect(3, &last);
        m_tab.GetItemRect(2, &selected);
        m_tab.GetItemRect(-1, &band);
        const POINT bandPoint = InRoot(m_tab.m_hWnd, last.right + 30, band.CenterPoint().y);
        const POINT selPoint = InRoot(m_tab.m_hWnd, selected.left + 3, selected.top + 3);
        std::vector<POINT> points{bandPoint, selPoint};
        CRect h2;
        Header(2).GetItemRect(2, &h2);
        std::vector<POINT> arrowBox;
        for (int x = h2.left + 6; x < h2.right - 4; ++x)
            for (int y = 2; y < h2.Height() - 2; ++y)
                arrowBox.push_back(InRoot(Header(2).m_hWnd, x, y));
        points.insert(points.end(), arrowBox.begin(), arrowBox.end());
        auto shot = Shot(points);
        ASSERT_TRUE(shot) << "the screen shows the window's own pixels";
        SavePng(*shot, ("toolkit-tab-lists-" + std::to_string(theme) + ".png").c_str());
        EXPECT_EQ(shot->GetPixel(bandPoint.x, bandPoint.y) & 0xFFFFFF, Rgb(XTGetColorManager()->GetColor(48)));
        EXPECT_EQ(shot->GetPixel(selPoint.x, selPoint.y) & 0xFFFFFF, Rgb(GetSysColor(COLOR_BTNFACE)));
        int shadows = 0;
        for (POINT p : arrowBox)
            shadows += (shot->GetPixel(p.x, p.y) & 0xFFFFFF) == Rgb(GetSysColor(COLOR_BTNSHADOW));
        EXPECT_GE(shadows, 4) << "the sort arrow";
    }
}

TEST_F(TabListDisplay, NavigationArrowsScrollAnOverflowingRow)
{
    XTGetThemeManager()->SetTheme(xtThemeOfficeXP);
    for (int page = 0; page < 4; ++page)
        ASSERT_TRUE(m_tab.SetTabText(page, ("留言(1234/5678)[更新中...]" + std::to_string(page)).c_str()));
    m_tab.SetActiveView(0);
    m_host->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    CXTTabNavigationWnd& nav = *m_tab.GetNavigationWnd();
    ASSERT_TRUE(PumpUntil([&] { return nav.IsShown() && nav.IsWindowVisible(); }));
    ASSERT_FALSE(nav.m_buttons[2].dwFlags & XT_NAVBTN_DISABLED);
    CRect row;
    m_tab.GetItemRect(-1, &row);
    auto first = [&] {
        TCHITTESTINFO hit{{5, row.CenterPoint().y}, 0};
        return m_tab.CTabCtrl::HitTest(&hit);
    };
    ASSERT_EQ(first(), 0);
    const CPoint right = CRect(nav.m_buttons[2].rc).CenterPoint();
    ASSERT_TRUE(Click(nav.m_hWnd, right.x, right.y));
    ASSERT_TRUE(PumpUntil([&] { return first() >= 1 && ::GetCapture() == nullptr; }));
    EXPECT_FALSE(nav.m_buttons[1].dwFlags & XT_NAVBTN_DISABLED);

    // The arrows on the screen: the band colour around a glyph of colour 49.
    const CRect rc = nav.m_buttons[2].rc;
    std::vector<POINT> glyph;
    for (int x = rc.left + 4; x < rc.left + 9; ++x)
        for (int y = rc.top + 2; y < rc.top + 11; ++y)
            glyph.push_back(InRoot(nav.m_hWnd, x, y));
    const POINT corner = InRoot(nav.m_hWnd, 1, 1);
    glyph.push_back(corner);
    auto shot = Shot(glyph);
    ASSERT_TRUE(shot);
    SavePng(*shot, "toolkit-tab-arrows.png");
    EXPECT_EQ(shot->GetPixel(corner.x, corner.y) & 0xFFFFFF, Rgb(XTGetColorManager()->GetColor(48)));
    int marks = 0;
    for (size_t i = 0; i + 1 < glyph.size(); ++i)
        marks += (shot->GetPixel(glyph[i].x, glyph[i].y) & 0xFFFFFF) == Rgb(XTGetColorManager()->GetColor(49));
    EXPECT_GE(marks, 8) << "the right arrow's glyph";
}

TEST_F(TabListDisplay, CondensedLabelsFitTheRowAndStillTakeClicks)
{
    XTGetThemeManager()->SetTheme(xtThemeOffice2003);
    m_tab.SetAutoCondense(TRUE);
    for (int page = 0; page < 4; ++page)
        ASSERT_TRUE(m_tab.SetTabText(page, ("留言(1234/5678)[更新中...]" + std::to_string(page)).c_str()));
    m_tab.SetWindowPos(nullptr, 0, 0, 400, 380, SWP_NOMOVE | SWP_NOZORDER);
    m_host->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    CRect last, client;
    m_tab.GetItemRect(3, &last);
    m_tab.GetClientRect(&client);
    EXPECT_LE(last.right, client.right) << "every tab shows";
    char text[64] = {};
    TCITEM item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    m_tab.GetItem(3, &item);
    const std::string shown = text;
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    EXPECT_FALSE(m_tab.GetNavigationWnd()->IsShown()) << "no arrows while condensing";
    ASSERT_TRUE(Click(m_tab.m_hWnd, last.CenterPoint().x, last.CenterPoint().y));
    EXPECT_TRUE(PumpUntil([&] { return m_tab.GetCurSel() == 3 && List(3).IsWindowVisible(); }));
    EXPECT_STREQ(m_tab.GetViewName(3), "留言(1234/5678)[更新中...]3") << "the full label is kept";
}
