// Tabbed workspaces over a plain window standing for the document client:
// tabs follow the visible documents, the selection and the shares of the
// workspaces after removals, the group commands and the tab strip's scroll.
#include "ToolkitTestSupport.h"

#include "platform/mfc/FrameWnd.h"
#include "platform/win/WindowPos.h"
#include "toolkit/commandbars/XTPTabClientWnd.h"

#include <memory>
#include <string>
#include <vector>

namespace {

class CountingFrame : public CFrameWnd {
public:
    std::vector<CXTPTabClientWnd::CTabItem*> m_newTabs;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_XTP_NEWTABITEM)
            m_newTabs.push_back(reinterpret_cast<CXTPTabClientWnd::CTabItem*>(wParam));
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override {}
};

class TabClientTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        ASSERT_TRUE(m_frame.Create(nullptr, "frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, 800, 600)));
        m_frame.ShowWindow(SW_SHOWNA);
        LPCTSTR lpszClass = AfxRegisterWndClass(0);
        ASSERT_TRUE(m_client.CreateEx(0, lpszClass, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 400), &m_frame, 100));
        ASSERT_TRUE(m_tabs.Attach(&m_frame, &m_client));
    }
    void TearDown() override
    {
        m_tabs.DestroyWindow();
        for (auto& pDoc : m_docs)
            pDoc->DestroyWindow();
        m_docs.clear();
        m_client.DestroyWindow();
        m_frame.DestroyWindow();
        ToolkitTest::TearDown();
    }
    // A new document on top of the others (it becomes the active one).
    CWnd* Open(LPCTSTR lpszCaption)
    {
        auto pDoc = std::make_unique<CWnd>();
        LPCTSTR lpszClass = AfxRegisterWndClass(0);
        EXPECT_TRUE(pDoc->CreateEx(0, lpszClass, lpszCaption, WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), &m_client,
                                   static_cast<UINT>(200 + m_docs.size())));
        ::SetWindowPos(pDoc->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        m_docs.push_back(std::move(pDoc));
        return m_docs.back().get();
    }
    void Activate(CWnd* pDoc)
    {
        ::SetWindowPos(pDoc->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        m_tabs.Refresh();
    }
    // The captions of each workspace's tabs.
    std::vector<std::vector<std::string>> Captions() const
    {
        std::vector<std::vector<std::string>> all;
        for (int w = 0; w < m_tabs.GetWorkspaceCount(); ++w) {
            std::vector<std::string> captions;
            for (auto& pItem : m_tabs.GetWorkspace(w)->m_arrItems)
                captions.emplace_back(pItem->strCaption);
            all.push_back(captions);
        }
        return all;
    }
    std::string Selected(int w) const
    {
        auto* pItem = m_tabs.GetWorkspace(w)->GetSelected();
        return pItem ? std::string(pItem->strCaption) : std::string();
    }

    CountingFrame m_frame;
    CWnd m_client;
    CXTPTabClientWnd m_tabs;
    std::vector<std::unique_ptr<CWnd>> m_docs;
};

using Groups = std::vector<std::vector<std::string>>;

} // namespace

TEST_F(TabClientTest, TabsFollowTheVisibleDocuments)
{
    m_tabs.Refresh();
    EXPECT_EQ(m_tabs.GetWorkspaceCount(), 0);
    CWnd* pA = Open("甲");
    m_tabs.Refresh();
    CWnd* pB = Open("乙");
    CWnd* pC = Open("丙");
    m_tabs.Refresh();
    // In z-order, one message per new tab, naming its item.
    EXPECT_EQ(Captions(), (Groups{{"甲", "丙", "乙"}}));
    ASSERT_EQ(m_frame.m_newTabs.size(), 3u);
    EXPECT_EQ(m_frame.m_newTabs[0], m_tabs.FindItem(pA->m_hWnd));
    EXPECT_EQ(m_frame.m_newTabs[1], m_tabs.FindItem(pC->m_hWnd));
    EXPECT_EQ(Selected(0), "丙") << "the active document's tab";
    // A caption change follows; a hidden document loses its tab.
    pB->SetWindowText("乙二");
    pC->ShowWindow(SW_HIDE);
    m_tabs.Refresh();
    EXPECT_EQ(Captions(), (Groups{{"甲", "乙二"}}));
    EXPECT_EQ(m_frame.m_newTabs.size(), 3u);
    // A closed document's tab goes; the last one takes the workspace with it.
    pB->DestroyWindow();
    m_tabs.Refresh();
    EXPECT_EQ(Captions(), (Groups{{"甲"}}));
    pA->ShowWindow(SW_HIDE);
    m_tabs.Refresh();
    EXPECT_EQ(m_tabs.GetWorkspaceCount(), 0);
    EXPECT_EQ(m_tabs.GetActiveWorkspace(), nullptr);
}

TEST_F(TabClientTest, RemovingATabSelectsTheOneTakingItsIndex)
{
    struct Case {
        int nSelected;
        int nRemoved;
        int nExpected;
    };
    const Case cases[] = {{1, 1, 1}, {3, 3, 2}, {2, 0, 1}, {0, 2, 0}, {0, 0, 0}};
    for (const Case& c : cases) {
        CXTPTabClientWnd::CWorkspace ws;
        for (int i = 0; i < 4; ++i)
            ws.m_arrItems.push_back(std::make_unique<CXTPTabClientWnd::CTabItem>());
        ws.m_nSelected = c.nSelected;
        ws.RemoveItem(c.nRemoved);
        EXPECT_EQ(ws.m_nSelected, c.nExpected) << c.nSelected << " " << c.nRemoved;
    }
    CXTPTabClientWnd::CWorkspace single;
    single.m_arrItems.push_back(std::make_unique<CXTPTabClientWnd::CTabItem>());
    single.m_nSelected = 0;
    single.RemoveItem(0);
    EXPECT_EQ(single.m_nSelected, -1);
}

TEST_F(TabClientTest, GroupCommandsAndTheSharesOfRemovedWorkspaces)
{
    CWnd* pA = Open("甲");
    CWnd* pB = Open("乙");
    m_tabs.Refresh();
    ASSERT_EQ(Selected(0), "乙");
    struct Expect {
        UINT nID;
        BOOL bEnabled;
    };
    auto check = [&](std::initializer_list<Expect> expects) {
        for (const Expect& e : expects)
            EXPECT_EQ(m_tabs.IsCommandEnabled(e.nID), e.bEnabled) << e.nID;
    };
    check({{9420, FALSE}, {9421, FALSE}, {9422, TRUE}, {9423, TRUE}, {100, TRUE}});
    ASSERT_TRUE(m_tabs.OnWorkspaceCommand(XTP_ID_WORKSPACE_NEWVERTICAL));
    EXPECT_EQ(Captions(), (Groups{{"甲"}, {"乙"}}));
    EXPECT_DOUBLE_EQ(m_tabs.GetWorkspace(0)->m_dShare, 0.5);
    // The active document alone in the second of two vertical groups.
    check({{9420, TRUE}, {9421, FALSE}, {9422, FALSE}, {9423, FALSE}});
    Open("丙");
    m_tabs.Refresh();
    EXPECT_EQ(Captions(), (Groups{{"甲"}, {"乙", "丙"}}));
    check({{9420, TRUE}, {9421, FALSE}, {9422, FALSE}, {9423, TRUE}});
    ASSERT_TRUE(m_tabs.OnWorkspaceCommand(XTP_ID_WORKSPACE_NEWVERTICAL));
    EXPECT_EQ(Captions(), (Groups{{"甲"}, {"乙"}, {"丙"}}));
    EXPECT_DOUBLE_EQ(m_tabs.GetWorkspace(1)->m_dShare, 0.25);
    // The middle group's last document goes: the previous group takes its share.
    pB->ShowWindow(SW_HIDE);
    m_tabs.Refresh();
    EXPECT_EQ(Captions(), (Groups{{"甲"}, {"丙"}}));
    EXPECT_DOUBLE_EQ(m_tabs.GetWorkspace(0)->m_dShare, 0.75);
    // The first group's goes: the next one takes it.
    pA->ShowWindow(SW_HIDE);
    m_tabs.Refresh();
    EXPECT_EQ(Captions(), (Groups{{"丙"}}));
    EXPECT_DOUBLE_EQ(m_tabs.GetWorkspace(0)->m_dShare, 1.0);
    // Without an active document every command is off.
    CXTPTabClientWnd plain;
    EXPECT_FALSE(plain.IsCommandEnabled(9420));
}

TEST_F(TabClientTest, ScrollOffsetBringsTheSelectedTabIntoView)
{
    CXTPTabClientWnd::CWorkspace ws;
    ws.m_rcStrip = CRect(0, 0, 100, 22);
    for (int i = 0; i < 3; ++i) {
        auto pItem = std::make_unique<CXTPTabClientWnd::CTabItem>();
        pItem->strCaption = "文档文档";
        ws.m_arrItems.push_back(std::move(pItem));
    }
    ws.RepositionTabs(nullptr); // 56 + 16 + 14 = 86 pixels each
    const int nWidth = ws.m_arrItems[0]->rcItem.Width();
    ASSERT_GT(nWidth, 0);
    struct Step {
        int nIndex;
        int nOffset;
    };
    const Step steps[] = {
        {0, 0},                 // in view already
        {2, 100 - 3 * nWidth},  // ends at the strip's end
        {1, -nWidth},           // starts at the strip's start
        {0, 0},                 // never above 0
    };
    for (const Step& step : steps) {
        ws.EnsureVisible(step.nIndex);
        EXPECT_EQ(ws.m_nScrollOffset, step.nOffset) << step.nIndex;
        EXPECT_EQ(ws.m_arrItems[0]->rcItem.left, step.nOffset);
    }
}
