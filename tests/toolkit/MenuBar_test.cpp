// The menu bar: made from a menu resource by the manager, driven by the
// mouse, the menu key (Alt alone, F10), arrows and Escape, and Alt+letter
// through the frame's message filter. Headless, input injected as the
// presenter injects it.
#include "ToolkitTestSupport.h"

#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/MenuBarTestFrame.h"

#include "platform/mfc/Menu.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Focus.h"
#include "platform/win/Input.h"
#include "platform/win/Menu.h"
#include "platform/win/WindowPos.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControlExt.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPMenuBar.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <string>
#include <vector>

using tavrin::test::CMenuBarTestFrame;
using tavrin::test::ScopedTestTheme;
using tavrin::test::ScopedToolBarResources;
using tavrin::win::InjectKey;
using tavrin::win::InjectMouseButton;
using tavrin::win::InjectMouseMove;
using tavrin::win::MouseButton;

namespace {

class MenuBarTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        m_pResources = new ScopedToolBarResources;
        m_pTheme = new ScopedTestTheme;
        InjectMouseMove(1200, 900);
        Pump();
    }
    void TearDown() override
    {
        XTPMouseManager()->SendTrackLost();
        if (m_pFrame && ::IsWindow(m_pFrame->m_hWnd))
            m_pFrame->DestroyWindow();
        delete m_pFrame;
        delete m_pTheme;
        delete m_pResources;
        Pump();
        ToolkitTest::TearDown();
    }
    static void Pump() { CMenuBarTestFrame::Pump(); }
    // A frame with its own menu, the fixture's accelerators, and the menu
    // bar from nMenu (none for 0).
    void MakeFrame(UINT nMenu = IDM_MAIN)
    {
        m_pFrame = new CMenuBarTestFrame;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, 600, 300)));
        m_hOwnMenu = ::LoadMenuA(m_pResources->Module(), MAKEINTRESOURCEA(IDM_TWO_F));
        ::SetMenu(m_pFrame->m_hWnd, m_hOwnMenu);
        m_pFrame->m_hAccelTable = ::LoadAcceleratorsA(m_pResources->Module(), MAKEINTRESOURCEA(IDM_MAIN));
        ASSERT_TRUE(m_pFrame->InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)));
        // Menus show at once: an animation waits on the clock.
        Bars()->GetOptions()->animationType = xtpAnimateNone;
        if (nMenu) {
            m_pMenuBar = Bars()->SetMenu("菜单条", nMenu);
            ASSERT_TRUE(m_pMenuBar);
        }
        m_pFrame->ShowWindow(SW_SHOW);
        m_pFrame->RecalcLayout();
        ::SetForegroundWindow(m_pFrame->m_hWnd);
        ::SetFocus(m_pFrame->m_hWnd);
        Pump();
    }
    CXTPCommandBars* Bars() const { return m_pFrame->GetCommandBars(); }
    CXTPPopupBar* Menu(int nTitle) const
    {
        return static_cast<CXTPPopupBar*>(m_pMenuBar->GetControl(nTitle)->GetCommandBar());
    }
    // Which title's menu shows; -1 for none.
    int OpenMenu() const
    {
        for (int i = 0; i < m_pMenuBar->GetControlCount(); ++i)
            if (Menu(i) && Menu(i)->GetSafeHwnd() && Menu(i)->IsWindowVisible())
                return i;
        return -1;
    }
    static void Key(UINT vk, std::vector<UINT> held = {})
    {
        for (UINT h : held)
            InjectKey(h, true);
        InjectKey(vk, true);
        InjectKey(vk, false);
        for (auto it = held.rbegin(); it != held.rend(); ++it)
            InjectKey(*it, false);
        Pump();
    }
    // The centre of a control on screen.
    static CPoint Centre(CXTPControl* pControl)
    {
        CPoint pt = pControl->GetRect().CenterPoint();
        pControl->GetParent()->ClientToScreen(&pt);
        return pt;
    }
    // Every other click a few pixels aside: two clicks in a row are never a
    // double click.
    static void Click(CPoint pt)
    {
        static int s_nClicks = 0;
        pt.x += (s_nClicks++ % 2) * 6;
        InjectMouseMove(pt.x, pt.y);
        Pump();
        InjectMouseButton(MouseButton::Left, true);
        Pump();
        InjectMouseButton(MouseButton::Left, false);
        Pump();
    }

    CWinApp m_app;
    ScopedToolBarResources* m_pResources = nullptr;
    ScopedTestTheme* m_pTheme = nullptr;
    CMenuBarTestFrame* m_pFrame = nullptr;
    CXTPMenuBar* m_pMenuBar = nullptr;
    HMENU m_hOwnMenu = nullptr;
};

std::vector<std::string> Captions(CXTPCommandBar* pBar)
{
    std::vector<std::string> captions;
    for (int i = 0; i < pBar->GetControlCount(); ++i)
        if (pBar->GetControl(i)->IsVisible())
            captions.push_back(static_cast<LPCTSTR>(pBar->GetControl(i)->GetCaption()));
    return captions;
}

// The rows of a dock bar (its row array split at the breaks).
std::vector<std::vector<CXTPToolBar*>> Rows(CXTPDockBar* pDockBar)
{
    std::vector<std::vector<CXTPToolBar*>> rows(1);
    for (CXTPToolBar* pBar : pDockBar->GetRowArray()) {
        if (pBar)
            rows.back().push_back(pBar);
        else if (!rows.back().empty())
            rows.emplace_back();
    }
    if (rows.back().empty())
        rows.pop_back();
    return rows;
}

} // namespace

TEST_F(MenuBarTest, SetMenuDocksTheBarOnItsOwnTopRowAndTakesTheFramesMenu)
{
    MakeFrame();
    CXTPToolBar* pToolBar = Bars()->Add("标准", xtpBarTop);
    ASSERT_TRUE(pToolBar && pToolBar->LoadToolBar(IDT_STANDARD));
    m_pFrame->RecalcLayout();

    EXPECT_EQ(Bars()->GetMenuBar(), m_pMenuBar);
    EXPECT_EQ(Bars()->GetAt(0), m_pMenuBar);
    EXPECT_EQ(m_pMenuBar->GetType(), xtpBarTypeMenuBar);
    EXPECT_EQ(m_pMenuBar->GetBarID(), 1u);
    EXPECT_EQ(m_pMenuBar->GetFlags(), 0x5Fu);
    EXPECT_EQ(m_pMenuBar->GetPosition(), xtpBarTop);
    EXPECT_EQ(std::string(m_pMenuBar->GetTitle()), "菜单条");
    EXPECT_EQ(m_pMenuBar->GetMenuResource(), UINT(IDM_MAIN));
    EXPECT_EQ(m_pMenuBar->GetCurrentMenuResource(), UINT(IDM_MAIN));
    // Alone on the first row of the top dock bar; the toolbar on the next.
    CXTPDockBar* pTop = Bars()->GetDockBar(xtpBarTop);
    ASSERT_EQ(m_pMenuBar->GetDockBar(), pTop);
    EXPECT_EQ(Rows(pTop), (std::vector<std::vector<CXTPToolBar*>>{{m_pMenuBar}, {pToolBar}}));
    CRect rcMenu, rcTool;
    m_pMenuBar->GetWindowRect(&rcMenu);
    pToolBar->GetWindowRect(&rcTool);
    EXPECT_LE(rcMenu.bottom, rcTool.top);

    // The titles, each a popup filled from its submenu.
    EXPECT_EQ(Captions(m_pMenuBar), (std::vector<std::string>{"文件(&F)", "帐号(A)", "视图(&V)"}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(m_pMenuBar->GetControl(i)->IsKindOf(RUNTIME_CLASS(CXTPControlPopup))) << i;
        EXPECT_TRUE(Menu(i)) << i;
    }
    EXPECT_EQ(Menu(0)->GetControlCount(), 2);
    EXPECT_TRUE(Menu(0)->GetControl(1)->GetBeginGroup()) << "the separator starts a group";
    // The frame's own menu is gone from it and kept by the bar.
    EXPECT_EQ(::GetMenu(m_pFrame->m_hWnd), nullptr);
    EXPECT_EQ(m_pMenuBar->GetDefaultMenu(), m_hOwnMenu);
    // The initial set is recorded.
    ASSERT_TRUE(m_pMenuBar->GetControls()->GetOriginalControls());
    EXPECT_EQ(m_pMenuBar->GetControls()->GetOriginalControls()->GetCount(), 3);
    // The system commands' glyphs are registered.
    for (UINT nCommand : {SC_RESTORE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE})
        EXPECT_TRUE(Bars()->GetImageManager()->GetImage(nCommand, 16)) << nCommand;
}

TEST_F(MenuBarTest, AMenuThatCannotBeLoadedLeavesNothingBehind)
{
    MakeFrame(0);
    CXTPToolBar* pToolBar = Bars()->Add("标准", xtpBarTop);
    ASSERT_TRUE(pToolBar && pToolBar->LoadToolBar(IDT_STANDARD));
    EXPECT_EQ(Bars()->SetMenu("菜单条", IDM_MISSING), nullptr);
    EXPECT_EQ(Bars()->GetMenuBar(), nullptr);
    EXPECT_EQ(Bars()->GetCount(), 1);
    CXTPDockBar* pTop = Bars()->GetDockBar(xtpBarTop);
    EXPECT_EQ(Rows(pTop), (std::vector<std::vector<CXTPToolBar*>>{{pToolBar}}));
    EXPECT_EQ(::GetMenu(m_pFrame->m_hWnd), m_hOwnMenu) << "the frame keeps its menu";
    // Laid out again after a resize, the row holds only the live toolbar.
    m_pFrame->SetWindowPos(nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_pFrame->RecalcLayout();
    CRect rcTool, rcDock;
    pToolBar->GetWindowRect(&rcTool);
    pTop->GetWindowRect(&rcDock);
    EXPECT_TRUE(rcDock.PtInRect(rcTool.TopLeft()));
    EXPECT_LT(rcDock.Height(), 2 * rcTool.Height()) << "one row only";
}

TEST_F(MenuBarTest, TheMenuKeySelectsTheFirstTitle)
{
    MakeFrame();
    struct Case {
        const char* name;
        UINT key;
        std::vector<UINT> held;
        bool tracks;
    };
    const Case cases[] = {
        {"Alt alone", VK_MENU, {}, true},
        {"F10", VK_F10, {}, true},
        {"Shift+F10", VK_F10, {VK_SHIFT}, false},
        {"Ctrl+F10", VK_F10, {VK_CONTROL}, false},
    };
    for (const Case& c : cases) {
        Key(c.key, c.held);
        EXPECT_EQ(m_pMenuBar->GetTrackingMode() != 0, c.tracks) << c.name;
        EXPECT_EQ(m_pMenuBar->GetSelectedIndex(), c.tracks ? 0 : -1) << c.name;
        EXPECT_EQ(OpenMenu(), -1) << c.name << ": nothing opens";
        Key(VK_ESCAPE);
        EXPECT_EQ(m_pMenuBar->GetTrackingMode(), 0) << c.name;
        EXPECT_EQ(m_pMenuBar->GetSelectedIndex(), -1) << c.name;
    }
    // A hidden bar leaves the key to the frame.
    m_pMenuBar->SetVisible(FALSE);
    Key(VK_F10);
    EXPECT_EQ(m_pMenuBar->GetTrackingMode(), 0);
}

TEST_F(MenuBarTest, ArrowsAndEscapeWalkTitlesMenusAndSubmenus)
{
    MakeFrame();
    Key(VK_F10);
    ASSERT_EQ(m_pMenuBar->GetSelectedIndex(), 0);
    Key(VK_RIGHT);
    EXPECT_EQ(m_pMenuBar->GetSelectedIndex(), 1);
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_EQ(m_pMenuBar->GetSelectedIndex(), 2) << "wraps to the last title";
    Key(VK_RIGHT);
    EXPECT_EQ(m_pMenuBar->GetSelectedIndex(), 0);

    // Down opens the selected title's menu with its first item selected.
    Key(VK_DOWN);
    ASSERT_EQ(OpenMenu(), 0);
    EXPECT_EQ(Menu(0)->GetSelectedIndex(), 0);
    Key(VK_DOWN);
    EXPECT_EQ(Menu(0)->GetSelectedIndex(), 1) << "the separator is passed";
    // Right in a menu without a submenu moves to the next title's menu.
    Key(VK_RIGHT);
    ASSERT_EQ(OpenMenu(), 1);
    EXPECT_EQ(m_pMenuBar->GetSelectedIndex(), 1);
    EXPECT_EQ(Menu(1)->GetSelectedIndex(), 0);
    // Down to the submenu item, Right opens it, Left closes it.
    Key(VK_DOWN);
    ASSERT_EQ(Menu(1)->GetSelectedIndex(), 1);
    Key(VK_RIGHT);
    auto* pSub = static_cast<CXTPPopupBar*>(Menu(1)->GetControl(1)->GetCommandBar());
    ASSERT_TRUE(pSub && pSub->GetSafeHwnd() && pSub->IsWindowVisible());
    EXPECT_EQ(pSub->GetSelectedIndex(), 0);
    Key(VK_LEFT);
    EXPECT_FALSE(pSub->GetSafeHwnd() && pSub->IsWindowVisible());
    EXPECT_EQ(OpenMenu(), 1);
    EXPECT_EQ(Menu(1)->GetSelectedIndex(), 1);
    // Escape closes one level at a time: submenu, menu, then the bar.
    Key(VK_RIGHT);
    ASSERT_TRUE(pSub->GetSafeHwnd() && pSub->IsWindowVisible());
    Key(VK_ESCAPE);
    EXPECT_FALSE(pSub->GetSafeHwnd() && pSub->IsWindowVisible());
    EXPECT_EQ(OpenMenu(), 1);
    Key(VK_ESCAPE);
    EXPECT_EQ(OpenMenu(), -1);
    EXPECT_NE(m_pMenuBar->GetTrackingMode(), 0);
    EXPECT_EQ(m_pMenuBar->GetSelectedIndex(), 1) << "the title stays selected";
    Key(VK_ESCAPE);
    EXPECT_EQ(m_pMenuBar->GetTrackingMode(), 0);
    EXPECT_EQ(m_pMenuBar->GetSelectedIndex(), -1);
    EXPECT_TRUE(m_pFrame->m_commands.empty());

    // Return on an item runs it on the frame and closes the chain.
    Key(VK_F10);
    Key(VK_DOWN);
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_EQ(m_pFrame->m_commands, std::vector<UINT>{ID_MB_EXIT});
    EXPECT_EQ(OpenMenu(), -1);
    EXPECT_EQ(m_pMenuBar->GetTrackingMode(), 0);
    EXPECT_EQ(XTPMouseManager()->GetTrackedCount(), 0);
}

TEST_F(MenuBarTest, ShortcutTextsComeFromTheFramesAcceleratorTable)
{
    MakeFrame();
    Key(VK_MENU);
    Key(VK_LEFT);
    Key(VK_DOWN);
    ASSERT_EQ(OpenMenu(), 2);
    struct Case {
        UINT id;
        const char* shortcut;
    };
    const Case cases[] = {{ID_MB_COMPOSE, "F8"}, {ID_MB_OTHER, "F9"}, {ID_MB_STATUS, ""}};
    for (const Case& c : cases) {
        CXTPControl* pItem = Menu(2)->GetControls()->FindControl(static_cast<int>(c.id));
        ASSERT_TRUE(pItem) << c.id;
        EXPECT_EQ(std::string(pItem->GetAutoShortcutText()), c.shortcut) << c.id;
    }
    Key(VK_ESCAPE);
    Key(VK_DOWN);
    ASSERT_EQ(OpenMenu(), 2);
    Key(VK_ESCAPE);
    Key(VK_LEFT);
    Key(VK_LEFT);
    Key(VK_DOWN);
    ASSERT_EQ(OpenMenu(), 0);
    CXTPControl* pOptions = Menu(0)->GetControls()->FindControl(ID_MB_OPTIONS);
    ASSERT_TRUE(pOptions);
    EXPECT_EQ(std::string(pOptions->GetAutoShortcutText()), "Ctrl+O");
}

TEST_F(MenuBarTest, AltAndALetter)
{
    struct Case {
        const char* situation;
        UINT nMenu;
        UINT key;
        std::vector<UINT> held;
        BOOL bShiftGuard;
        int nOpen;      // the title whose menu opens
        int nFirstItem; // the item selected in it: the first one the keys reach
        int nSelected;  // the title selected
        bool tracks;
        std::vector<UINT> commands;
        bool beeps;     // not consumed: the frame's own handling rang
    };
    const Case cases[] = {
        {"one title marked F", IDM_MAIN, 'F', {VK_MENU}, FALSE, 0, 0, 0, true, {}, false},
        // The toolbars placeholder hides behind its items (none: no toolbar).
        {"a title marked V", IDM_MAIN, 'V', {VK_MENU}, FALSE, 2, 1, 2, true, {}, false},
        {"two titles marked F", IDM_TWO_F, 'F', {VK_MENU}, FALSE, -1, -1, 0, true, {}, false},
        {"a title that is a command", IDM_TWO_F, 'B', {VK_MENU}, FALSE, -1, -1, -1, false, {ID_MB_ABOUT}, false},
        {"no title carries the letter", IDM_MAIN, 'Q', {VK_MENU}, FALSE, -1, -1, -1, false, {}, true},
        {"Shift held without the guard", IDM_MAIN, 'F', {VK_MENU, VK_SHIFT}, FALSE, 0, 0, 0, true, {}, false},
        {"Shift held with the guard", IDM_MAIN, 'F', {VK_MENU, VK_SHIFT}, TRUE, -1, -1, -1, false, {}, true},
    };
    for (const Case& c : cases) {
        MakeFrame(c.nMenu);
        Bars()->SetIgnoreShiftMenuKey(c.bShiftGuard);
        const int nBeeps = tavrin::win::MessageBeepCount();
        Key(c.key, c.held);
        EXPECT_EQ(OpenMenu(), c.nOpen) << c.situation;
        if (c.nOpen >= 0)
            EXPECT_EQ(Menu(c.nOpen)->GetSelectedIndex(), c.nFirstItem) << c.situation << ": first item selected";
        EXPECT_EQ(m_pMenuBar->GetSelectedIndex(), c.nSelected) << c.situation;
        EXPECT_EQ(m_pMenuBar->GetTrackingMode() != 0, c.tracks) << c.situation;
        EXPECT_EQ(m_pFrame->m_commands, c.commands) << c.situation;
        EXPECT_EQ(tavrin::win::MessageBeepCount() > nBeeps, c.beeps) << c.situation;
        XTPMouseManager()->SendTrackLost();
        m_pFrame->DestroyWindow();
        delete m_pFrame;
        m_pFrame = nullptr;
        Pump();
    }
}

TEST_F(MenuBarTest, AltAndALetterDoNothingWhileAMenuIsOpenOrAnotherWindowIsActive)
{
    MakeFrame();
    MSG msg{m_pFrame->m_hWnd, WM_SYSKEYDOWN, 'V', LPARAM(1) << 29, 0, {0, 0}};
    // A menu opened with the mouse.
    Click(Centre(m_pMenuBar->GetControl(0)));
    ASSERT_EQ(OpenMenu(), 0);
    EXPECT_FALSE(Bars()->PreTranslateFrameMessage(&msg));
    EXPECT_EQ(OpenMenu(), 0);
    XTPMouseManager()->SendTrackLost();
    Pump();
    ASSERT_EQ(OpenMenu(), -1);

    // Another top-level window is active.
    // Deletes itself when destroyed.
    auto* pOther = new CFrameWnd;
    ASSERT_TRUE(pOther->Create(nullptr, "other", WS_OVERLAPPEDWINDOW, CRect(300, 300, 500, 400)));
    pOther->ShowWindow(SW_SHOW);
    ::SetForegroundWindow(pOther->m_hWnd);
    EXPECT_FALSE(Bars()->PreTranslateFrameMessage(&msg));
    EXPECT_EQ(OpenMenu(), -1);
    EXPECT_EQ(m_pMenuBar->GetTrackingMode(), 0);
    // Back in the frame the same message opens the menu.
    ::SetForegroundWindow(m_pFrame->m_hWnd);
    EXPECT_TRUE(Bars()->PreTranslateFrameMessage(&msg));
    EXPECT_EQ(OpenMenu(), 2);
    XTPMouseManager()->SendTrackLost();
    pOther->DestroyWindow();
}

TEST_F(MenuBarTest, TheMouseOpensClosesAndCrossesTitles)
{
    MakeFrame();
    // Hovering with no menu open only highlights.
    InjectMouseMove(Centre(m_pMenuBar->GetControl(1)).x, Centre(m_pMenuBar->GetControl(1)).y);
    Pump();
    EXPECT_EQ(m_pMenuBar->GetSelectedIndex(), 1);
    EXPECT_EQ(OpenMenu(), -1);
    EXPECT_EQ(m_pMenuBar->GetTrackingMode(), 0);

    // A click opens the title's menu, a second click closes it.
    Click(Centre(m_pMenuBar->GetControl(0)));
    ASSERT_EQ(OpenMenu(), 0);
    EXPECT_EQ(Menu(0)->GetSelectedIndex(), -1) << "by the mouse nothing is selected";
    Click(Centre(m_pMenuBar->GetControl(0)));
    EXPECT_EQ(OpenMenu(), -1);

    // With a menu open, moving to the next title opens that one.
    Click(Centre(m_pMenuBar->GetControl(0)));
    ASSERT_EQ(OpenMenu(), 0);
    InjectMouseMove(Centre(m_pMenuBar->GetControl(2)).x, Centre(m_pMenuBar->GetControl(2)).y);
    Pump();
    EXPECT_EQ(OpenMenu(), 2);

    // An item chosen runs its command on the frame and closes the chain.
    CXTPControl* pItem = Menu(2)->GetControls()->FindControl(ID_MB_OTHER);
    ASSERT_TRUE(pItem);
    Click(Centre(pItem));
    EXPECT_EQ(m_pFrame->m_commands, std::vector<UINT>{ID_MB_OTHER});
    EXPECT_EQ(OpenMenu(), -1);
    EXPECT_EQ(m_pMenuBar->GetTrackingMode(), 0);
    EXPECT_EQ(XTPMouseManager()->GetTrackedCount(), 0);
}

TEST_F(MenuBarTest, TheToolbarsItemListsTheToolbarsCheckedWhileShown)
{
    MakeFrame();
    CXTPToolBar* pStandard = Bars()->Add("标准", xtpBarTop);
    CXTPToolBar* pSearch = Bars()->Add("搜索", xtpBarTop);
    ASSERT_TRUE(pStandard && pSearch);
    pStandard->LoadToolBar(IDT_STANDARD);
    pSearch->LoadToolBar(IDT_SEARCH);
    m_pFrame->RecalcLayout();
    auto items = [&] {
        std::vector<std::pair<std::string, int>> list;
        for (int i = 0; i < Menu(2)->GetControlCount(); ++i) {
            CXTPControl* pControl = Menu(2)->GetControl(i);
            if (pControl->IsVisible() && pControl->GetID() == ID_MB_TOOLBARS)
                list.emplace_back(static_cast<LPCTSTR>(pControl->GetCaption()), pControl->GetChecked());
        }
        return list;
    };
    using Items = std::vector<std::pair<std::string, int>>;

    Key('V', {VK_MENU});
    ASSERT_EQ(OpenMenu(), 2);
    EXPECT_EQ(items(), (Items{{"标准", 1}, {"搜索", 1}})) << "the placeholder hides behind its items";
    EXPECT_EQ(Captions(Menu(2))[2], "状态栏(&S)") << "the items sit where the placeholder is";
    Key(VK_ESCAPE);
    Key(VK_ESCAPE);

    // Hidden, the toolbar's item shows unchecked when the menu opens again.
    pSearch->SetVisible(FALSE);
    Key('V', {VK_MENU});
    ASSERT_EQ(OpenMenu(), 2);
    EXPECT_EQ(items(), (Items{{"标准", 1}, {"搜索", 0}})) << "generated afresh, not added twice";
    // Choosing it shows the toolbar again and closes the menus; no command goes out.
    CXTPControl* pItem = nullptr;
    for (int i = 0; i < Menu(2)->GetControlCount(); ++i)
        if (Menu(2)->GetControl(i)->IsVisible() && Menu(2)->GetControl(i)->GetCaption() == "搜索")
            pItem = Menu(2)->GetControl(i);
    ASSERT_TRUE(pItem);
    Click(Centre(pItem));
    EXPECT_TRUE(pSearch->IsVisible());
    EXPECT_TRUE(pStandard->IsVisible());
    EXPECT_EQ(OpenMenu(), -1);
    EXPECT_EQ(m_pMenuBar->GetTrackingMode(), 0);
    EXPECT_TRUE(m_pFrame->m_commands.empty());
}

TEST_F(MenuBarTest, LabelsAreNeverHighlightedNorReachedByKeys)
{
    MakeFrame();
    CXTPControls* pItems = Menu(0)->GetControls();
    CXTPControl* pLabel = pItems->Add(xtpControlLabel, 0, nullptr, 1);
    ASSERT_TRUE(pLabel);
    pLabel->SetCaption("标签");
    EXPECT_EQ(pLabel->GetFlags(), DWORD(xtpFlagSkipFocus | xtpFlagNoMovable));
    Key('F', {VK_MENU});
    ASSERT_EQ(OpenMenu(), 0);
    ASSERT_EQ(Menu(0)->GetSelectedIndex(), 0);
    Key(VK_DOWN);
    EXPECT_EQ(Menu(0)->GetSelectedIndex(), 2) << "the label is passed";
    Key(VK_UP);
    EXPECT_EQ(Menu(0)->GetSelectedIndex(), 0);
    // Under the pointer it is the selected control but never drawn as such.
    InjectMouseMove(Centre(pLabel).x, Centre(pLabel).y);
    Pump();
    EXPECT_EQ(Menu(0)->GetSelectedIndex(), 1);
    EXPECT_FALSE(pLabel->GetSelected());
    // A click on it runs nothing.
    Click(Centre(pLabel));
    EXPECT_TRUE(m_pFrame->m_commands.empty());
}

TEST_F(MenuBarTest, AToolbarButtonRunsOnPressAndRelease)
{
    MakeFrame();
    CXTPToolBar* pBar = Bars()->Add("标准", xtpBarTop);
    ASSERT_TRUE(pBar && pBar->LoadToolBar(IDT_STANDARD));
    m_pFrame->RecalcLayout();
    CXTPControl* pButton = pBar->GetControls()->FindControl(ID_TB_ABOUT);
    ASSERT_TRUE(pButton);
    const CPoint pt = Centre(pButton);
    InjectMouseMove(pt.x, pt.y);
    Pump();
    InjectMouseButton(MouseButton::Left, true);
    InjectMouseButton(MouseButton::Left, false);
    Pump();
    EXPECT_EQ(m_pFrame->m_commands, std::vector<UINT>{ID_TB_ABOUT});
    // Released away from it: nothing runs.
    m_pFrame->m_commands.clear();
    InjectMouseButton(MouseButton::Left, true);
    InjectMouseMove(pt.x, pt.y + 200);
    InjectMouseButton(MouseButton::Left, false);
    Pump();
    EXPECT_TRUE(m_pFrame->m_commands.empty());
}

TEST_F(MenuBarTest, AWindowListWithoutChildWindowsGeneratesNothingAndStaysVisible)
{
    MakeFrame();
    CXTPControls* pItems = Menu(0)->GetControls();
    CXTPControl* pList = pItems->Add(xtpControlButton, XTP_ID_WINDOWLIST);
    ASSERT_TRUE(pList && pList->IsKindOf(RUNTIME_CLASS(CXTPControlWindowList)));
    pList->SetCaption("窗口");
    // Placeholders that need services the framework lacks stay hidden.
    CXTPControl* pWorkspace = pItems->Add(xtpControlButton, XTP_ID_WORKSPACE_ACTIONS);
    ASSERT_TRUE(pWorkspace && pWorkspace->IsKindOf(RUNTIME_CLASS(CXTPControlWorkspaceActions)));
    const int nCount = pItems->GetCount();
    Key('F', {VK_MENU});
    ASSERT_EQ(OpenMenu(), 0);
    EXPECT_EQ(pItems->GetCount(), nCount);
    EXPECT_TRUE(pList->IsVisible());
    EXPECT_FALSE(pWorkspace->IsVisible());
}

TEST_F(MenuBarTest, TheSelectorGrowsWhileDraggedAndRunsOnRelease)
{
    MakeFrame();
    CXTPControls* pItems = Menu(0)->GetControls();
    auto* pSelector = new CXTPControlSelector;
    pItems->Add(pSelector, 700, nullptr, 0);
    Key('F', {VK_MENU});
    ASSERT_EQ(OpenMenu(), 0);
    CXTPPopupBar* pPopup = Menu(0);
    EXPECT_EQ(pSelector->GetRect().Size(), CSize(140, 112));
    EXPECT_EQ(pSelector->GetVisibleGrid(), CSize(5, 4));
    m_pFrame->m_notifications.clear();

    // The selection follows the pointer: columns and rows whose start lies before it.
    const CRect rc = pSelector->GetRect();
    struct Move {
        CPoint pt;
        CSize selected;
        size_t notifications;
    };
    const Move moves[] = {
        {CPoint(rc.left + 5, rc.top + 5), CSize(1, 1), 1},
        {CPoint(rc.left + 20, rc.top + 20), CSize(1, 1), 1},  // unchanged: no notification
        {CPoint(rc.left + 60, rc.top + 30), CSize(3, 2), 2},
        {CPoint(rc.left + 139, rc.top + 111), CSize(5, 4), 3},
    };
    for (const Move& m : moves) {
        CPoint pt = m.pt;
        pPopup->ClientToScreen(&pt);
        InjectMouseMove(pt.x, pt.y);
        Pump();
        EXPECT_EQ(pSelector->GetSelectedCells(), m.selected) << m.pt.x << "," << m.pt.y;
        EXPECT_EQ(m_pFrame->m_notifications.size(), m.notifications) << m.pt.x << "," << m.pt.y;
    }
    for (UINT nCode : m_pFrame->m_notifications)
        EXPECT_EQ(nCode, UINT(XTP_SN_SELECTION_CHANGED));

    // Dragged beyond the right and bottom edges with the button held, it grows.
    CPoint ptIn = CPoint(rc.left + 139, rc.top + 111);
    pPopup->ClientToScreen(&ptIn);
    InjectMouseButton(MouseButton::Left, true);
    Pump();
    struct Drag {
        CPoint offset;  // from the grid's bottom-right corner
        CSize grid;
    };
    // At or beyond an edge counts; columns and rows grow by the cells passed.
    const Drag drags[] = {
        {CPoint(30, -1), CSize(7, 4)},
        {CPoint(-1, 60), CSize(7, 7)},
        {CPoint(600, 600), CSize(12, 12)},
    };
    for (const Drag& d : drags) {
        // Over the grid first (the pointer selects it), then out beyond its edge.
        CPoint ptCorner = pSelector->GetRect().BottomRight() - CPoint(2, 2);
        pPopup->ClientToScreen(&ptCorner);
        InjectMouseMove(ptCorner.x, ptCorner.y);
        Pump();
        ASSERT_EQ(pPopup->GetSelectedIndex(), pSelector->GetIndex());
        CPoint pt = pSelector->GetRect().BottomRight() + d.offset;
        pPopup->ClientToScreen(&pt);
        ::SetCursorPos(pt.x, pt.y);
        InjectMouseMove(pt.x, pt.y);
        Pump();
        pPopup->SetSelected(-1);
        EXPECT_EQ(pSelector->GetVisibleGrid(), d.grid) << d.offset.x << "," << d.offset.y;
        EXPECT_EQ(pSelector->GetRect().Size(), CSize(d.grid.cx * 28, d.grid.cy * 28));
    }
    // Released over the grid: the selection runs (notification 100, then the command).
    CPoint ptLast = pSelector->GetRect().TopLeft() + CPoint(3 * 28 - 1, 2 * 28 - 1);
    pPopup->ClientToScreen(&ptLast);
    InjectMouseMove(ptLast.x, ptLast.y);
    Pump();
    EXPECT_EQ(pSelector->GetSelectedCells(), CSize(3, 2));
    m_pFrame->m_notifications.clear();
    InjectMouseButton(MouseButton::Left, false);
    Pump();
    EXPECT_EQ(pSelector->GetExecutedCells(), CSize(3, 2));
    EXPECT_EQ(m_pFrame->m_notifications, std::vector<UINT>{100});
    EXPECT_EQ(m_pFrame->m_commands, std::vector<UINT>{700});
}

TEST(ExtendedControls, CopiesAndClonesKeepTheirClass)
{
    const char* names[] = {"CXTPControlButton",         "CXTPControlLabel",        "CXTPControlWindowList",
                           "CXTPControlToolbars",       "CXTPControlOleItems",     "CXTPControlRecentFileList",
                           "CXTPControlSelector",       "CXTPControlWorkspaceActions"};
    CRuntimeClass* classes[] = {RUNTIME_CLASS(CXTPControlButton),         RUNTIME_CLASS(CXTPControlLabel),
                                RUNTIME_CLASS(CXTPControlWindowList),     RUNTIME_CLASS(CXTPControlToolbars),
                                RUNTIME_CLASS(CXTPControlOleItems),       RUNTIME_CLASS(CXTPControlRecentFileList),
                                RUNTIME_CLASS(CXTPControlSelector),       RUNTIME_CLASS(CXTPControlWorkspaceActions)};
    for (size_t i = 0; i < std::size(classes); ++i) {
        auto* pControl = static_cast<CXTPControl*>(classes[i]->CreateObject());
        ASSERT_TRUE(pControl) << names[i];
        EXPECT_STREQ(pControl->GetRuntimeClass()->m_lpszClassName, names[i]);
        pControl->SetID(300 + static_cast<int>(i));
        pControl->SetCaption("x");
        CXTPControl* pClone = pControl->Clone(TRUE);
        ASSERT_TRUE(pClone) << names[i];
        EXPECT_STREQ(pClone->GetRuntimeClass()->m_lpszClassName, names[i]);
        EXPECT_EQ(pClone->GetID(), 300 + static_cast<int>(i));
        EXPECT_EQ(pClone->GetFlags(), pControl->GetFlags()) << names[i];
        pClone->InternalRelease();
        pControl->InternalRelease();
    }
    // The selector's grid settings go with it.
    CXTPControlSelector selector;
    selector.m_szItemsCount = CSize(3, 3);
    selector.m_szItemsMax = CSize(8, 6);
    selector.m_szItem = CSize(20, 20);
    auto* pCopy = static_cast<CXTPControlSelector*>(selector.Clone());
    EXPECT_EQ(pCopy->m_szItemsCount, CSize(3, 3));
    EXPECT_EQ(pCopy->m_szItemsMax, CSize(8, 6));
    EXPECT_EQ(pCopy->m_szItem, CSize(20, 20));
    pCopy->InternalRelease();
}
