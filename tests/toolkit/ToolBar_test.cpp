// Toolbars: loading from toolbar resources, tooltips, metrics, the floating
// window, visibility and print preview, the docked layout with the expand
// chevron, and the option list.
#include "ToolkitTestSupport.h"

#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/ToolBarTestFrame.h"

#include "platform/controls/ToolTip.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Accelerator.h"
#include "platform/win/Focus.h"
#include "platform/win/MessageBox.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/commandbars/XTPToolBarControls.h"
#include "toolkit/res/ToolkitIds.h"

#include <cstdlib>
#include <vector>

using tavrin::test::CToolBarTestFrame;
using tavrin::test::ScopedTestTheme;
using tavrin::test::ScopedToolBarResources;
using tavrin::test::ShownIds;

namespace {

class ToolBarTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        m_pResources = new ScopedToolBarResources;
        m_pTheme = new ScopedTestTheme;
    }
    void TearDown() override
    {
        if (m_pFrame && ::IsWindow(m_pFrame->m_hWnd))
            m_pFrame->DestroyWindow();
        delete m_pFrame;
        delete m_pTheme;
        delete m_pResources;
        tavrin::win::ClearMessageBoxAnswers();
        ToolkitTest::TearDown();
    }
    // A frame with its command bars; the customisation answer is asked at once.
    void MakeFrame(BOOL bCustomize = FALSE, int nWidth = 600)
    {
        m_pFrame = new CToolBarTestFrame;
        m_pFrame->m_bCustomize = bCustomize;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, nWidth, 300)));
        ASSERT_TRUE(m_pFrame->InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)));
        m_pFrame->ShowWindow(SW_SHOWNA);
    }
    CXTPCommandBars* Bars() const { return m_pFrame->GetCommandBars(); }
    CXTPToolBar* AddLoaded(LPCTSTR lpszTitle, UINT nID)
    {
        CXTPToolBar* pBar = Bars()->Add(lpszTitle, xtpBarTop);
        EXPECT_TRUE(pBar);
        if (pBar) {
            EXPECT_TRUE(pBar->LoadToolBar(nID));
        }
        return pBar;
    }
    void Resize(int nWidth)
    {
        m_pFrame->SetWindowPos(nullptr, 0, 0, nWidth, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_pFrame->RecalcLayout();
    }

    CWinApp m_app;
    ScopedToolBarResources* m_pResources = nullptr;
    ScopedTestTheme* m_pTheme = nullptr;
    CToolBarTestFrame* m_pFrame = nullptr;
};

std::vector<int> Ids(CXTPCommandBar* pBar)
{
    std::vector<int> ids;
    for (int i = 0; i < pBar->GetControlCount(); ++i)
        ids.push_back(pBar->GetControl(i)->GetID());
    return ids;
}

// Without the chevron and close button the layout adds.
std::vector<int> OwnIds(CXTPCommandBar* pBar)
{
    std::vector<int> ids;
    for (int i = 0; i < pBar->GetControlCount(); ++i)
        if (!pBar->GetControl(i)->IsTemporary())
            ids.push_back(pBar->GetControl(i)->GetID());
    return ids;
}

} // namespace

TEST_F(ToolBarTest, LoadingBuildsButtonsGroupsSplitButtonsAndIcons)
{
    MakeFrame();
    CXTPToolBar* pBar = AddLoaded("标准", IDT_STANDARD);
    ASSERT_TRUE(pBar);
    EXPECT_EQ(pBar->GetBarID(), UINT(IDT_STANDARD));
    EXPECT_EQ(Bars()->GetToolBar(IDT_STANDARD), pBar);
    // The trailing separator adds nothing.
    EXPECT_EQ(Ids(pBar), (std::vector<int>{ID_TB_ADD, ID_TB_REFRESH, ID_TB_SPLIT1, ID_TB_SPLIT2, ID_TB_ABOUT}));
    const std::vector<BOOL> groups{FALSE, FALSE, TRUE, FALSE, TRUE};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(pBar->GetControl(i)->GetBeginGroup(), groups[static_cast<size_t>(i)]) << i;
    // The site made split buttons of 151 and 154, filled from their menus.
    for (int nIndex : {2, 3}) {
        CXTPControl* pSplit = pBar->GetControl(nIndex);
        EXPECT_EQ(pSplit->GetType(), xtpControlSplitButtonPopup);
        ASSERT_TRUE(pSplit->IsKindOf(RUNTIME_CLASS(CXTPControlPopup)));
        ASSERT_TRUE(pSplit->GetCommandBar());
    }
    EXPECT_EQ(Ids(pBar->GetControl(2)->GetCommandBar()), (std::vector<int>{ID_MENU_A, ID_MENU_B}));
    EXPECT_EQ(Ids(pBar->GetControl(3)->GetCommandBar()), (std::vector<int>{ID_MENU_C}));
    // A 24-pixel strip sets the bar's icon size; its icons are in the image manager.
    EXPECT_EQ(pBar->GetIconSize(), CSize(24, 24));
    EXPECT_EQ(pBar->GetButtonSize(), CSize(31, 31));
    EXPECT_TRUE(pBar->GetImageManager()->GetImage(ID_TB_ADD, 24));
    EXPECT_TRUE(pBar->GetImageManager()->GetImage(ID_TB_SPLIT2, 24));
    // The initial set is recorded for the option list and the reset.
    ASSERT_TRUE(pBar->GetControls()->GetOriginalControls());
    EXPECT_EQ(pBar->GetControls()->GetOriginalControls()->GetCount(), 5);
}

TEST_F(ToolBarTest, LoadingFailures)
{
    MakeFrame();
    CXTPToolBar* pBar = Bars()->Add("x", xtpBarTop);
    ASSERT_TRUE(pBar);
    // A 16-pixel strip keeps the size of the options.
    EXPECT_TRUE(pBar->LoadToolBar(IDT_SEARCH));
    EXPECT_EQ(pBar->GetIconSize(), CSize(16, 16));
    EXPECT_FALSE(pBar->LoadToolBar(IDT_MISSING)) << "no such resource";
    EXPECT_EQ(pBar->GetControlCount(), 0);
    EXPECT_FALSE(pBar->LoadToolBar(IDT_NO_BITMAP)) << "icons cannot be registered";
    EXPECT_EQ(Ids(pBar), std::vector<int>{ID_TB_FIND}) << "the controls built so far stay";
    EXPECT_TRUE(pBar->LoadToolBar(IDT_NO_BITMAP, FALSE));
}

TEST_F(ToolBarTest, IconAndButtonMetrics)
{
    MakeFrame();
    CXTPToolBar* pBar = Bars()->Add("x", xtpBarTop);
    ASSERT_TRUE(pBar);
    CXTPCommandBarsOptions* pOptions = Bars()->GetOptions();
    struct Case {
        CSize szOwn, szIcons, szLarge;
        BOOL bLarge;
        CSize expected;
    } cases[] = {
        {{0, 0}, {0, 0}, {0, 0}, FALSE, {16, 16}},   // "IconsSize" 0 gives 16
        {{0, 0}, {20, 20}, {0, 0}, FALSE, {20, 20}}, // "IconsSize"
        {{0, 0}, {0, 0}, {0, 0}, TRUE, {32, 32}},    // large: twice the normal size
        {{0, 0}, {20, 20}, {40, 36}, TRUE, {40, 36}}, // large with "LargeIconsSize"
        {{24, 24}, {20, 20}, {0, 0}, TRUE, {24, 24}}, // the bar's own size wins
    };
    for (const Case& c : cases) {
        pBar->SetIconSize(c.szOwn);
        pOptions->szIcons = c.szIcons;
        pOptions->szLargeIcons = c.szLarge;
        pOptions->bLargeIcons = c.bLarge;
        EXPECT_EQ(pBar->GetIconSize(), c.expected);
        EXPECT_EQ(pBar->GetButtonSize(), CSize(c.expected.cx + 7, c.expected.cy + 7));
    }
    // Popup bars take "PopupIconsSize"; without a manager 16 x 16.
    pOptions->szPopupIcons = CSize(20, 20);
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(Bars());
    EXPECT_EQ(pPopup->GetIconSize(), CSize(20, 20));
    pPopup->InternalRelease();
    EXPECT_EQ(CXTPCommandBar::GetCommandBarsIconSize(nullptr, FALSE), CSize(16, 16));
}

TEST_F(ToolBarTest, TooltipsFollowTheOptionsAndTheTracking)
{
    MakeFrame();
    // Ctrl+N for the first button.
    ACCEL accel{FVIRTKEY | FCONTROL, 'N', ID_TB_ADD};
    m_pFrame->m_hAccelTable = ::CreateAcceleratorTableA(&accel, 1);
    CXTPToolBar* pBar = AddLoaded("标准", IDT_STANDARD16);
    ASSERT_TRUE(pBar);
    m_pFrame->RecalcLayout();
    CXTPCommandBarsOptions* pOptions = Bars()->GetOptions();

    auto tip = [&](int nIndex, CString* pText) {
        TTTOOLINFOA info{};
        info.cbSize = sizeof info;
        const INT_PTR nHit = pBar->OnToolHitTest(pBar->GetControl(nIndex)->GetRect().CenterPoint(), &info);
        if (pText)
            *pText = info.lpszText && info.lpszText != LPSTR_TEXTCALLBACK ? CString(info.lpszText) : CString();
        if (info.lpszText && info.lpszText != LPSTR_TEXTCALLBACK)
            std::free(info.lpszText);
        return nHit;
    };
    CString text;
    EXPECT_EQ(tip(0, &text), INT_PTR(ID_TB_ADD));
    EXPECT_EQ(text, "添加帐号");
    pOptions->bToolBarAccelTips = TRUE;
    EXPECT_EQ(tip(0, &text), INT_PTR(ID_TB_ADD));
    EXPECT_EQ(text, "添加帐号 (Ctrl+N)");
    EXPECT_EQ(tip(1, &text), INT_PTR(ID_TB_REFRESH));
    EXPECT_EQ(text, "刷新班级") << "no accelerator, no parentheses";

    pOptions->bToolBarScreenTips = FALSE;
    EXPECT_EQ(tip(0, nullptr), -1);
    pOptions->bToolBarScreenTips = TRUE;
    // Another bar tracks.
    CXTPToolBar* pOther = AddLoaded("搜索", IDT_SEARCH);
    pOther->SetTrackingMode(TRUE, FALSE);
    EXPECT_EQ(tip(0, nullptr), -1);
    pOther->SetTrackingMode(FALSE);
    EXPECT_EQ(tip(0, nullptr), INT_PTR(ID_TB_ADD));
    // The mouse lock.
    XTPMouseManager()->LockTracking();
    EXPECT_EQ(tip(0, nullptr), -1);
    XTPMouseManager()->UnlockTracking();
    // The bar's popup is open (tracking mode 2).
    pBar->m_bTracking = 2;
    EXPECT_EQ(tip(0, nullptr), -1);
    pBar->m_bTracking = 0;
    ::DestroyAcceleratorTable(m_pFrame->m_hAccelTable);
    m_pFrame->m_hAccelTable = nullptr;
}

TEST_F(ToolBarTest, TheFloatingWindow)
{
    MakeFrame();
    CXTPToolBar* pBar = AddLoaded("搜索", IDT_SEARCH);
    ASSERT_TRUE(pBar);
    ASSERT_TRUE(Bars()->FloatCommandBar(pBar));
    EXPECT_EQ(pBar->GetPosition(), xtpBarFloating);
    EXPECT_TRUE(pBar->GetStyle() & WS_POPUP);
    EXPECT_FALSE(pBar->GetStyle() & WS_CHILD);
    EXPECT_EQ(::GetWindow(pBar->m_hWnd, GW_OWNER), m_pFrame->m_hWnd);
    EXPECT_EQ(pBar->GetDockBar(), nullptr);

    // Sizing codes in a 3-pixel edge, no corners.
    CRect rc;
    pBar->GetWindowRect(&rc);
    ASSERT_GT(rc.Width(), 20);
    struct Hit {
        CPoint pt;
        LRESULT code;
    } hits[] = {
        {{rc.left + 10, rc.top + 1}, HTTOP},     {{rc.left + 10, rc.bottom - 1}, HTBOTTOM},
        {{rc.left + 1, rc.top + 10}, HTLEFT},    {{rc.right - 1, rc.top + 10}, HTRIGHT},
        {{rc.left + 1, rc.top + 1}, HTTOP},      {{rc.right - 1, rc.bottom - 1}, HTBOTTOM},
        {rc.CenterPoint(), HTCLIENT},
    };
    for (const Hit& h : hits)
        EXPECT_EQ(pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(h.pt.x, h.pt.y)), h.code) << h.pt.x << "," << h.pt.y;
    // Never activated by a click; WM_CLOSE is ignored.
    EXPECT_EQ(pBar->SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(m_pFrame->m_hWnd),
                                MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    pBar->SendMessage(WM_CLOSE);
    EXPECT_TRUE(::IsWindow(pBar->m_hWnd));
    EXPECT_TRUE(pBar->IsWindowVisible());

    // The caption strip: the close button at its right end; the option button
    // only with "ShowExpandButtonAlways".
    Bars()->GetOptions()->bShowExpandButtonAlways = FALSE;
    pBar->OnRecalcLayout();
    pBar->GetClientRect(&rc);
    CXTPControl* pClose = pBar->GetControls()->FindControl(XTP_ID_TOOLBAR_HIDE);
    CXTPControl* pExpand = pBar->GetControls()->FindControl(XTP_ID_TOOLBAR_EXPAND);
    ASSERT_TRUE(pClose);
    ASSERT_TRUE(pExpand);
    EXPECT_TRUE(pClose->IsVisible());
    EXPECT_FALSE(pExpand->IsVisible());
    EXPECT_EQ(pClose->GetRect().right, rc.right - 3);
    EXPECT_EQ(pClose->GetRect().top, 3);
    Bars()->GetOptions()->bShowExpandButtonAlways = TRUE;
    pBar->OnRecalcLayout();
    EXPECT_TRUE(pExpand->IsVisible());
    EXPECT_EQ(pExpand->GetRect().right, pClose->GetRect().left);
    EXPECT_EQ(pExpand->GetRect().top, 3);
    // The buttons stay out of the rows: every real control sits below the caption.
    for (int i = 0; i < pBar->GetControlCount(); ++i)
        if (!pBar->GetControl(i)->IsTemporary()) {
            EXPECT_GT(pBar->GetControl(i)->GetRect().top, pClose->GetRect().bottom);
        }

    // Docking again makes it a child of the top dock bar.
    ASSERT_TRUE(Bars()->DockCommandBar(pBar, xtpBarTop));
    EXPECT_EQ(pBar->GetPosition(), xtpBarTop);
    EXPECT_TRUE(pBar->GetStyle() & WS_CHILD);
    EXPECT_EQ(::GetParent(pBar->m_hWnd), Bars()->GetDockBar(xtpBarTop)->m_hWnd);
}

TEST_F(ToolBarTest, FloatingBarsFollowTheFramesActivation)
{
    MakeFrame();
    CXTPToolBar* pBar = AddLoaded("搜索", IDT_SEARCH);
    ASSERT_TRUE(Bars()->FloatCommandBar(pBar));
    ASSERT_TRUE(pBar->IsWindowVisible());
    HWND hOther = ::CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                    nullptr, nullptr);
    ::SetActiveWindow(hOther);
    pBar->SendMessage(WM_FLOATSTATUS, FS_DEACTIVATE);
    EXPECT_FALSE(pBar->IsWindowVisible()) << "the frame lost the activation";
    ::SetActiveWindow(m_pFrame->m_hWnd);
    ::SetForegroundWindow(m_pFrame->m_hWnd);
    pBar->SendMessage(WM_FLOATSTATUS, FS_ACTIVATE);
    EXPECT_TRUE(pBar->IsWindowVisible());
    // Without "SyncFloatingBars" they stay.
    Bars()->GetOptions()->bSyncFloatingBars = FALSE;
    ::SetActiveWindow(hOther);
    pBar->SendMessage(WM_FLOATSTATUS, FS_DEACTIVATE);
    EXPECT_TRUE(pBar->IsWindowVisible());
    // FS_SYNCACTIVE is answered by the synchronised style only.
    EXPECT_TRUE(pBar->SendMessage(WM_FLOATSTATUS, FS_SYNCACTIVE));
    ::DestroyWindow(hOther);
}

TEST_F(ToolBarTest, HidingEndsTrackingAndPreviewRestoresExactlyTheShownBars)
{
    MakeFrame();
    CXTPToolBar* pFirst = AddLoaded("标准", IDT_STANDARD16);
    CXTPToolBar* pSecond = AddLoaded("搜索", IDT_SEARCH);
    ASSERT_TRUE(pFirst && pSecond);
    pFirst->SetTrackingMode(TRUE, FALSE);
    ASSERT_TRUE(pFirst->GetTrackingMode());
    const int nLayouts = m_pFrame->m_nLayouts;
    pFirst->SetVisible(FALSE);
    EXPECT_FALSE(pFirst->GetTrackingMode());
    EXPECT_FALSE(pFirst->IsWindowVisible());
    EXPECT_GT(m_pFrame->m_nLayouts, nLayouts);
    EXPECT_EQ(Bars()->GetCount(), 2) << "a built-in bar stays listed";

    m_pFrame->OnSetPreviewMode(TRUE, nullptr);
    EXPECT_FALSE(pFirst->IsVisible());
    EXPECT_FALSE(pSecond->IsVisible());
    EXPECT_FALSE(pSecond->IsWindowVisible());
    m_pFrame->OnSetPreviewMode(FALSE, nullptr);
    EXPECT_FALSE(pFirst->IsVisible()) << "hidden before the preview";
    EXPECT_TRUE(pSecond->IsVisible());
    EXPECT_TRUE(pSecond->IsWindowVisible());
}

TEST_F(ToolBarTest, TheChevronShowsWhenTheRowIsShortAndHoldsTheHiddenButtons)
{
    MakeFrame();
    Bars()->GetOptions()->bShowExpandButtonAlways = FALSE;
    CXTPToolBar* pBar = AddLoaded("标准", IDT_STANDARD16);
    ASSERT_TRUE(pBar);
    m_pFrame->RecalcLayout();
    auto* pExpand =
        DYNAMIC_DOWNCAST(CXTPToolBarExpandButton, pBar->GetControls()->FindControl(XTP_ID_TOOLBAR_EXPAND));
    ASSERT_TRUE(pExpand);
    EXPECT_FALSE(pExpand->IsVisible()) << "everything fits";
    CRect rcWide;
    pBar->GetWindowRect(&rcWide);

    // Narrowed: the last buttons go behind the chevron.
    Resize(150);
    EXPECT_TRUE(pExpand->IsVisible());
    EXPECT_TRUE(pExpand->HasHidden());
    std::vector<int> hidden;
    for (int i = 0; i < pBar->GetControlCount(); ++i)
        if (pBar->GetControl(i)->GetHideFlags() == xtpHideWrap)
            hidden.push_back(pBar->GetControl(i)->GetID());
    ASSERT_FALSE(hidden.empty());
    CRect rcBar;
    pBar->GetClientRect(&rcBar);
    EXPECT_EQ(pExpand->GetRect().right, rcBar.right - 2);

    CXTPPopupBar* pPopup = pExpand->BuildExpandPopup();
    ASSERT_TRUE(pPopup);
    EXPECT_TRUE(pPopup->IsKindOf(RUNTIME_CLASS(CXTPPopupToolBar)));
    EXPECT_EQ(Ids(pPopup), hidden) << "exactly the hidden buttons";
    for (int i = 0; i < pPopup->GetControlCount(); ++i) {
        EXPECT_TRUE(pPopup->GetControl(i)->IsVisible());
        EXPECT_FALSE(pPopup->GetControl(i)->GetBeginGroup());
    }
    EXPECT_EQ(pPopup->GetMRUWidth(), 150);
    EXPECT_FALSE(pPopup->IsCustomizable());

    // Widened again: no chevron.
    Resize(600);
    EXPECT_FALSE(pExpand->IsVisible());
    EXPECT_EQ(ShownIds(pBar).size(), 5u);
}

TEST_F(ToolBarTest, WithShowExpandButtonAlwaysElevenPixelsAreKept)
{
    MakeFrame();
    CXTPToolBar* pBar = AddLoaded("标准", IDT_STANDARD16);
    ASSERT_TRUE(pBar);
    const DWORD dwMode = LM_HORZ | LM_HORZDOCK | LM_HIDEWRAP;
    Bars()->GetOptions()->bShowExpandButtonAlways = FALSE;
    const CSize szOff = pBar->CalcDockingLayout(600, dwMode | LM_COMMIT);
    EXPECT_FALSE(pBar->GetControls()->FindControl(XTP_ID_TOOLBAR_EXPAND)->IsVisible());
    Bars()->GetOptions()->bShowExpandButtonAlways = TRUE;
    const CSize szOn = pBar->CalcDockingLayout(600, dwMode | LM_COMMIT);
    EXPECT_EQ(szOn.cx - szOff.cx, 11);
    CXTPControl* pExpand = pBar->GetControls()->FindControl(XTP_ID_TOOLBAR_EXPAND);
    EXPECT_TRUE(pExpand->IsVisible());
    EXPECT_EQ(pExpand->GetRect().right, szOn.cx - 2);
    // Its popup then offers the option list.
    CXTPPopupBar* pPopup = static_cast<CXTPToolBarExpandButton*>(pExpand)->BuildExpandPopup();
    ASSERT_EQ(pPopup->GetControlCount(), 1);
    EXPECT_EQ(pPopup->GetControl(0)->GetCaption(), "添加或删除按钮");

    // Measured without committing, never less than one button and the chevron.
    Bars()->GetOptions()->bShowExpandButtonAlways = FALSE;
    const CSize szMin = pBar->CalcDockingLayout(1, dwMode);
    EXPECT_EQ(szMin.cx, 2 + 40 + 2 + 11);
    // A bar with one button is only that button.
    CXTPToolBar* pOne = Bars()->Add("one", xtpBarTop);
    ASSERT_TRUE(pOne->LoadToolBar(IDT_NO_BITMAP, FALSE));
    EXPECT_EQ(pOne->CalcDockingLayout(1, dwMode).cx, 2 + 40 + 2);
}

TEST_F(ToolBarTest, TheOptionListKeepsTheInitialPlacesOfHiddenButtons)
{
    MakeFrame(TRUE);
    ASSERT_TRUE(Bars()->IsCustomizeAvail());
    CXTPToolBar* pBar = AddLoaded("标准", IDT_STANDARD16);
    ASSERT_TRUE(pBar);
    // The user hid the second button, removed the last one and added one.
    pBar->GetControl(1)->SetHideFlag(xtpHideCustomize, TRUE);
    pBar->GetControls()->Remove(4);
    pBar->GetControls()->Add(xtpControlButton, 999);

    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(Bars());
    pBar->BuildCustomizePopup(pPopup);
    struct Line {
        int target;
        BOOL checked, enabled;
    } expected[] = {
        {ID_TB_ADD, TRUE, TRUE},     {ID_TB_REFRESH, FALSE, TRUE}, {ID_TB_SPLIT1, TRUE, TRUE},
        {ID_TB_SPLIT2, TRUE, TRUE},  {ID_TB_ABOUT, FALSE, TRUE},   {999, TRUE, FALSE},
    };
    ASSERT_EQ(pPopup->GetControlCount(), 7);
    for (int i = 0; i < 6; ++i) {
        auto* pLine = DYNAMIC_DOWNCAST(CXTPToolBarOptionItem, pPopup->GetControl(i));
        ASSERT_TRUE(pLine);
        ASSERT_TRUE(pLine->GetTarget()) << i;
        EXPECT_EQ(pLine->GetTarget()->GetID(), expected[i].target) << i;
        EXPECT_EQ(pLine->GetChecked(), expected[i].checked) << i;
        EXPECT_EQ(pLine->GetEnabled(), expected[i].enabled) << i;
        EXPECT_EQ(pLine->GetID(), 0);
    }
    // The removed button came back hidden, at its place.
    EXPECT_EQ(OwnIds(pBar), (std::vector<int>{ID_TB_ADD, ID_TB_REFRESH, ID_TB_SPLIT1, ID_TB_SPLIT2, ID_TB_ABOUT, 999}));
    auto* pReset = DYNAMIC_DOWNCAST(CXTPToolBarOptionItem, pPopup->GetControl(6));
    ASSERT_TRUE(pReset);
    EXPECT_EQ(pReset->GetCaption(), "重置");
    EXPECT_TRUE(pReset->GetBeginGroup());
    EXPECT_EQ(pReset->m_nJoinedColumn, 1);
    EXPECT_EQ(pReset->GetResetBar(), pBar);

    // A line toggles its button.
    pPopup->GetControl(1)->OnExecute();
    EXPECT_TRUE(pBar->GetControl(1)->IsVisible());
    EXPECT_TRUE(pPopup->GetControl(1)->GetChecked());
    EXPECT_TRUE(Bars()->GetOptions()->bDirtyState);

    // Reset asks first: cancelled, nothing changes; confirmed, the initial set.
    tavrin::win::TakeMessageBoxLog();
    tavrin::win::QueueMessageBoxAnswer(IDCANCEL);
    pReset->OnExecute();
    EXPECT_EQ(OwnIds(pBar).size(), 6u);
    tavrin::win::QueueMessageBoxAnswer(IDOK);
    pReset->OnExecute();
    EXPECT_EQ(OwnIds(pBar), (std::vector<int>{ID_TB_ADD, ID_TB_REFRESH, ID_TB_SPLIT1, ID_TB_SPLIT2, ID_TB_ABOUT}));
    const auto log = tavrin::win::TakeMessageBoxLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].type, UINT(MB_OKCANCEL | MB_ICONWARNING));
    pPopup->InternalRelease();
}
