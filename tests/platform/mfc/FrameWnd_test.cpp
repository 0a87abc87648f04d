// Frames: bars laid out through WM_SIZEPARENT and the view given the rest,
// the delayed layout at idle time, status prompts while menu items are
// selected, the standard commands, accelerators reaching the active view
// first, and the float-status notices to owned mini frames.
#include "platform/mfc/ControlBar.h"
#include "platform/mfc/WinApp.h"
#include "tests/platform/mfc/FrameworkFixture.h"
#include "tests/platform/mfc/fixtures/mfc_fixture.h"
#include "platform/win/Input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_events;

class CPlainView : public CView {
public:
    std::string m_name;
    void OnDraw(CDC*) override {}
    void OnActivateView(BOOL bActivate, CView* pActivate, CView* pDeactive) override
    {
        g_events.push_back(m_name + (bActivate ? " activated" : " deactivated"));
        CView::OnActivateView(bActivate, pActivate, pDeactive);
    }
    void OnAction() { g_events.push_back(m_name + " action"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPlainView, CView)
    ON_COMMAND(ID_FIXTURE_ACTION, OnAction)
END_MESSAGE_MAP()

// A bar of a fixed thickness along its edge, counting its idle updates.
class CSlabBar : public CControlBar {
public:
    int m_thickness = 0;
    int m_updates = 0;
    BOOL Create(CWnd* pParent, DWORD dwStyle, UINT nID, int thickness)
    {
        m_thickness = thickness;
        return CWnd::Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | dwStyle, CRect(0, 0, 0, 0), pParent, nID);
    }
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override
    {
        return bHorz ? CSize(bStretch ? 32767 : 50, m_thickness) : CSize(m_thickness, bStretch ? 32767 : 50);
    }
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override { ++m_updates; }
};

class CBarFrame : public CFrameWnd {
public:
    CSlabBar m_top, m_left, m_status;
    CPlainView* m_pView = nullptr;
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        // The message bar first, so it takes the bottom across the whole width.
        if (!m_status.Create(this, CBRS_BOTTOM, AFX_IDW_STATUS_BAR, 20) ||
            !m_top.Create(this, CBRS_TOP, IDW_FIXTURE_TOPBAR, 24) ||
            !m_left.Create(this, CBRS_LEFT, IDW_FIXTURE_LEFTBAR, 30))
            return -1;
        return 0;
    }
    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext*) override
    {
        m_pView = new CPlainView;
        m_pView->m_name = "first";
        return m_pView->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, AFX_IDW_PANE_FIRST);
    }
    void OnAction() { g_events.push_back("frame action"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBarFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_FIXTURE_ACTION, OnAction)
END_MESSAGE_MAP()

class CFrameApp : public CWinApp {
public:
    void OnNoPrompt() { g_events.push_back("app noprompt"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CFrameApp, CWinApp)
    ON_COMMAND(ID_FIXTURE_NOPROMPT, OnNoPrompt)
END_MESSAGE_MAP()

CRect ChildRect(CWnd& wnd)
{
    CRect r;
    wnd.GetWindowRect(&r);
    wnd.GetParent()->ScreenToClient(&r);
    return r;
}

std::string Text(CWnd& wnd)
{
    CString s;
    wnd.GetWindowText(s);
    return std::string(static_cast<LPCTSTR>(s));
}

class FrameTest : public tavrin::test::FrameworkResources {
protected:
    void SetUp() override
    {
        FrameworkResources::SetUp();
        g_events.clear();
        m_pFrame = new CBarFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_DOCFRAME, WS_OVERLAPPEDWINDOW));
        m_hFrame = m_pFrame->m_hWnd;
        m_app.m_pMainWnd = m_pFrame;
        m_pFrame->SetActiveView(m_pFrame->m_pView, FALSE);
        // Client area 400 x 300.
        CRect rect(0, 0, 400, 300);
        ::AdjustWindowRectEx(&rect, m_pFrame->GetStyle(), TRUE, m_pFrame->GetExStyle());
        m_pFrame->SetWindowPos(nullptr, 10, 10, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        m_pFrame->ShowWindow(SW_SHOWNA);
    }
    void TearDown() override
    {
        if (::IsWindow(m_hFrame))
            ::DestroyWindow(m_hFrame);
        Drain();
        FrameworkResources::TearDown();
    }
    static bool Drain() { return tavrin::test::DrainMessages(); }
    CFrameApp m_app;
    CBarFrame* m_pFrame = nullptr;
    HWND m_hFrame = nullptr;
};

} // namespace

TEST_F(FrameTest, BarsTakeTheirEdgesAndTheViewTheRest)
{
    CRect client;
    m_pFrame->GetClientRect(&client);
    ASSERT_EQ(client, CRect(0, 0, 400, 300));
    EXPECT_EQ(ChildRect(m_pFrame->m_status), CRect(0, 280, 400, 300));
    EXPECT_EQ(ChildRect(m_pFrame->m_top), CRect(0, 0, 400, 24));
    EXPECT_EQ(ChildRect(m_pFrame->m_left), CRect(0, 24, 30, 280));
    EXPECT_EQ(ChildRect(*m_pFrame->m_pView), CRect(30, 24, 400, 280));

    // A query measures without moving anything.
    CRect left;
    m_pFrame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &left, nullptr, TRUE);
    EXPECT_EQ(left, CRect(30, 24, 400, 280));
    CRect total;
    m_pFrame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &total, nullptr, FALSE);
    // Unstretched: the bars' own sizes, stacked (two across, one beside).
    EXPECT_EQ(total, CRect(0, 0, 80, 50));

    // Extra borders are kept free around the view.
    m_pFrame->m_rectBorder = CRect(2, 3, 4, 5);
    m_pFrame->RecalcLayout();
    EXPECT_EQ(ChildRect(*m_pFrame->m_pView), CRect(32, 27, 396, 275));
    m_pFrame->m_rectBorder = CRect();

    // Resizing the frame lays it out again.
    CRect window;
    m_pFrame->GetWindowRect(&window);
    m_pFrame->SetWindowPos(nullptr, 0, 0, window.Width() + 100, window.Height() + 50, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(ChildRect(m_pFrame->m_status), CRect(0, 330, 500, 350));
    EXPECT_EQ(ChildRect(*m_pFrame->m_pView), CRect(30, 24, 500, 330));
}

TEST_F(FrameTest, DelayedShowAndLayoutWaitForTheIdlePass)
{
    m_pFrame->ShowControlBar(&m_pFrame->m_top, FALSE, TRUE);
    EXPECT_TRUE(m_pFrame->m_top.IsWindowVisible()) << "hidden only at idle time";
    EXPECT_FALSE(m_pFrame->m_top.IsVisible());
    EXPECT_TRUE(m_pFrame->m_nIdleFlags & CFrameWnd::idleLayout);
    m_app.OnIdle(0);
    EXPECT_FALSE(m_pFrame->m_top.IsWindowVisible());
    EXPECT_EQ(ChildRect(*m_pFrame->m_pView), CRect(30, 0, 400, 280));
    EXPECT_EQ(m_pFrame->m_nIdleFlags, 0u);
    // The idle pass also updated the visible bars' items.
    EXPECT_GE(m_pFrame->m_left.m_updates, 1);
    EXPECT_EQ(m_pFrame->m_top.m_updates, 0);

    m_pFrame->m_top.DelayShow(TRUE);
    m_app.OnIdle(0);
    EXPECT_TRUE(m_pFrame->m_top.IsWindowVisible());
    EXPECT_EQ(ChildRect(*m_pFrame->m_pView), CRect(30, 24, 400, 280));

    // A layout asked for while one runs is not run inside it.
    m_pFrame->DelayRecalcLayout();
    EXPECT_FALSE(m_pFrame->IsInRecalcLayout());
    m_pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(m_pFrame->m_nIdleFlags, 0u);
}

TEST_F(FrameTest, PromptsFollowTheSelectedMenuItem)
{
    Drain(); // the idle prompt posted at creation
    EXPECT_EQ(Text(m_pFrame->m_status), "就绪");
    HMENU menu = ::GetSubMenu(::GetMenu(m_hFrame), 0);
    struct Step {
        UINT item;
        UINT flags;
        HMENU menu;
        const char* shown;
    };
    const Step steps[] = {
        {ID_FIXTURE_ACTION, MF_STRING, menu, "运行示例动作"}, // the part before "\n"
        {ID_FIXTURE_VIEWONLY, MF_STRING, menu, "只有视图处理"}, // a prompt without a tooltip
        {ID_FIXTURE_NOPROMPT, MF_STRING, menu, ""},              // no string: no text
        {0, MF_POPUP, menu, ""},
        {0xF060, MF_STRING, menu, "关闭活动窗口"}, // SC_CLOSE of the system menu
        {0, 0xFFFF, nullptr, "就绪"},                // the menu closed
    };
    for (const Step& s : steps) {
        m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(s.item, s.flags), reinterpret_cast<LPARAM>(s.menu));
        EXPECT_EQ(Text(m_pFrame->m_status), s.shown) << s.item;
    }

    // While a menu item is tracked a pop leaves the prompt alone.
    m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_FIXTURE_ACTION, MF_STRING), reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(m_pFrame->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE), 0);
    EXPECT_EQ(Text(m_pFrame->m_status), "运行示例动作");
    // A set answers the id shown before it; a text goes in as it is.
    EXPECT_EQ(m_pFrame->SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>("正在更新")),
              static_cast<LRESULT>(ID_FIXTURE_ACTION));
    EXPECT_EQ(Text(m_pFrame->m_status), "正在更新");
    m_pFrame->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    EXPECT_EQ(Text(m_pFrame->m_status), "就绪");
}

TEST_F(FrameTest, CommandsGoToTheActiveViewFirstThenFrameThenApplication)
{
    m_pFrame->SendMessage(WM_COMMAND, ID_FIXTURE_ACTION);
    m_pFrame->SendMessage(WM_COMMAND, ID_FIXTURE_NOPROMPT);
    EXPECT_EQ(g_events, (std::vector<std::string>{"first action", "app noprompt"}));

    // Without an active view the frame's own handler runs.
    g_events.clear();
    m_pFrame->SetActiveView(nullptr, FALSE);
    m_pFrame->SendMessage(WM_COMMAND, ID_FIXTURE_ACTION);
    EXPECT_EQ(g_events, (std::vector<std::string>{"frame action"}));

    // An accelerator of the frame's table on a key the view received.
    g_events.clear();
    m_pFrame->SetActiveView(m_pFrame->m_pView, FALSE);
    MSG key{m_pFrame->m_pView->m_hWnd, WM_KEYDOWN, VK_F5, 0, 0, {}};
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(m_hFrame, &key));
    EXPECT_EQ(g_events, (std::vector<std::string>{"first action"}));
    MSG other{m_pFrame->m_pView->m_hWnd, WM_KEYDOWN, VK_F7, 0, 0, {}};
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(m_hFrame, &other));
}

TEST_F(FrameTest, TheStatusBarToggleIsTickedWhileShown)
{
    HMENU viewMenu = ::GetSubMenu(::GetMenu(m_hFrame), 1);
    auto ticked = [&] {
        m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(viewMenu), 1);
        return (::GetMenuState(viewMenu, ID_VIEW_STATUS_BAR, MF_BYCOMMAND) & MF_CHECKED) != 0;
    };
    EXPECT_TRUE(ticked());
    m_pFrame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(m_pFrame->m_status.IsWindowVisible());
    EXPECT_EQ(ChildRect(*m_pFrame->m_pView), CRect(30, 24, 400, 300));
    EXPECT_FALSE(ticked());
    m_pFrame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(m_pFrame->m_status.IsWindowVisible());
    EXPECT_TRUE(ticked());
    // One view: next pane is greyed.
    EXPECT_TRUE(::GetMenuState(viewMenu, ID_NEXT_PANE, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(FrameTest, NextAndPreviousPaneCycleTheViewsWithActivationNotices)
{
    auto* pSecond = new CPlainView;
    pSecond->m_name = "second";
    ASSERT_TRUE(pSecond->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 10, 10), m_pFrame,
                                AFX_IDW_PANE_FIRST + 1));
    CTestCmdUI state;
    state.m_nID = ID_NEXT_PANE;
    m_pFrame->OnCmdMsg(ID_NEXT_PANE, CN_UPDATE_COMMAND_UI, &state, nullptr);
    EXPECT_TRUE(state.m_bEnabled);

    m_pFrame->SendMessage(WM_COMMAND, ID_NEXT_PANE);
    EXPECT_EQ(m_pFrame->GetActiveView(), pSecond);
    m_pFrame->SendMessage(WM_COMMAND, ID_PREV_PANE);
    EXPECT_EQ(m_pFrame->GetActiveView(), m_pFrame->m_pView);
    EXPECT_EQ(g_events, (std::vector<std::string>{"first deactivated", "second activated", "second deactivated",
                                                  "first activated"}));
    // A view destroyed while active leaves no dangling active view.
    m_pFrame->SetActiveView(pSecond, FALSE);
    pSecond->DestroyWindow();
    EXPECT_EQ(m_pFrame->GetActiveView(), nullptr);
}

TEST_F(FrameTest, ClosingTheMainFrameEndsTheApplication)
{
    Drain();
    m_pFrame->SendMessage(WM_COMMAND, ID_APP_EXIT);
    EXPECT_FALSE(::IsWindow(m_hFrame));
    EXPECT_EQ(m_app.m_pMainWnd, nullptr);
    EXPECT_TRUE(Drain());
}

TEST_F(FrameTest, OwnedMiniFramesFollowTheFrameThroughFloatStatus)
{
    auto* pMini = new CMiniDockFrameWnd;
    ASSERT_TRUE(pMini->CreateEx(0, nullptr, "浮动", WS_POPUP | WS_CAPTION | WS_VISIBLE | MFS_SYNCACTIVE,
                                CRect(50, 50, 150, 120), m_pFrame));
    EXPECT_TRUE(pMini->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)));
    EXPECT_TRUE(pMini->IsKindOf(RUNTIME_CLASS(CFrameWnd)));
    EXPECT_FALSE(m_pFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)));
    m_pFrame->EnableWindow(FALSE);
    EXPECT_FALSE(pMini->IsWindowEnabled());
    m_pFrame->EnableWindow(TRUE);
    EXPECT_TRUE(pMini->IsWindowEnabled());
    m_pFrame->ShowWindow(SW_HIDE);
    EXPECT_FALSE(pMini->IsWindowVisible());
    m_pFrame->ShowWindow(SW_SHOWNA);
    EXPECT_TRUE(pMini->IsWindowVisible());
    // A frame without the style does not answer.
    EXPECT_EQ(m_pFrame->SendMessage(WM_FLOATSTATUS, FS_HIDE), 0);
    EXPECT_TRUE(m_pFrame->IsWindowVisible());
    // No help mode and no preview: the calls are harmless.
    EXPECT_EQ(m_pFrame->m_bHelpMode, 0);
    m_pFrame->OnSetPreviewMode(TRUE, nullptr);
    pMini->DestroyWindow();
}

TEST_F(FrameTest, TheKeyboardPanesFollowTheLocks)
{
    auto shown = [&](UINT id) {
        CTestCmdUI state;
        state.m_nID = id;
        EXPECT_TRUE(m_pFrame->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state, nullptr));
        return state.m_bEnabled;
    };
    m_pFrame->m_pView->SetFocus();
    BOOL capsBefore = shown(ID_INDICATOR_CAPS);
    EXPECT_EQ(capsBefore, (::GetKeyState(VK_CAPITAL) & 1) != 0);
    tavrin::win::InjectKey(VK_CAPITAL, true);
    tavrin::win::InjectKey(VK_CAPITAL, false);
    Drain();
    EXPECT_NE(shown(ID_INDICATOR_CAPS), capsBefore);
    EXPECT_EQ(shown(ID_INDICATOR_NUM), (::GetKeyState(VK_NUMLOCK) & 1) != 0);
    EXPECT_EQ(shown(ID_INDICATOR_SCRL), (::GetKeyState(VK_SCROLL) & 1) != 0);
    tavrin::win::InjectKey(VK_CAPITAL, true);
    tavrin::win::InjectKey(VK_CAPITAL, false);
    Drain();
    EXPECT_EQ(shown(ID_INDICATOR_CAPS), capsBefore);
}
