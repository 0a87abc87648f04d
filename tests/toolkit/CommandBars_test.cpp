// The command-bars manager and its frame: what the frame's messages do
// before the frame sees them, and how the bars' notifications reach the
// frame's message map.
#include "ToolkitTestSupport.h"

#include "platform/mfc/WinApp.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/User.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsFrame.h"
#include "toolkit/commandbars/XTPHookManager.h"
#include "toolkit/commandbars/XTPKeyboardManager.h"
#include "toolkit/controls/XTColorManager.h"

#include <vector>

namespace {

constexpr UINT kSearchBox = 32928;
constexpr UINT kWmBarControlNotify = 0x052D;

struct NotifyRecord {
    NMHDR hdr;
    void* pControl;
};

class CTestFrame : public CXTPCommandBarsFrame {
public:
    int m_nLayouts = 0;
    int m_nSearches = 0;
    std::vector<UINT> m_commands;
    LRESULT m_searchResult = 1;

    void RecalcLayout(BOOL bNotify = TRUE) override
    {
        ++m_nLayouts;
        CXTPCommandBarsFrame::RecalcLayout(bNotify);
    }
    void OnSearch(NMHDR* pNMHDR, LRESULT* pResult)
    {
        EXPECT_EQ(pNMHDR->code, 100u);
        ++m_nSearches;
        *pResult = m_searchResult;
    }
    BOOL OnAnyCommand(UINT nID)
    {
        m_commands.push_back(nID);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestFrame, CXTPCommandBarsFrame)
    ON_NOTIFY(100, kSearchBox, OnSearch)
    ON_COMMAND_EX_RANGE(57600, 57700, OnAnyCommand)
END_MESSAGE_MAP()

// A frame that offers the Customize command.
class CCustomizingFrame : public CXTPCommandBarsFrame {
public:
    void OnCustomize() {}
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCustomizingFrame, CXTPCommandBarsFrame)
    ON_COMMAND(35001, OnCustomize)
END_MESSAGE_MAP()

class WheelSink : public CXTPHookSink {
public:
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM&, LRESULT&) override
    {
        EXPECT_EQ(hWnd, nullptr);
        m_messages.push_back(nMessage);
        m_wParams.push_back(wParam);
        return 1;
    }
    std::vector<UINT> m_messages;
    std::vector<WPARAM> m_wParams;
};

class CommandBarsTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        m_pFrame = new CTestFrame;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300)));
        m_hFrame = m_pFrame->m_hWnd;
        ASSERT_TRUE(m_pFrame->InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)));
        m_pFrame->ShowWindow(SW_SHOWNA);
    }
    void TearDown() override
    {
        if (::IsWindow(m_hFrame))
            ::DestroyWindow(m_hFrame);
        ToolkitTest::TearDown();
    }
    LRESULT Notify(UINT nID, UINT nCode)
    {
        NotifyRecord record{{nullptr, nID, nCode}, nullptr};
        return m_pFrame->SendMessage(kWmBarControlNotify, nID, reinterpret_cast<LPARAM>(&record));
    }

    CWinApp m_app;
    CTestFrame* m_pFrame = nullptr;
    HWND m_hFrame = nullptr;
};

} // namespace

TEST_F(CommandBarsTest, TheSiteIsAskedOnceWhetherItCustomizes)
{
    EXPECT_EQ(m_pFrame->GetCommandBars()->GetSite(), m_pFrame);
    EXPECT_FALSE(m_pFrame->GetCommandBars()->IsCustomizeAvail());
    auto* pFrame = new CCustomizingFrame;
    ASSERT_TRUE(pFrame->Create(nullptr, "customizing", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 100)));
    ASSERT_TRUE(pFrame->InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)));
    EXPECT_TRUE(pFrame->GetCommandBars()->IsCustomizeAvail());
    pFrame->DestroyWindow();
    // Only the manager's class or one derived from it is made.
    EXPECT_FALSE(m_pFrame->InitCommandBars(RUNTIME_CLASS(CCmdTarget)));
}

TEST_F(CommandBarsTest, ExecutedNotificationsReachTheMessageMapAsChildNotifications)
{
    // The search box's handler answers 1: handled, so no command follows.
    EXPECT_EQ(Notify(kSearchBox, 100), 1);
    EXPECT_EQ(m_pFrame->m_nSearches, 1);
    m_pFrame->m_searchResult = 0;
    EXPECT_EQ(Notify(kSearchBox, 100), 0);
    EXPECT_EQ(m_pFrame->m_nSearches, 2);
    // Another control or another code finds no handler; commands are not
    // notifications.
    EXPECT_EQ(Notify(kSearchBox + 1, 100), 0);
    EXPECT_EQ(Notify(kSearchBox, 101), 0);
    EXPECT_EQ(m_pFrame->m_nSearches, 2);
    EXPECT_TRUE(m_pFrame->m_commands.empty());
    // Other messages still reach the frame's own handling.
    m_pFrame->SendMessage(WM_COMMAND, 57600);
    EXPECT_EQ(m_pFrame->m_commands, (std::vector<UINT>{57600}));
}

TEST_F(CommandBarsTest, AColourChangeRefreshesColoursAndLaysTheFrameOutOnce)
{
    // A toolkit colour derived from the face colour when the colours are refreshed.
    const int derived = 30;
    const COLORREF before = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF derivedBefore = XTGetColorManager()->GetColor(derived);
    const INT index = COLOR_BTNFACE;
    const COLORREF changed = RGB(10, 200, 30);
    m_pFrame->m_nLayouts = 0;
    // The change is sent to every top-level window, the frame among them.
    ::SetSysColors(1, &index, &changed);
    EXPECT_EQ(m_pFrame->m_nLayouts, 1);
    const COLORREF derivedAfter = XTGetColorManager()->GetColor(derived);
    EXPECT_NE(derivedAfter, derivedBefore);
    ::ValidateRect(m_hFrame, nullptr);
    m_pFrame->m_nLayouts = 0;
    m_pFrame->SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(m_pFrame->m_nLayouts, 1);
    RECT update;
    EXPECT_TRUE(::GetUpdateRect(m_hFrame, &update, FALSE)) << "the frame is redrawn";
    // A setting change lays out again and keeps the colours.
    m_pFrame->m_nLayouts = 0;
    m_pFrame->SendMessage(WM_SETTINGCHANGE);
    EXPECT_EQ(m_pFrame->m_nLayouts, 1);
    ::SetSysColors(1, &index, &before);
    EXPECT_EQ(XTGetColorManager()->GetColor(derived), derivedBefore);
}

TEST_F(CommandBarsTest, TheMouseWheelGoesToAKeyboardSink)
{
    MSG wheel{m_hFrame, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0, 0, {0, 0}};
    EXPECT_FALSE(m_pFrame->PreTranslateMessage(&wheel));
    WheelSink sink;
    XTPKeyboardManager()->HookKeyboard(&sink);
    EXPECT_TRUE(m_pFrame->PreTranslateMessage(&wheel));
    XTPKeyboardManager()->UnhookKeyboard(&sink);
    EXPECT_EQ(sink.m_messages, (std::vector<UINT>{WM_MOUSEWHEEL}));
    EXPECT_EQ(sink.m_wParams, (std::vector<WPARAM>{MAKEWPARAM(0, 120)}));
}
