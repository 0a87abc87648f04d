// The status bar over the status-bar control: indicators and their texts,
// pane lookups, texts, styles and rectangles, the keyboard panes at idle
// time, the frame's prompts in pane 0, and its height in the frame's layout.
#include "platform/mfc/StatusBar.h"
#include "platform/mfc/StatusBarCtrl.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Input.h"
#include "tests/platform/mfc/FrameworkFixture.h"
#include "tests/platform/mfc/fixtures/mfc_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

class CStatusFrame : public CFrameWnd {
public:
    CStatusBar m_wndStatusBar;
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP) ||
            !m_wndStatusBar.SetIndicators(kIndicators, 4))
            return -1;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CStatusFrame, CFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

class StatusBarTest : public tavrin::test::FrameworkResources {
protected:
    void SetUp() override
    {
        FrameworkResources::SetUp();
        m_pFrame = new CStatusFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_DOCFRAME, WS_OVERLAPPEDWINDOW));
        m_hFrame = m_pFrame->m_hWnd;
        m_app.m_pMainWnd = m_pFrame;
        m_pFrame->SetWindowPos(nullptr, 0, 0, 500, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        m_pFrame->ShowWindow(SW_SHOWNA);
        tavrin::test::DrainMessages();
    }
    void TearDown() override
    {
        if (::IsWindow(m_hFrame))
            ::DestroyWindow(m_hFrame);
        tavrin::test::DrainMessages();
        FrameworkResources::TearDown();
    }
    CStatusBar& Bar() { return m_pFrame->m_wndStatusBar; }
    CWinApp m_app;
    CStatusFrame* m_pFrame = nullptr;
    HWND m_hFrame = nullptr;
};

} // namespace

TEST_F(StatusBarTest, IndicatorsBecomePanesWithTheirTexts)
{
    EXPECT_EQ(Bar().GetCount(), 4);
    EXPECT_EQ(Bar().GetDlgCtrlID(), AFX_IDW_STATUS_BAR);
    EXPECT_EQ(Bar().GetBarStyle() & CBRS_ALIGN_ANY, static_cast<DWORD>(CBRS_ALIGN_BOTTOM));
    struct Case {
        UINT id;
        int index;
        const char* text;
    };
    const Case cases[] = {{ID_INDICATOR_CAPS, 1, "CAP"}, {ID_INDICATOR_NUM, 2, "NUM"}, {ID_INDICATOR_SCRL, 3, "SCRL"}};
    for (const Case& c : cases) {
        EXPECT_EQ(Bar().CommandToIndex(c.id), c.index);
        EXPECT_EQ(Bar().GetItemID(c.index), c.id);
        EXPECT_STREQ(Bar().GetPaneText(c.index), c.text);
    }
    EXPECT_EQ(Bar().CommandToIndex(12345), -1);
    // The message pane stretches without a border; the others are as wide as
    // their texts, at the right.
    UINT id, style;
    int width;
    Bar().GetPaneInfo(0, id, style, width);
    EXPECT_EQ(id, static_cast<UINT>(ID_SEPARATOR));
    EXPECT_EQ(style, static_cast<UINT>(SBPS_STRETCH | SBPS_NOBORDERS));
    Bar().GetPaneInfo(3, id, style, width);
    EXPECT_GT(width, 0);
    CRect first, last, client;
    Bar().GetItemRect(0, &first);
    Bar().GetItemRect(3, &last);
    Bar().GetClientRect(&client);
    EXPECT_EQ(first.left, 0);
    EXPECT_GT(first.Width(), client.Width() / 2);
    EXPECT_LE(last.right, client.right);
    EXPECT_GE(last.right, client.right - 4);
    // An unknown pane's rectangle is empty.
    CRect none;
    Bar().GetItemRect(9, &none);
    EXPECT_TRUE(none.IsRectEmpty());
}

TEST_F(StatusBarTest, TextsStylesAndThePromptInPaneZero)
{
    ASSERT_TRUE(Bar().SetPaneText(0, "正在读取留言"));
    EXPECT_STREQ(Bar().GetPaneText(0), "正在读取留言");
    EXPECT_STREQ(Bar().GetStatusBarCtrl().GetText(0), "正在读取留言");
    EXPECT_FALSE(Bar().SetPaneText(7, "x"));
    // The frame's prompts arrive as the bar's window text.
    HMENU menu = ::GetSubMenu(::GetMenu(m_hFrame), 0);
    m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_FIXTURE_ACTION, MF_STRING), reinterpret_cast<LPARAM>(menu));
    EXPECT_STREQ(Bar().GetPaneText(0), "运行示例动作");
    CString text;
    Bar().GetWindowText(text);
    EXPECT_STREQ(text, "运行示例动作");
    m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_STREQ(Bar().GetPaneText(0), "就绪");

    // A disabled pane shows nothing; the style comes back as set.
    Bar().SetPaneStyle(1, SBPS_DISABLED);
    EXPECT_EQ(Bar().GetPaneStyle(1), static_cast<UINT>(SBPS_DISABLED));
    EXPECT_STREQ(Bar().GetStatusBarCtrl().GetText(1), "");
    Bar().SetPaneStyle(1, SBPS_POPOUT);
    EXPECT_STREQ(Bar().GetStatusBarCtrl().GetText(1), "CAP");
    int type = 0;
    Bar().GetStatusBarCtrl().GetText(1, &type);
    EXPECT_EQ(type & SBT_POPOUT, SBT_POPOUT);
    Bar().SetPaneInfo(2, ID_INDICATOR_NUM, SBPS_NORMAL, 80);
    UINT id, style;
    int width;
    Bar().GetPaneInfo(2, id, style, width);
    EXPECT_EQ(width, 80);
}

TEST_F(StatusBarTest, TheKeyboardPanesFollowTheLocksAtIdleTime)
{
    m_pFrame->SetFocus();
    bool capsOn = (::GetKeyState(VK_CAPITAL) & 1) != 0;
    m_app.OnIdle(0);
    EXPECT_STREQ(Bar().GetStatusBarCtrl().GetText(1), capsOn ? "CAP" : "");
    tavrin::win::InjectKey(VK_CAPITAL, true);
    tavrin::win::InjectKey(VK_CAPITAL, false);
    tavrin::test::DrainMessages();
    m_app.OnIdle(0);
    EXPECT_STREQ(Bar().GetStatusBarCtrl().GetText(1), capsOn ? "" : "CAP");
    EXPECT_EQ((Bar().GetPaneStyle(1) & SBPS_DISABLED) != 0, capsOn);
    tavrin::win::InjectKey(VK_CAPITAL, true);
    tavrin::win::InjectKey(VK_CAPITAL, false);
    tavrin::test::DrainMessages();
}

TEST_F(StatusBarTest, TheBarTakesItsHeightAtTheBottomOfTheFrame)
{
    CRect client, bar;
    m_pFrame->GetClientRect(&client);
    Bar().GetWindowRect(&bar);
    m_pFrame->ScreenToClient(&bar);
    EXPECT_EQ(bar.bottom, client.bottom);
    EXPECT_EQ(bar.left, 0);
    EXPECT_EQ(bar.right, client.right);
    EXPECT_EQ(bar.Height(), Bar().CalcFixedLayout(TRUE, TRUE).cy);
    // A minimum height sent to the bar is kept in the next layout.
    Bar().SendMessage(SB_SETMINHEIGHT, 40);
    m_app.OnIdle(0);
    Bar().GetWindowRect(&bar);
    m_pFrame->ScreenToClient(&bar);
    EXPECT_GE(bar.Height(), 40);
    EXPECT_EQ(bar.bottom, client.bottom);
    // The toggle hides it and the layout gives its room back.
    m_pFrame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(Bar().IsWindowVisible());
}
