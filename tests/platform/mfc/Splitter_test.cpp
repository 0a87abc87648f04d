// The static splitter: panes made by CreateView in nested splitters, row and
// column info round trips, the layout rule against ideal and minimum sizes,
// hit codes, a bar dragged (and cancelled) through the overridable tracking
// calls, a subclass with its own layout, and next / previous pane.
#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/HtmlView.h"
#include "platform/mfc/Splitter.h"
#include "platform/mfc/View.h"
#include "platform/win/Input.h"
#include "tests/platform/mfc/FrameworkFixture.h"
#include "tests/platform/mfc/fixtures/mfc_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_calls;

class CFixtureForm : public CFormView {
    DECLARE_DYNCREATE(CFixtureForm)
public:
    CFixtureForm() : CFormView(IDD_FORM) {}
};
IMPLEMENT_DYNCREATE(CFixtureForm, CFormView)

class CPagePane : public CHtmlView {
    DECLARE_DYNCREATE(CPagePane)
};
IMPLEMENT_DYNCREATE(CPagePane, CHtmlView)

// Leaves its selection notices to the frame after seeing them.
class CCountingTree : public CTreeView {
    DECLARE_DYNCREATE(CCountingTree)
public:
    BOOL OnSelChanged(NMHDR*, LRESULT*)
    {
        g_calls.push_back("tree saw selection");
        return FALSE;
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CCountingTree, CTreeView)
BEGIN_MESSAGE_MAP(CCountingTree, CTreeView)
    ON_NOTIFY_REFLECT_EX(TVN_SELCHANGED, OnSelChanged)
END_MESSAGE_MAP()

// Records the tracking calls and keeps every pane at its minimum in its own layout.
class CProbeSplitter : public CSplitterWnd {
public:
    using CSplitterWnd::HitTest;
    using CSplitterWnd::LayoutRowCol;
    bool m_keepMinimum = false;
    int m_layouts = 0;
    void RecalcLayout() override
    {
        ++m_layouts;
        if (!m_keepMinimum) {
            CSplitterWnd::RecalcLayout();
            return;
        }
        CRect inside;
        GetInsideRect(inside);
        LayoutRowCol(m_pRowInfo, m_nRows, inside.Height(), m_cySplitterGap);
        LayoutRowCol(m_pColInfo, m_nCols, inside.Width(), m_cxSplitterGap);
        for (int i = 0; i < m_nRows; ++i)
            m_pRowInfo[i].nCurSize = std::max(m_pRowInfo[i].nCurSize, m_pRowInfo[i].nMinSize);
        LayoutPanes();
    }
    void StartTracking(int ht) override
    {
        g_calls.push_back("start " + std::to_string(ht));
        CSplitterWnd::StartTracking(ht);
    }
    void StopTracking(BOOL bAccept) override
    {
        if (m_bTracking)
            g_calls.push_back(bAccept ? "stop accept" : "stop cancel");
        CSplitterWnd::StopTracking(bAccept);
    }
    void TrackRowSize(int y, int row) override
    {
        g_calls.push_back("row " + std::to_string(row) + " to " + std::to_string(y));
        CSplitterWnd::TrackRowSize(y, row);
    }
    void OnInvertTracker(const CRect& rect) override
    {
        g_calls.push_back("invert " + std::to_string(rect.top));
        CSplitterWnd::OnInvertTracker(rect);
    }
    int Tracking() const { return m_bTracking ? m_htTrack : 0; }
    CRect Limit() const { return m_rectLimit; }
};

// Tree | (form over HTML view), as the program's left and right columns.
class CPaneFrame : public CFrameWnd {
public:
    CSplitterWnd m_main;
    CProbeSplitter m_right;
    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) override
    {
        return m_main.CreateStatic(this, 1, 2) &&
               m_main.CreateView(0, 0, RUNTIME_CLASS(CCountingTree), CSize(150, 0), pContext) &&
               m_right.CreateStatic(&m_main, 2, 1, WS_CHILD | WS_VISIBLE | WS_BORDER, m_main.IdFromRowCol(0, 1)) &&
               m_right.CreateView(0, 0, RUNTIME_CLASS(CFixtureForm), CSize(0, 120), pContext) &&
               m_right.CreateView(1, 0, RUNTIME_CLASS(CPagePane), CSize(0, 0), pContext);
    }
    void OnTreeSelection(NMHDR*, LRESULT*) { g_calls.push_back("frame saw selection"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPaneFrame, CFrameWnd)
    ON_NOTIFY(TVN_SELCHANGED, AFX_IDW_PANE_FIRST, OnTreeSelection)
END_MESSAGE_MAP()

struct SplitterTest : tavrin::test::FrameworkResources {
    CPaneFrame* frame = nullptr;
    HWND frameWnd = nullptr;
    CCreateContext context;
    void SetUp() override
    {
        FrameworkResources::SetUp();
        g_calls.clear();
        frame = new CPaneFrame;
        ASSERT_TRUE(frame->Create(nullptr, "panes", WS_OVERLAPPEDWINDOW, CRect(0, 0, 640, 480), nullptr, nullptr, 0,
                                  &context));
        frameWnd = frame->m_hWnd;
        frame->RecalcLayout();
    }
    void TearDown() override
    {
        if (::IsWindow(frameWnd))
            ::DestroyWindow(frameWnd);
        tavrin::test::DrainMessages();
        FrameworkResources::TearDown();
    }
    static CRect RectIn(CWnd* pWnd, CWnd* pParent)
    {
        CRect r;
        pWnd->GetWindowRect(&r);
        pParent->ScreenToClient(&r);
        return r;
    }
    LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
};

TEST_F(SplitterTest, PanesAreLaidOutFromTheirIdealSizes)
{
    CSplitterWnd& main = frame->m_main;
    ASSERT_NE(main.GetPane(0, 0), nullptr);
    EXPECT_TRUE(main.GetPane(0, 0)->IsKindOf(RUNTIME_CLASS(CTreeView)));
    EXPECT_EQ(main.GetPane(0, 1), static_cast<CWnd*>(&frame->m_right));
    EXPECT_EQ(main.GetPane(0, 2), nullptr);
    EXPECT_FALSE(frame->m_right.GetStyle() & WS_BORDER);
    EXPECT_EQ(main.GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(main.IdFromRowCol(1, 2), AFX_IDW_PANE_FIRST + 18);

    CRect client;
    main.GetClientRect(&client);
    int cur = 0, min = -1;
    main.GetColumnInfo(0, cur, min);
    EXPECT_EQ(cur, 150);
    EXPECT_EQ(min, 0);
    main.GetColumnInfo(1, cur, min);
    EXPECT_EQ(cur, client.Width() - 4 - 150 - 7);
    // The tree has no edge of its own: it fills its cell inside the border.
    EXPECT_EQ(RectIn(main.GetPane(0, 0), &main), CRect(2, 2, 152, client.Height() - 2));
    // A nested splitter reaches into the border band of its cell.
    CRect nested = RectIn(&frame->m_right, &main);
    EXPECT_EQ(nested, CRect(157, 0, client.Width(), client.Height()))
        << nested.left << "," << nested.top << "," << nested.right << "," << nested.bottom;

    main.SetColumnInfo(0, 200, 40);
    main.RecalcLayout();
    main.GetColumnInfo(0, cur, min);
    EXPECT_EQ(cur, 200);
    EXPECT_EQ(min, 40);
    EXPECT_EQ(RectIn(main.GetPane(0, 0), &main).right, 202);

    // Asking for less than the minimum hides the column; out-of-range rows are ignored.
    main.SetColumnInfo(0, 30, 40);
    main.RecalcLayout();
    main.GetColumnInfo(0, cur, min);
    EXPECT_EQ(cur, 0);
    main.SetRowInfo(5, 10, 10);
    main.GetRowInfo(5, cur, min);
    EXPECT_EQ(cur, 0);
}

TEST(SplitterLayout, SharesTheSpaceByIdealAndMinimumSizes)
{
    struct Case {
        const char* what;
        std::vector<CSplitterWnd::CRowColInfo> panes; // min, ideal
        int size;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"ideal then the rest", {{10, 100, 0}, {10, 0, 0}}, 300, {100, 193}},
        {"ideal below minimum is hidden", {{50, 20, 0}, {10, 0, 0}}, 300, {0, 293}},
        {"last without room for its minimum: hidden, the first takes all", {{10, 290, 0}, {18, 0, 0}}, 300, {300, 0}},
        {"room only for the bar: the first takes it", {{0, 295, 0}, {0, 0, 0}}, 300, {300, 0}},
        {"three panes, the middle one squeezed", {{0, 100, 0}, {0, 300, 0}, {0, 0, 0}}, 300, {100, 193, 0}},
        {"no space at all", {{10, 100, 0}, {10, 0, 0}}, 0, {0, 0}},
        {"a negative size counts as none", {{0, 100, 0}, {0, 0, 0}}, -5, {0, 0}},
    };
    for (const Case& c : cases) {
        std::vector<CSplitterWnd::CRowColInfo> info = c.panes;
        CProbeSplitter::LayoutRowCol(info.data(), static_cast<int>(info.size()), c.size, 7);
        for (size_t i = 0; i < info.size(); ++i)
            EXPECT_EQ(info[i].nCurSize, c.expected[i]) << c.what << ", pane " << i;
    }
}

TEST_F(SplitterTest, HitCodesNameTheBars)
{
    CProbeSplitter& right = frame->m_right;
    int rowEnd = 2 + 120;
    EXPECT_EQ(right.HitTest(CPoint(50, rowEnd + 3)), CSplitterWnd::vSplitterBar1);
    EXPECT_EQ(right.HitTest(CPoint(50, rowEnd - 1)), CSplitterWnd::noHit);
    EXPECT_EQ(right.HitTest(CPoint(50, rowEnd + 7)), CSplitterWnd::noHit);
    CProbeSplitter grid;
    ASSERT_TRUE(grid.CreateStatic(frame, 2, 3, WS_CHILD, 1));
    grid.MoveWindow(0, 0, 300, 300);
    grid.SetColumnInfo(0, 50, 0);
    grid.SetColumnInfo(1, 50, 0);
    grid.SetRowInfo(0, 50, 0);
    grid.RecalcLayout();
    // Column bar 1 starts at 2 + 50 + 7 + 50.
    EXPECT_EQ(grid.HitTest(CPoint(110, 20)), CSplitterWnd::hSplitterBar1 + 1);
    EXPECT_EQ(grid.HitTest(CPoint(110, 54)), CSplitterWnd::splitterIntersection1 + 1);
    EXPECT_EQ(grid.HitTest(CPoint(1, 54)), CSplitterWnd::noHit); // the border
}

TEST_F(SplitterTest, DraggingABarGoesThroughTheTrackingCalls)
{
    CProbeSplitter& right = frame->m_right;
    int rowEnd = 2 + 120;
    right.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(60, rowEnd + 2));
    EXPECT_EQ(right.Tracking(), CSplitterWnd::vSplitterBar1);
    EXPECT_EQ(::GetCapture(), right.m_hWnd);
    // The limit runs from the row's top to the next row's bottom less a bar.
    CRect client;
    right.GetClientRect(&client);
    EXPECT_EQ(right.Limit().top, 2);
    EXPECT_EQ(right.Limit().bottom, client.Height() - 2 - 7);
    right.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(60, rowEnd + 42));
    right.SendMessage(WM_LBUTTONUP, 0, At(60, rowEnd + 42));
    const std::vector<std::string> expected = {"start 101",  "invert 122", "invert 122", "invert 162",
                                               "stop accept", "invert 162", "row 0 to 162"};
    EXPECT_EQ(g_calls, expected);
    EXPECT_EQ(::GetCapture(), nullptr);
    int cur = 0, min = 0;
    right.GetRowInfo(0, cur, min);
    EXPECT_EQ(cur, 160);
    EXPECT_EQ(RectIn(right.GetPane(0, 0), &right).bottom, 162);
    // The HTML pane below moved and its browser still covers it.
    auto* page = static_cast<CHtmlView*>(right.GetPane(1, 0));
    EXPECT_EQ(RectIn(page, &right).top, 162 + 7);
    CRect pageClient;
    page->GetClientRect(&pageClient);
    EXPECT_EQ(RectIn(&page->m_wndBrowser, page), pageClient);

    // Far past the end the tracker stops at its limit, which leaves the
    // lower row no room: it is hidden and the upper one takes all.
    right.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(60, 165));
    right.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(60, 5000));
    EXPECT_EQ(g_calls.back(), "invert " + std::to_string(client.Height() - 2 - 7));
    right.SendMessage(WM_LBUTTONUP, 0, At(60, 5000));
    right.GetRowInfo(0, cur, min);
    EXPECT_EQ(cur, client.Height() - 4);
    right.GetRowInfo(1, cur, min);
    EXPECT_EQ(cur, 0);
}

TEST_F(SplitterTest, EscapeCancelsADrag)
{
    CProbeSplitter& right = frame->m_right;
    right.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(60, 124));
    right.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(60, 200));
    right.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(right.Tracking(), 0);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(g_calls.back(), "invert 198");
    EXPECT_NE(std::find(g_calls.begin(), g_calls.end(), "stop cancel"), g_calls.end());
    int cur = 0, min = 0;
    right.GetRowInfo(0, cur, min);
    EXPECT_EQ(cur, 120);
}

TEST_F(SplitterTest, ASubclassLayoutKeepsItsMinimums)
{
    CProbeSplitter& right = frame->m_right;
    right.m_keepMinimum = true;
    right.SetRowInfo(0, 10, 18);
    right.SetRowInfo(1, 0, 18);
    int layouts = right.m_layouts;
    frame->SetWindowPos(nullptr, 0, 0, 640, 100, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_GT(right.m_layouts, layouts);
    int cur = 0, min = 0;
    right.GetRowInfo(0, cur, min);
    EXPECT_EQ(cur, 18);
    right.GetRowInfo(1, cur, min);
    EXPECT_GE(cur, 18);
}

TEST_F(SplitterTest, APanesNotificationsReachTheFrameOnce)
{
    auto* tree = static_cast<CTreeView*>(frame->m_main.GetPane(0, 0));
    CTreeCtrl& ctrl = tree->GetTreeCtrl();
    ctrl.SelectItem(ctrl.InsertItem("班级"));
    const std::vector<std::string> expected = {"tree saw selection", "frame saw selection"};
    EXPECT_EQ(g_calls, expected);
}

TEST_F(SplitterTest, NextAndPreviousPaneGoRoundTheNestedGrid)
{
    CWnd* tree = frame->m_main.GetPane(0, 0);
    CWnd* form = frame->m_right.GetPane(0, 0);
    CWnd* page = frame->m_right.GetPane(1, 0);
    frame->SetActiveView(static_cast<CView*>(tree));
    frame->SendMessage(WM_COMMAND, ID_NEXT_PANE);
    EXPECT_EQ(frame->GetActiveView(), form);
    frame->SendMessage(WM_COMMAND, ID_NEXT_PANE);
    EXPECT_EQ(frame->GetActiveView(), page);
    frame->SendMessage(WM_COMMAND, ID_NEXT_PANE);
    EXPECT_EQ(frame->GetActiveView(), tree);
    frame->SendMessage(WM_COMMAND, ID_PREV_PANE);
    EXPECT_EQ(frame->GetActiveView(), page);
    frame->SendMessage(WM_COMMAND, ID_PREV_PANE);
    EXPECT_EQ(frame->GetActiveView(), form);
    EXPECT_EQ(frame->m_right.GetActivePane(), form);
    int row = -1, col = -1;
    frame->m_right.GetActivePane(&row, &col);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(frame->m_main.GetActivePane(), nullptr);
    frame->m_right.SetActivePane(1, 0);
    EXPECT_EQ(frame->GetActiveView(), page);
}

} // namespace
