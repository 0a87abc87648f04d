// The command-bars manager and its frame: what the frame's messages do
// before the frame sees them, and how the bars' notifications reach the
// frame's message map.
#include "ToolkitTestSupport.h"

#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/ControlTestHost.h"

#include "platform/mfc/WinApp.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/User.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsFrame.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPHookManager.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPKeyboardManager.h"
#include "toolkit/controls/XTColorManager.h"

#include <functional>
#include <vector>

using tavrin::test::ScopedTestTheme;
using tavrin::test::TestBar;

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

class CCountingPaintManager : public tavrin::test::TestPaintManager {
public:
    int m_nRefreshes = 0;
    void RefreshMetrics() override
    {
        ++m_nRefreshes;
        TestPaintManager::RefreshMetrics();
    }
};

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
    EXPECT_EQ(m_pFrame->SendMessage(kWmBarControlNotify, kSearchBox, 0), 0) << "no record: nothing to route";
    EXPECT_EQ(m_pFrame->m_nSearches, 2);
    EXPECT_TRUE(m_pFrame->m_commands.empty());
    // Other messages still reach the frame's own handling.
    m_pFrame->SendMessage(WM_COMMAND, 57600);
    EXPECT_EQ(m_pFrame->m_commands, (std::vector<UINT>{57600}));
}

TEST_F(CommandBarsTest, AColourChangeRefreshesColoursAndLaysTheFrameOutOnce)
{
    // The manager's own paint manager counts its metric refreshes.
    auto* pPaintManager = new CCountingPaintManager;
    m_pFrame->GetCommandBars()->SetPaintManager(pPaintManager);
    // Its own image manager holds a copy scaled from a 16-pixel icon, made
    // with the old colours.
    auto* pImageManager = new CXTPImageManager;
    m_pFrame->GetCommandBars()->SetImageManager(pImageManager);
    HICON hIcon = tavrin::test::MakeSolidIcon(16, 16, RGB(64, 128, 192));
    ASSERT_TRUE(pImageManager->SetIcon(CXTPImageManagerIconHandle(hIcon), 5, CSize(16, 16)));
    ::DestroyIcon(hIcon);
    ASSERT_TRUE(pImageManager->GetImage(5, 20));
    ASSERT_TRUE(pImageManager->GetIconSet(5)->GetIcon(20, FALSE));
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
    EXPECT_EQ(pPaintManager->m_nRefreshes, 1);
    EXPECT_FALSE(pImageManager->GetIconSet(5)->GetIcon(20, FALSE)) << "the images made from icons are made again";
    EXPECT_TRUE(pImageManager->GetIconSet(5)->GetIcon(16, FALSE)) << "the icon itself stays";
    const COLORREF derivedAfter = XTGetColorManager()->GetColor(derived);
    EXPECT_NE(derivedAfter, derivedBefore);
    ::ValidateRect(m_hFrame, nullptr);
    m_pFrame->m_nLayouts = 0;
    m_pFrame->SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(m_pFrame->m_nLayouts, 1);
    RECT update;
    EXPECT_TRUE(::GetUpdateRect(m_hFrame, &update, FALSE)) << "the frame is redrawn";
    // A setting change lays out again and keeps the colours.
    ASSERT_TRUE(pImageManager->GetImage(5, 20));
    m_pFrame->m_nLayouts = 0;
    m_pFrame->SendMessage(WM_SETTINGCHANGE);
    EXPECT_EQ(m_pFrame->m_nLayouts, 1);
    EXPECT_EQ(pPaintManager->m_nRefreshes, 3);
    EXPECT_TRUE(pImageManager->GetIconSet(5)->GetIcon(20, FALSE)) << "a setting change keeps the images";
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

namespace {

// A manager whose bar list a test fills by hand, as the bar makers do.
class CListedBars : public CXTPCommandBars {
public:
    void Adopt(CXTPCommandBar* pBar)
    {
        pBar->SetCommandBars(this);
        m_barList.push_back(pBar);
    }
};

// A bar that records what the manager asks of it.
class CRecordingBar : public TestBar {
public:
    BOOL m_bVisible = TRUE;
    int m_nRecalcs = 0;
    int m_nUpdates = 0;
    std::function<void()> m_onRecalc;
    BOOL IsVisible() const override { return m_bVisible; }
    void SetVisible(BOOL bVisible) override { m_bVisible = bVisible; }
    void OnRecalcLayout() override
    {
        ++m_nRecalcs;
        if (m_onRecalc)
            m_onRecalc();
    }
    void OnUpdateCmdUI(BOOL, BOOL) override { ++m_nUpdates; }
};

} // namespace

TEST_F(CommandBarsTest, HiddenCommandsAndPopupsOfHiddenItems)
{
    ScopedTestTheme theme;
    CXTPCommandBars* pBars = m_pFrame->GetCommandBars();
    CXTPCommandBarsOptions* pOptions = pBars->GetOptions();
    pOptions->m_mapHiddenCommands.SetAt(100, TRUE);
    pOptions->m_mapHiddenCommands.SetAt(101, TRUE);

    auto* pBar = new TestBar;
    pBar->SetCommandBars(pBars);
    CXTPControls* pControls = pBar->GetControls();
    CXTPControl* pHidden = pControls->Add(xtpControlButton, 100);
    CXTPControl* pShown = pControls->Add(xtpControlButton, 200);
    auto MakePopup = [&](std::vector<int> ids, bool withBar) {
        CXTPControl* pPopup = pControls->Add(xtpControlPopup, 0);
        CXTPCommandBar* pPopupBar = pPopup->GetCommandBar();
        if (!withBar) {
            static_cast<CXTPControlPopup*>(pPopup)->SetCommandBar(nullptr);
            return pPopup;
        }
        for (int id : ids)
            pPopupBar->GetControls()->Add(xtpControlButton, id);
        return pPopup;
    };
    CXTPControl* pAllHidden = MakePopup({100, 101}, true);
    CXTPControl* pOneShown = MakePopup({100, 200}, true);
    CXTPControl* pEmpty = MakePopup({}, true);
    CXTPControl* pNoBar = MakePopup({}, false);
    CXTPControl* pNested = pControls->Add(xtpControlPopup, 0);
    pNested->GetCommandBar()->GetControls()->AddClone(pAllHidden, -1, TRUE);

    struct Case {
        const char* name;
        CXTPControl* control;
        bool autoHide;
        bool hidden;
    };
    const Case cases[] = {
        {"hidden command", pHidden, true, true},
        {"shown command", pShown, true, false},
        {"popup of hidden items", pAllHidden, true, true},
        {"popup of hidden items, no auto-hide", pAllHidden, false, false},
        {"popup with a shown item", pOneShown, true, false},
        {"empty popup", pEmpty, true, false},
        {"popup without a bar", pNoBar, true, false},
        {"popup of a popup of hidden items", pNested, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pOptions->bAutoHideUnusedPopups = c.autoHide;
        EXPECT_EQ(pBars->IsControlHidden(c.control) != FALSE, c.hidden);
    }
    // Once used, a hidden command shows, and so does its popup.
    pOptions->bAutoHideUnusedPopups = TRUE;
    pBars->SetCommandUsed(101);
    EXPECT_FALSE(pBars->IsCommandHidden(101));
    EXPECT_TRUE(pBars->IsCommandHidden(100));
    EXPECT_FALSE(pBars->IsControlHidden(pAllHidden));
    pBar->InternalRelease();
}

TEST_F(CommandBarsTest, ToggleVisibleIgnoresAnIndexThatNamesNoBar)
{
    auto* pBars = new CListedBars;
    auto* pBar = new CRecordingBar;
    pBars->Adopt(pBar);
    pBars->ToggleVisible(1);
    pBars->ToggleVisible(-1);
    EXPECT_TRUE(pBar->m_bVisible);
    pBars->ToggleVisible(0);
    EXPECT_FALSE(pBar->m_bVisible);
    pBars->ToggleVisible(0);
    EXPECT_TRUE(pBar->m_bVisible);
    EXPECT_EQ(pBars->GetAt(0), pBar);
    EXPECT_EQ(pBars->GetAt(1), nullptr);
    pBar->SetBarID(176);
    EXPECT_EQ(pBars->GetToolBar(176), pBar);
    EXPECT_EQ(pBars->GetToolBar(0), nullptr);
    pBars->InternalRelease(); // releases the bar too
}

TEST_F(CommandBarsTest, RedrawCommandBarsLaysOutVisibleBarsThenTheFrameOnce)
{
    auto* pBars = new CListedBars;
    pBars->SetSite(m_pFrame);
    auto* pShown = new CRecordingBar;
    auto* pHidden = new CRecordingBar;
    pHidden->m_bVisible = FALSE;
    pBars->Adopt(pShown);
    pBars->Adopt(pHidden);
    // A bar that asks for a frame layout while the bars are laid out.
    pShown->m_onRecalc = [&] { pBars->RecalcFrameLayout(); };
    m_pFrame->m_nLayouts = 0;
    pBars->RedrawCommandBars();
    EXPECT_EQ(pShown->m_nRecalcs, 1);
    EXPECT_EQ(pHidden->m_nRecalcs, 0);
    EXPECT_EQ(m_pFrame->m_nLayouts, 1);
    // Outside the redraw a request lays out at once, or at the next idle time.
    pBars->RecalcFrameLayout();
    EXPECT_EQ(m_pFrame->m_nLayouts, 2);
    m_pFrame->m_nIdleFlags = 0;
    pBars->RecalcFrameLayout(TRUE);
    EXPECT_EQ(m_pFrame->m_nLayouts, 2);
    EXPECT_TRUE(m_pFrame->m_nIdleFlags & CFrameWnd::idleLayout);
    // The idle pass reaches the floating bars only.
    pHidden->m_barPosition = xtpBarFloating;
    pBars->OnFrameWndMsg(WM_IDLEUPDATECMDUI, TRUE, 0, nullptr);
    EXPECT_EQ(pShown->m_nUpdates, 0);
    EXPECT_EQ(pHidden->m_nUpdates, 1);
    pBars->InternalRelease();
}

TEST_F(CommandBarsTest, ContextMenusAndSystemKeyReleasesWaitWhileABarTracks)
{
    ScopedTestTheme theme;
    auto* pBar = new TestBar;
    pBar->GetControls()->Add(xtpControlButton, 57600);
    ASSERT_TRUE(pBar->CreateIn(m_pFrame, CRect(0, 0, 200, 26)));
    MSG contextMenu{m_hFrame, WM_CONTEXTMENU, 0, 0, 0, {0, 0}};
    MSG sysKeyUp{m_hFrame, WM_SYSKEYUP, VK_MENU, 0, 0, {0, 0}};
    EXPECT_FALSE(m_pFrame->PreTranslateMessage(&contextMenu));
    EXPECT_FALSE(m_pFrame->PreTranslateMessage(&sysKeyUp));
    pBar->SetTrackingMode(1, TRUE, TRUE);
    EXPECT_TRUE(m_pFrame->PreTranslateMessage(&contextMenu));
    EXPECT_TRUE(m_pFrame->PreTranslateMessage(&sysKeyUp));
    // Leaving the application, or a system command, ends the tracking.
    m_pFrame->SendMessage(WM_SYSCOMMAND, SC_KEYMENU);
    EXPECT_EQ(pBar->GetTrackingMode(), 1);
    m_pFrame->SendMessage(WM_ACTIVATEAPP, FALSE);
    EXPECT_EQ(pBar->GetTrackingMode(), 0);
    pBar->SetTrackingMode(1, TRUE, TRUE);
    m_pFrame->GetCommandBars()->OnFrameWndMsg(WM_SYSCOMMAND, SC_MINIMIZE, 0, nullptr);
    EXPECT_EQ(pBar->GetTrackingMode(), 0);
    pBar->InternalRelease();
}

TEST_F(CommandBarsTest, ARunningControlsNotificationHandledByTheFrameSendsNoCommand)
{
    ScopedTestTheme theme;
    auto* pBar = new TestBar;
    pBar->SetCommandBars(m_pFrame->GetCommandBars());
    CXTPControl* pSearch = pBar->GetControls()->Add(xtpControlButton, kSearchBox);
    CXTPControl* pOther = pBar->GetControls()->Add(xtpControlButton, 57601);
    ASSERT_TRUE(pBar->CreateIn(m_pFrame, CRect(0, 0, 200, 26)));
    pSearch->OnExecute();
    EXPECT_EQ(m_pFrame->m_nSearches, 1);
    EXPECT_TRUE(m_pFrame->m_commands.empty());
    m_pFrame->m_searchResult = 0;
    pSearch->OnExecute();
    EXPECT_EQ(m_pFrame->m_nSearches, 2);
    EXPECT_TRUE(m_pFrame->m_commands.empty()) << "the search box has no command handler";
    pOther->OnExecute();
    EXPECT_EQ(m_pFrame->m_commands, (std::vector<UINT>{57601}));
    pBar->InternalRelease();
}
