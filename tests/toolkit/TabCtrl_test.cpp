// The tab control's pages: adding, activating and deleting them, renaming
// tabs, the owner's notifications, the frame's active view, command routing,
// the keyboard, deferred initialisation, label condensing and the menu.
#include "platform/mfc/Document.h"
#include "platform/mfc/FrameWnd.h"
#include "platform/win/PopupMenu.h"
#include "tests/toolkit/TabListHost.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/controls/XTGlobalData.h"
#include "toolkit/controls/XTTabCtrl.h"
#include "toolkit/controls/XTTabNavigationWnd.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace tavrin;
using tavrin::test::ClickAt;
using tavrin::test::PressKeys;
using tavrin::test::PumpPending;

namespace {

constexpr UINT kPageCommand = 4100;

// A page that answers one command.
class CPage : public CWnd {
public:
    int m_commands = 0;
    BOOL Make(CWnd* parent, UINT id)
    {
        return Create(AfxRegisterWndClass(0), "page", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), parent, id);
    }
    void OnPageCommand() { ++m_commands; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPage, CWnd)
    ON_COMMAND(kPageCommand, OnPageCommand)
END_MESSAGE_MAP()

class CTestView : public CView {
    DECLARE_DYNCREATE(CTestView)
public:
    int m_initialUpdates = 0;
    void OnDraw(CDC*) override {}
    void OnInitialUpdate() override { ++m_initialUpdates; }
};

IMPLEMENT_DYNCREATE(CTestView, CView)

std::string Text(CTabCtrl& tab, int index)
{
    char buffer[300] = {};
    TCITEM item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    tab.GetItem(index, &item);
    return buffer;
}

CPoint TabCentre(CTabCtrl& tab, int index)
{
    CRect rc;
    tab.GetItemRect(index, &rc);
    return rc.CenterPoint();
}

class TabCtrlTest : public test::TabListTest {
protected:
    void CloseControls() override
    {
        if (m_tab.m_hWnd)
            m_tab.DestroyWindow();
    }
    // A control with n plain pages named "页0".."页n-1".
    void MakeTabs(int pages, DWORD style = WS_CHILD | WS_VISIBLE)
    {
        ASSERT_TRUE(m_tab.Create(style, CRect(10, 10, 400, 280), m_host.get(), 77));
        PumpPending();
        for (int i = 0; i < pages; ++i) {
            m_pages.push_back(std::make_unique<CPage>());
            ASSERT_TRUE(m_pages.back()->Make(m_host.get(), 200 + i));
            ASSERT_TRUE(m_tab.AddControl(("页" + std::to_string(i)).c_str(), m_pages.back().get()));
        }
    }
    CXTTabCtrl m_tab;
    std::vector<std::unique_ptr<CPage>> m_pages;
};

} // namespace

TEST_F(TabCtrlTest, AddedPagesComeOnTopAndDeletedOnesHandTheSelectionOn)
{
    MakeTabs(4);
    EXPECT_EQ(m_tab.GetItemCount(), 4);
    EXPECT_EQ(m_tab.GetCurSel(), 3);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(m_pages[i]->GetParent(), &m_tab);
        EXPECT_EQ(m_pages[i]->IsWindowVisible() != FALSE, i == 3) << i;
        EXPECT_EQ(m_pages[i]->IsWindowEnabled() != FALSE, i == 3) << i;
    }
    CRect page, child;
    m_tab.GetChildRect(page);
    m_pages[3]->GetWindowRect(&child);
    m_tab.ScreenToClient(&child);
    EXPECT_EQ(child, page) << "the page fills the page area";
    EXPECT_STREQ(m_tab.GetViewName(2), "页2");
    EXPECT_EQ(m_tab.GetViewName(4), nullptr);
    EXPECT_EQ(m_tab.GetViewName(-1), nullptr);
    EXPECT_EQ(m_tab.GetView(1), m_pages[1].get());
    EXPECT_EQ(m_tab.GetView(9), nullptr);

    // An index inserts before that page and selects it.
    auto extra = std::make_unique<CPage>();
    ASSERT_TRUE(extra->Make(m_host.get(), 300));
    ASSERT_TRUE(m_tab.AddControl("插入", extra.get(), 1));
    EXPECT_EQ(m_tab.GetCurSel(), 1);
    EXPECT_EQ(Text(m_tab, 1), "插入");
    EXPECT_EQ(m_tab.GetView(1), extra.get());
    EXPECT_EQ(m_tab.GetView(2), m_pages[1].get());
    m_tab.DeleteView(1, FALSE);
    EXPECT_FALSE(extra->IsWindowVisible()) << "kept, only hidden";
    EXPECT_TRUE(::IsWindow(extra->m_hWnd));

    // Which tab is selected after a deletion.
    struct Case {
        int select;
        int remove;
        int expected;
    };
    const Case cases[] = {
        {3, 3, 2}, // the selected last page: the new last
        {2, 0, 0}, // page 0: page 0
        {0, 1, 0}, // another page: the one before it
    };
    for (const Case& c : cases) {
        const int before = m_tab.GetItemCount();
        m_tab.SetActiveView(c.select);
        m_tab.DeleteView(c.remove);
        EXPECT_EQ(m_tab.GetItemCount(), before - 1);
        EXPECT_EQ(m_tab.GetCurSel(), c.expected) << "removing " << c.remove;
        EXPECT_TRUE(m_tab.GetActiveView() && m_tab.GetActiveView()->IsWindowVisible());
    }
    m_tab.DeleteView(7);
    EXPECT_EQ(m_tab.GetItemCount(), 1);
}

TEST_F(TabCtrlTest, RenamingATab)
{
    MakeTabs(4);
    const std::string wide(300, 'w');
    std::string doubleByte;
    for (int i = 0; i < 150; ++i)
        doubleByte += "收";
    struct Case {
        int index;
        std::string label;
        BOOL result;
        std::string shown; // the tab afterwards
    };
    const Case cases[] = {
        {1, "收件箱(3)", TRUE, "收件箱(3)"},
        {1, "", FALSE, "收件箱(3)"},
        {9, "x", FALSE, ""},
        {-1, "x", FALSE, ""},
        {2, wide, TRUE, wide.substr(0, 255)},
        {3, doubleByte, TRUE, doubleByte.substr(0, 254)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(m_tab.SetTabText(c.index, c.label.c_str()), c.result) << c.label.size();
        if (c.index < 0 || c.index >= 4)
            continue;
        EXPECT_EQ(Text(m_tab, c.index), c.shown);
        EXPECT_EQ(std::string(m_tab.GetViewName(c.index)), c.shown);
        EXPECT_EQ(std::string(m_tab.GetPage(c.index)->strToolTip), c.shown);
    }
    EXPECT_EQ(Text(m_tab, 0), "页0");
}

TEST_F(TabCtrlTest, RenamingKeepsTheTooltipInStep)
{
    MakeTabs(2, WS_CHILD | WS_VISIBLE | TCS_TOOLTIPS);
    CToolTipCtrl* tips = m_tab.GetToolTips();
    ASSERT_TRUE(tips);
    EXPECT_TRUE(m_tab.SetTabText(1, "照片(1/2)"));
    char text[64] = {};
    TTTOOLINFOA info{};
    info.cbSize = sizeof(info);
    info.hwnd = m_tab.m_hWnd;
    info.uId = 1;
    info.lpszText = text;
    tips->SendMessage(TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, "照片(1/2)");
    EXPECT_TRUE(m_tab.EnableToolTips(FALSE));
}

TEST_F(TabCtrlTest, ClicksTellTheOwnerAndOnlyTheLatestInitialisationCounts)
{
    MakeTabs(3);
    EXPECT_TRUE(m_tab.GetStyle() & WS_CLIPCHILDREN) << "initialised by the posted request";
    m_host->m_log.clear();
    const CPoint at = TabCentre(m_tab, 0);
    ClickAt(m_tab.m_hWnd, at.x, at.y);
    EXPECT_EQ(m_tab.GetCurSel(), 0);
    EXPECT_TRUE(m_pages[0]->IsWindowVisible());
    EXPECT_FALSE(m_pages[2]->IsWindowVisible());
    EXPECT_FALSE(m_pages[2]->IsWindowEnabled());
    const std::vector<std::string> expected = {"selchanging 77", "selchange 77"};
    EXPECT_EQ(m_host->m_log, expected);

    // A request posted before a later one is ignored.
    m_tab.ModifyStyle(WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0);
    m_tab.SendMessage(WM_DEFERRED_INIT, 0, 0);
    EXPECT_FALSE(m_tab.GetStyle() & WS_CLIPCHILDREN);
    m_tab.SendMessage(WM_INITIALUPDATE);
    EXPECT_TRUE(m_tab.GetStyle() & WS_CLIPCHILDREN);
}

TEST_F(TabCtrlTest, CommandsGoToThePageOnTopFirst)
{
    MakeTabs(2);
    EXPECT_TRUE(m_tab.OnCmdMsg(kPageCommand, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(m_pages[1]->m_commands, 1);
    EXPECT_EQ(m_pages[0]->m_commands, 0);
    m_tab.SetActiveView(0);
    m_tab.SendMessage(WM_COMMAND, kPageCommand);
    EXPECT_EQ(m_pages[0]->m_commands, 1);
    EXPECT_FALSE(m_tab.OnCmdMsg(kPageCommand + 1, CN_COMMAND, nullptr, nullptr));
}

TEST_F(TabCtrlTest, CtrlTabAndF6CycleThePages)
{
    MakeTabs(3);
    struct Case {
        std::initializer_list<UINT> modifiers;
        UINT key;
        int from;
        int to;
    };
    const Case cases[] = {
        {{VK_CONTROL}, VK_TAB, 2, 0},          {{VK_CONTROL}, VK_TAB, 0, 1},
        {{VK_CONTROL, VK_SHIFT}, VK_TAB, 0, 2}, {{}, VK_F6, 1, 2},
        {{VK_SHIFT}, VK_F6, 0, 2},              {{VK_CONTROL}, VK_F6, 2, 0},
    };
    for (const Case& c : cases) {
        m_tab.SetActiveView(c.from);
        ASSERT_EQ(::GetFocus(), m_pages[c.from]->m_hWnd);
        PressKeys(c.modifiers, c.key);
        EXPECT_EQ(m_tab.GetCurSel(), c.to) << "key " << c.key << " from " << c.from;
        EXPECT_TRUE(m_pages[c.to]->IsWindowVisible());
        EXPECT_EQ(::GetFocus(), m_tab.m_hWnd);
    }
    // A plain Tab is not the control's.
    m_tab.SetActiveView(1);
    PressKeys({}, VK_TAB);
    EXPECT_EQ(m_tab.GetCurSel(), 1);
}

TEST_F(TabCtrlTest, CondensingShortensTheWidestLabelFirst)
{
    ASSERT_TRUE(m_tab.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 400, 280), m_host.get(), 77));
    m_tab.SetAutoCondense(TRUE);
    PumpPending();
    const char* labels[] = {"短", "一个很长很长很长的标签名字", "中等长度标签"};
    for (const char* label : labels) {
        m_pages.push_back(std::make_unique<CPage>());
        ASSERT_TRUE(m_pages.back()->Make(m_host.get(), 200));
        ASSERT_TRUE(m_tab.AddControl(label, m_pages.back().get()));
    }
    m_tab.Condense();
    EXPECT_EQ(Text(m_tab, 0), "短") << "everything fits at 390 pixels";
    EXPECT_EQ(Text(m_tab, 1), labels[1]);

    m_tab.SetWindowPos(nullptr, 0, 0, 200, 200, SWP_NOMOVE | SWP_NOZORDER);
    PumpPending();
    const std::string longest = Text(m_tab, 1), middle = Text(m_tab, 2);
    EXPECT_EQ(Text(m_tab, 0), "短");
    ASSERT_GT(longest.size(), 3u);
    EXPECT_EQ(longest.substr(longest.size() - 3), "...");
    EXPECT_LT(longest.size(), std::string(labels[1]).size());
    EXPECT_EQ(std::string(labels[1]).compare(0, longest.size() - 3, longest, 0, longest.size() - 3), 0)
        << "whole characters cut from the end: " << longest;
    EXPECT_EQ(std::string(m_tab.GetViewName(1)), labels[1]) << "the full label is kept";

    // No room at all: labels end at the minimum width or at "...", never below.
    m_tab.SetWindowPos(nullptr, 0, 0, 40, 200, SWP_NOMOVE | SWP_NOZORDER);
    PumpPending();
    for (int i = 1; i < 3; ++i) {
        const std::string text = Text(m_tab, i);
        EXPECT_EQ(text.substr(text.size() - 3), "...") << text;
    }
    EXPECT_EQ(Text(m_tab, 0), "短") << "a one-character label is already narrower than the minimum";

    // Room again: the labels come back.
    m_tab.SetWindowPos(nullptr, 0, 0, 600, 200, SWP_NOMOVE | SWP_NOZORDER);
    PumpPending();
    EXPECT_EQ(Text(m_tab, 1), labels[1]);
    EXPECT_EQ(Text(m_tab, 2), labels[2]);
}

TEST_F(TabCtrlTest, TheRightClickMenuWhenOneIsSet)
{
    MakeTabs(2);
    CPoint at = TabCentre(m_tab, 0);
    // Without a menu nothing opens and the press does not select.
    bool opened = false;
    m_host->Stage({[&] { opened = ::FindWindowA(POPUPMENU_CLASS, nullptr) != nullptr; }});
    ClickAt(m_tab.m_hWnd, at.x, at.y, true);
    EXPECT_FALSE(opened);
    EXPECT_EQ(m_tab.GetCurSel(), 1);

    m_tab.SetPopupMenu(9014, 2);
    EXPECT_EQ(m_tab.GetPopupMenu(), 9014u);
    m_host->Stage({[&] {
        opened = ::FindWindowA(POPUPMENU_CLASS, nullptr) != nullptr;
        win::InjectMouseButton(win::MouseButton::Right, false);
        win::InjectKey(VK_ESCAPE, true);
        win::InjectKey(VK_ESCAPE, false);
    }});
    at = TabCentre(m_tab, 1); // away from the first press: no double click
    m_tab.ClientToScreen(&at);
    win::InjectMouseMove(at.x, at.y);
    win::InjectMouseButton(win::MouseButton::Right, true);
    PumpPending();
    EXPECT_TRUE(opened);
    EXPECT_EQ(::FindWindowA(POPUPMENU_CLASS, nullptr), nullptr);
}

TEST_F(TabCtrlTest, TheFramesActiveViewFollowsThePageOnTop)
{
    auto* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(50, 50, 500, 400)));
    auto* outside = new CTestView;
    ASSERT_TRUE(outside->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), frame, 0xE950));
    frame->SetActiveView(outside);
    CXTTabCtrl* tab = new CXTTabCtrl;
    ASSERT_TRUE(tab->Create(WS_CHILD | WS_VISIBLE, CRect(60, 0, 440, 340), frame, 78));
    tab->SetSendInitialUpdate(TRUE);
    PumpPending();
    ASSERT_TRUE(tab->AddView("甲", RUNTIME_CLASS(CTestView)));
    ASSERT_TRUE(tab->AddView("乙", RUNTIME_CLASS(CTestView)));
    auto* first = dynamic_cast<CTestView*>(tab->GetView(0));
    auto* second = dynamic_cast<CTestView*>(tab->GetView(1));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(second->GetDlgCtrlID(), AFX_IDW_PANE_FIRST + 1);
    EXPECT_EQ(first->m_initialUpdates, 1) << "sent at once once initialised";
    EXPECT_EQ(second->GetOwner(), frame);
    EXPECT_EQ(frame->GetActiveView(), outside) << "adding does not take over";

    CPoint at = TabCentre(*tab, 0);
    ClickAt(tab->m_hWnd, at.x, at.y);
    EXPECT_EQ(frame->GetActiveView(), first);
    at = TabCentre(*tab, 1);
    ClickAt(tab->m_hWnd, at.x, at.y);
    EXPECT_EQ(frame->GetActiveView(), second);
    // Keys switch pages through ActivateView, which keeps the frame in step.
    tab->SetActiveView(0);
    EXPECT_EQ(frame->GetActiveView(), first);
    // Deleting the active page gives the frame its own view back.
    tab->DeleteView(0);
    EXPECT_EQ(frame->GetActiveView(), outside);
    // So does hiding the control while a page is active.
    at = TabCentre(*tab, 0);
    tab->AddView("丙", RUNTIME_CLASS(CTestView));
    ClickAt(tab->m_hWnd, TabCentre(*tab, 0).x, TabCentre(*tab, 0).y);
    EXPECT_EQ(frame->GetActiveView(), tab->GetView(0));
    tab->ShowWindow(SW_HIDE);
    EXPECT_EQ(frame->GetActiveView(), outside);
    frame->DestroyWindow();
    delete tab;
    PumpPending();
}

TEST_F(TabCtrlTest, NoNavigationWindowUnderTheClassicStyle)
{
    XTGetThemeManager()->SetTheme(xtThemeDefault);
    MakeTabs(2);
    m_tab.UpdateWindow();
    EXPECT_FALSE(m_tab.GetNavigationWnd()->IsShown());
    XTGetThemeManager()->SetTheme(xtThemeOfficeXP);
    m_tab.Invalidate();
    m_tab.UpdateWindow();
    EXPECT_TRUE(m_tab.GetNavigationWnd()->IsShown());
    EXPECT_TRUE(m_tab.GetNavigationWnd()->IsWindowVisible());
    m_tab.SetAutoCondense(TRUE);
    m_tab.Invalidate();
    m_tab.UpdateWindow();
    EXPECT_FALSE(m_tab.GetNavigationWnd()->IsShown());
    EXPECT_FALSE(m_tab.GetNavigationWnd()->IsWindowVisible());
    XTGetThemeManager()->SetTheme(xtThemeDefault);
}
