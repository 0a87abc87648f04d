// The toolkit splitter over the framework's static splitter: hiding and
// showing rows and columns, swapping and replacing views, cursors, the
// tracker, dragging with and without full windows, and the themed bars.
#include "tests/toolkit/TestViews.h"
#include "tests/toolkit/ToolkitTestSupport.h"

#include "platform/base/Clock.h"
#include "platform/mfc/Document.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/User.h"
#include "toolkit/controls/XTGlobalData.h"
#include "toolkit/controls/XTSplitterWnd.h"

#include <string>
#include <vector>

using namespace tavrin;

namespace {

int g_initialUpdates = 0;

using test::WhiteView;

class OtherView : public WhiteView {
    DECLARE_DYNCREATE(OtherView)
public:
    void OnInitialUpdate() override { ++g_initialUpdates; }
};
IMPLEMENT_DYNCREATE(OtherView, WhiteView)

class Splitter : public CXTSplitterWnd {
public:
    using CXTSplitterWnd::GetHitRect;
    using CXTSplitterWnd::GetInsideRect;
    using CXTSplitterWnd::HitTest;
    using CXTSplitterWnd::SetSplitCursor;
    int ColWidth(int col) const { return m_pColInfo[col].nCurSize; }
    int RowHeight(int row) const { return m_pRowInfo[row].nCurSize; }
};

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

class SplitterTest : public test::ToolkitTest {
protected:
    void TearDown() override
    {
        if (parent.GetSafeHwnd())
            parent.DestroyWindow();
        Pump();
        XTGetThemeManager()->SetTheme(xtThemeDefault);
        test::FakeThemeLibrary::Uninstall();
        ToolkitTest::TearDown();
    }
    void Make(int rows, int cols, DWORD style = XT_SPLIT_NOFULLDRAG)
    {
        ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "frame", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                                    400, 300, nullptr, nullptr));
        ASSERT_TRUE(splitter.CreateStatic(&parent, rows, cols, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN));
        splitter.SetSplitterStyle(style);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                ASSERT_TRUE(splitter.CreateView(r, c, RUNTIME_CLASS(WhiteView), CSize(100, 100), nullptr));
        splitter.MoveWindow(0, 0, 400, 300);
        splitter.RecalcLayout();
        Pump();
    }
    CWnd* Pane(int r, int c) { return splitter.GetPane(r, c); }
    // A point in the middle of a bar, in screen coordinates.
    POINT OnBar(int ht)
    {
        CRect rc;
        splitter.GetHitRect(ht, rc);
        POINT pt{rc.CenterPoint().x, rc.CenterPoint().y};
        splitter.ClientToScreen(&pt);
        return pt;
    }
    COLORREF PixelAt(int x, int y)
    {
        CDC* pDC = splitter.GetDC();
        const COLORREF clr = pDC->GetPixel(x, y);
        splitter.ReleaseDC(pDC);
        return clr;
    }

    CWnd parent;
    Splitter splitter;
};

} // namespace

TEST_F(SplitterTest, HidingAndShowingAColumnKeepsIdsAndWidths)
{
    Make(1, 3);
    CWnd* v0 = Pane(0, 0);
    CWnd* v1 = Pane(0, 1);
    CWnd* v2 = Pane(0, 2);
    splitter.SetColumnInfo(0, 90, 10);
    splitter.SetColumnInfo(1, 120, 10);
    splitter.RecalcLayout();
    ASSERT_EQ(splitter.ColWidth(1), 120);
    splitter.HideColumn(1);
    EXPECT_EQ(splitter.GetColumnCount(), 2);
    EXPECT_EQ(splitter.GetHiddenColIndex(), 1);
    EXPECT_EQ(Pane(0, 0), v0);
    EXPECT_EQ(Pane(0, 1), v2);
    EXPECT_FALSE(v1->IsWindowVisible());
    EXPECT_EQ(v1->GetDlgCtrlID(), splitter.IdFromRowCol(0, 3)); // past the last of three
    splitter.HideColumn(1); // already hidden: nothing
    EXPECT_EQ(splitter.GetColumnCount(), 2);
    splitter.ShowColumn();
    EXPECT_EQ(splitter.GetColumnCount(), 3);
    EXPECT_EQ(splitter.GetHiddenColIndex(), -1);
    EXPECT_EQ(Pane(0, 0), v0);
    EXPECT_EQ(Pane(0, 1), v1);
    EXPECT_EQ(Pane(0, 2), v2);
    EXPECT_TRUE(v1->IsWindowVisible());
    EXPECT_EQ(splitter.ColWidth(0), 90);
    EXPECT_EQ(splitter.ColWidth(1), 120);
    // Hiding another column shows the hidden one first.
    splitter.HideColumn(2);
    splitter.HideColumn(0);
    EXPECT_EQ(splitter.GetHiddenColIndex(), 0);
    EXPECT_EQ(Pane(0, 0), v1);
    EXPECT_EQ(Pane(0, 1), v2);
    EXPECT_TRUE(v2->IsWindowVisible());
}

TEST_F(SplitterTest, ColumnZeroOfOneByTwo)
{
    Make(1, 2);
    CWnd* v0 = Pane(0, 0);
    CWnd* v1 = Pane(0, 1);
    splitter.SetColumnInfo(0, 150, 10);
    splitter.RecalcLayout();
    splitter.HideColumn(0);
    EXPECT_EQ(splitter.GetColumnCount(), 1);
    EXPECT_EQ(Pane(0, 0), v1);
    EXPECT_EQ(v1->GetDlgCtrlID(), splitter.IdFromRowCol(0, 0));
    CRect rc;
    v1->GetWindowRect(&rc);
    EXPECT_GT(rc.Width(), 350); // the one column takes the splitter
    splitter.ShowColumn();
    EXPECT_EQ(Pane(0, 0), v0);
    EXPECT_EQ(Pane(0, 1), v1);
    EXPECT_EQ(splitter.ColWidth(0), 150);
}

TEST_F(SplitterTest, HidingAndShowingARow)
{
    Make(2, 1);
    CWnd* v0 = Pane(0, 0);
    CWnd* v1 = Pane(1, 0);
    splitter.SetRowInfo(0, 180, 10);
    splitter.RecalcLayout();
    const int lower = splitter.RowHeight(1);
    splitter.HideRow(1);
    EXPECT_EQ(splitter.GetHiddenRowIndex(), 1);
    EXPECT_EQ(splitter.GetRowCount(), 1);
    EXPECT_FALSE(v1->IsWindowVisible());
    splitter.ShowRow();
    EXPECT_EQ(splitter.GetHiddenRowIndex(), -1);
    EXPECT_EQ(Pane(0, 0), v0);
    EXPECT_EQ(Pane(1, 0), v1);
    EXPECT_EQ(splitter.RowHeight(0), 180);
    EXPECT_EQ(splitter.RowHeight(1), lower);
    splitter.ShowRow(); // none hidden: nothing
    EXPECT_EQ(splitter.GetRowCount(), 2);
}

TEST_F(SplitterTest, InvalidHidesChangeNothing)
{
    Make(2, 2);
    struct Case {
        bool column;
        int index;
    } cases[] = {{true, -1}, {true, 2}, {true, 99}, {false, -2}, {false, 2}};
    for (const Case& c : cases) {
        c.column ? splitter.HideColumn(c.index) : splitter.HideRow(c.index);
        EXPECT_EQ(splitter.GetColumnCount(), 2) << c.index;
        EXPECT_EQ(splitter.GetRowCount(), 2) << c.index;
        EXPECT_EQ(splitter.GetHiddenColIndex(), -1);
        EXPECT_EQ(splitter.GetHiddenRowIndex(), -1);
    }
    // The only column left stays.
    splitter.HideColumn(1);
    CWnd* last = Pane(0, 0);
    splitter.HideColumn(0);
    EXPECT_EQ(splitter.GetColumnCount(), 1);
    EXPECT_EQ(splitter.GetHiddenColIndex(), 1);
    EXPECT_EQ(Pane(0, 0), last);
    EXPECT_TRUE(last->IsWindowVisible());
}

TEST_F(SplitterTest, SwitchAndReplaceViews)
{
    Make(1, 2);
    auto* v0 = static_cast<CView*>(Pane(0, 0));
    auto* v1 = static_cast<CView*>(Pane(0, 1));
    EXPECT_FALSE(splitter.SwitchView(0, 0, v0));
    auto* spare = static_cast<CView*>(RUNTIME_CLASS(WhiteView)->CreateObject());
    ASSERT_TRUE(spare->Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 10, 10), &splitter, 77, nullptr));
    EXPECT_TRUE(splitter.SwitchView(0, 0, spare));
    EXPECT_EQ(Pane(0, 0), spare);
    EXPECT_EQ(v0->GetDlgCtrlID(), 77);

    EXPECT_EQ(splitter.ReplaceView(0, 1, v1), nullptr);
    EXPECT_EQ(splitter.ReplaceView(0, 1, v0), v1);
    EXPECT_EQ(Pane(0, 1), v0);
    EXPECT_EQ(v1->GetDlgCtrlID(), 0);
    EXPECT_FALSE(v1->IsWindowVisible());
    EXPECT_TRUE(::IsWindow(v1->GetSafeHwnd())); // kept, not destroyed

    splitter.SetColumnInfo(0, 130, 20);
    splitter.RecalcLayout();
    g_initialUpdates = 0;
    CView* old = splitter.ReplaceView(0, 0, RUNTIME_CLASS(OtherView));
    EXPECT_EQ(old, spare);
    ASSERT_TRUE(Pane(0, 0));
    EXPECT_TRUE(Pane(0, 0)->IsKindOf(RUNTIME_CLASS(OtherView)));
    EXPECT_EQ(g_initialUpdates, 1);
    EXPECT_EQ(spare->GetDlgCtrlID(), 0);
    int cx = 0, cxMin = 0;
    splitter.GetColumnInfo(0, cx, cxMin);
    EXPECT_EQ(cx, 130);
    EXPECT_EQ(cxMin, 20);
    EXPECT_EQ(splitter.ReplaceView(0, 0, RUNTIME_CLASS(OtherView)), nullptr);
    EXPECT_EQ(splitter.ReplaceView(0, 0, RUNTIME_CLASS(CObject)), nullptr);
}

TEST_F(SplitterTest, CursorsByHitCode)
{
    Make(2, 2);
    const CXTGlobalData* data = XTGetGlobalData();
    ASSERT_TRUE(data->hcurHSplitBar);
    ASSERT_TRUE(data->hcurVSplitBar);
    struct Case {
        int ht;
        HCURSOR expected;
    } cases[] = {
        {1, data->hcurHSplitBar},   {101, data->hcurHSplitBar}, {115, data->hcurHSplitBar},
        {2, data->hcurVSplitBar},   {201, data->hcurVSplitBar}, {215, data->hcurVSplitBar},
        {0, LoadCursorA(nullptr, IDC_ARROW)}, {301, LoadCursorA(nullptr, IDC_SIZEALL)},
    };
    for (const Case& c : cases) {
        splitter.SetSplitCursor(c.ht);
        EXPECT_EQ(GetCursor(), c.expected) << c.ht;
    }
}

TEST_F(SplitterTest, StyleEightFreezesTheBars)
{
    Make(1, 2, XT_SPLIT_NOFULLDRAG | XT_SPLIT_NOSIZE);
    const int width = splitter.ColWidth(0);
    const POINT bar = OnBar(CSplitterWnd::hSplitterBar1);
    EXPECT_EQ(splitter.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(bar.x, bar.y)), HTBORDER);
    SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
    win::InjectMouseMove(bar.x, bar.y);
    win::InjectMouseButton(win::MouseButton::Left, true);
    win::InjectMouseMove(bar.x + 40, bar.y);
    win::InjectMouseButton(win::MouseButton::Left, false);
    Pump();
    EXPECT_EQ(splitter.ColWidth(0), width);
    EXPECT_NE(GetCursor(), XTGetGlobalData()->hcurVSplitBar);
    splitter.SetSplitterStyle(XT_SPLIT_NOFULLDRAG);
    EXPECT_EQ(splitter.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(bar.x, bar.y)), HTCLIENT);
}

TEST_F(SplitterTest, BarsDraggedByTheMouseWithAndWithoutFullWindows)
{
    for (BOOL full : {FALSE, TRUE}) {
        SCOPED_TRACE(full);
        win::SetSystemParameter(SPI_GETDRAGFULLWINDOWS, full);
        Make(1, 2, 0);
        EXPECT_EQ(splitter.IsFullDrag(), full);
        const int width = splitter.ColWidth(0);
        const POINT bar = OnBar(CSplitterWnd::hSplitterBar1);
        win::InjectMouseMove(bar.x, bar.y);
        win::InjectMouseButton(win::MouseButton::Left, true);
        Pump();
        win::InjectMouseMove(bar.x + 30, bar.y);
        Pump();
        // With full windows the panes follow the mouse; else they wait for the release.
        EXPECT_EQ(splitter.ColWidth(0), full ? width + 30 : width);
        win::InjectMouseMove(bar.x + 50, bar.y);
        win::InjectMouseButton(win::MouseButton::Left, false);
        Pump();
        EXPECT_EQ(splitter.ColWidth(0), width + 50);
        EXPECT_EQ(GetCapture(), nullptr);
        // A press and release without moving leaves the bar where it is.
        const POINT again = OnBar(CSplitterWnd::hSplitterBar1);
        clock::Advance(1000);
        win::InjectClick(again.x, again.y);
        Pump();
        EXPECT_EQ(splitter.ColWidth(0), width + 50);
        parent.DestroyWindow();
        Pump();
    }
}

TEST_F(SplitterTest, TrackerAsInvertedStripOrFocusRectangle)
{
    Make(1, 2, XT_SPLIT_NOFULLDRAG);
    // While a bar is tracked the tracker may cross the panes.
    const POINT press = OnBar(CSplitterWnd::hSplitterBar1);
    win::InjectMouseMove(press.x, press.y);
    win::InjectMouseButton(win::MouseButton::Left, true);
    Pump();
    EXPECT_FALSE(splitter.GetStyle() & WS_CLIPCHILDREN);
    win::InjectMouseButton(win::MouseButton::Left, false);
    Pump();
    EXPECT_TRUE(splitter.GetStyle() & WS_CLIPCHILDREN);
    splitter.ModifyStyle(WS_CLIPCHILDREN, 0);
    splitter.UpdateWindow();
    CRect bar;
    splitter.GetHitRect(CSplitterWnd::hSplitterBar1, bar);
    const int y = bar.top + 40;
    std::vector<COLORREF> before;
    for (int x = bar.left; x < bar.right; ++x)
        before.push_back(PixelAt(x, y));
    splitter.OnInvertTracker(bar);
    for (int x = bar.left; x < bar.right; ++x) {
        const bool inverted = x >= bar.right - 4;
        const COLORREF was = before[static_cast<size_t>(x - bar.left)];
        EXPECT_EQ(PixelAt(x, y), inverted ? (~was & 0xFFFFFF) : was) << x;
    }
    splitter.OnInvertTracker(bar); // gone again
    EXPECT_EQ(PixelAt(bar.right - 1, y), before.back());

    // Flag 1: a dotted frame from the inside's top left to the tracker.
    splitter.SetSplitterStyle(XT_SPLIT_NOFULLDRAG | XT_SPLIT_DOTTRACKER);
    CRect inside;
    splitter.GetInsideRect(inside);
    const COLORREF edge0 = PixelAt(inside.left, inside.top + 40);
    const COLORREF edge1 = PixelAt(inside.left, inside.top + 41);
    const COLORREF strip = PixelAt(bar.right - 1, y);
    splitter.OnInvertTracker(bar);
    EXPECT_TRUE(PixelAt(inside.left, inside.top + 40) != edge0 || PixelAt(inside.left, inside.top + 41) != edge1);
    EXPECT_TRUE(PixelAt(bar.right - 1, y) != strip || PixelAt(bar.right - 1, y + 1) != strip);
    EXPECT_EQ(PixelAt(bar.right + 20, y), PixelAt(bar.right + 20, y)); // nothing beyond
    splitter.OnInvertTracker(bar);
    EXPECT_EQ(PixelAt(inside.left, inside.top + 40), edge0);
}

TEST_F(SplitterTest, Office2003BarsFollowTheXpScheme)
{
    struct Case {
        const wchar_t* color;
        COLORREF face;
        COLORREF shadow;
    } cases[] = {
        {L"NormalColor", RGB(216, 231, 252), RGB(158, 190, 245)},
        {L"HomeStead", RGB(226, 231, 191), RGB(171, 192, 138)},
        {L"Metallic", RGB(223, 223, 234), RGB(177, 176, 195)},
        {L"Aqua", GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW)},
    };
    Make(1, 2);
    test::FakeThemeLibrary::Install();
    test::FakeThemeLibrary::fileName = L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles";
    for (const Case& c : cases) {
        test::FakeThemeLibrary::colorName = c.color;
        XTGetThemeManager()->SetTheme(xtThemeOffice2003);
        splitter.SendMessage(WM_SETTINGCHANGE, 0, 0);
        CXTSplitterTheme* theme = splitter.GetSplitterTheme();
        ASSERT_TRUE(theme);
        EXPECT_EQ(test::ColorText(theme->m_clrSplitterFace), test::ColorText(c.face));
        EXPECT_EQ(test::ColorText(theme->m_clrSplitterBorders), test::ColorText(c.shadow));
        splitter.Invalidate();
        splitter.UpdateWindow();
        CRect bar;
        splitter.GetHitRect(CSplitterWnd::hSplitterBar1, bar);
        EXPECT_EQ(test::ColorText(PixelAt(bar.CenterPoint().x, bar.CenterPoint().y)), test::ColorText(c.face));
    }
    // Other themes keep the system's face.
    XTGetThemeManager()->SetTheme(xtThemeOfficeXP);
    EXPECT_EQ(splitter.GetSplitterTheme()->m_clrSplitterFace, GetSysColor(COLOR_BTNFACE));
}
