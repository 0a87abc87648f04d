// Popup bars: context menus tracked by the manager, the shortened menus of
// rarely used commands, the opening animation, submenus opened from their
// controls, and scrolling popups. Headless, input injected, timers on the
// manual clock.
#include "ToolkitTestSupport.h"

#include "platform/base/Clock.h"
#include "platform/mfc/Menu.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/PopupMenu.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/User.h"
#include "tests/toolkit/CommandBarTestSupport.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPPopupPlacement.h"
#include "toolkit/commandbars/XTPShadowManager.h"
#include "toolkit/commandbars/XTPTrackContextMenu.h"
#include "toolkit/res/ToolkitIds.h"

#include <functional>
#include <memory>
#include <set>
#include <vector>

using namespace tavrin::test;
using tavrin::win::InjectKey;
using tavrin::win::InjectMouseButton;
using tavrin::win::InjectMouseMove;
using tavrin::win::MouseButton;

namespace {

constexpr UINT kRunAction = WM_APP + 7;

// The test theme, counting the animations instead of playing them.
class AnimationTheme : public TestPaintManager {
public:
    std::vector<int> m_popups;
    int m_nExpands = 0;
    void AnimatePopup(CDC*, CDC*, CRect, int nType) override { m_popups.push_back(nType); }
    void AnimateExpanding(CXTPCommandBar*, CDC*, CDC*) override { ++m_nExpands; }
    BOOL m_bFlat = FALSE;
    BOOL IsFlatStyle() override { return m_bFlat; }
    // Submenus overlapping their parent by one pixel, as the themes place them.
    BOOL m_bOverlapSubmenus = FALSE;
    void AdjustExcludeRect(CRect& rc, CXTPControl*, BOOL) override
    {
        if (m_bOverlapSubmenus)
            rc.right += 1;
    }
};

// A frame that handles every command, and counts the update requests.
class CommandSite : public TestSite {
public:
    int m_nUpdates = 0;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (nCode == CN_UPDATE_COMMAND_UI && nID != 0 && nID < 0xF000) {
            ++m_nUpdates;
            return FALSE;
        }
        if (nCode == CN_COMMAND && pHandlerInfo)
            return TRUE;
        return TestSite::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }
};

class PopupBarTest : public ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        tavrin::win::SetScreenSize(1024, 768); // work area 1024 x 738
        m_pTheme = new AnimationTheme;
        CXTPPaintManager::SetCustomTheme(m_pTheme);
        m_site = std::make_unique<CommandSite>();
        m_site->SetActiveWindow();
        m_site->m_handler = [this](UINT message, WPARAM, LPARAM lParam, LRESULT*) {
            if (message == WM_POPUP_OPENING)
                m_pOpened = reinterpret_cast<CXTPPopupBar*>(lParam);
            if (message == WM_POPUP_CLOSED)
                m_hOpened = reinterpret_cast<CXTPPopupBar*>(lParam)->m_hWnd;
            if (message == kRunAction && !m_actions.empty()) {
                auto action = m_actions.front();
                m_actions.erase(m_actions.begin());
                action();
                return true;
            }
            return false;
        };
        m_pBars = new CXTPCommandBars;
        m_pBars->SetSite(m_site.get());
        m_pBars->GetOptions()->animationType = xtpAnimateNone;
        InjectMouseMove(1000, 700);
        PumpMessages();
    }
    void TearDown() override
    {
        XTPMouseManager()->SendTrackLost();
        for (CXTPPopupBar* pBar : m_popups)
            pBar->InternalRelease();
        m_pBars->InternalRelease();
        m_site.reset();
        CXTPPaintManager::SetCustomTheme(nullptr);
        PumpMessages();
        tavrin::win::ResetSystemProfile();
        ToolkitTest::TearDown();
    }
    // Runs inside the next modal loop, in the order given.
    void During(std::function<void()> action)
    {
        m_actions.push_back(std::move(action));
        m_site->PostMessage(kRunAction, 0, 0);
    }
    // A popup bar of the manager holding buttons with these ids.
    CXTPPopupBar* MakePopup(const std::vector<int>& ids, CXTPCommandBars* pBars)
    {
        CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(pBars);
        pPopup->SetOwner(m_site.get());
        for (int id : ids)
            pPopup->GetControls()->Add(xtpControlButton, id)->SetCaption("item");
        m_popups.push_back(pPopup);
        return pPopup;
    }
    CPoint ScreenMiddle(CXTPCommandBar* pBar, int nIndex)
    {
        CPoint pt = pBar->GetControl(nIndex)->GetRect().CenterPoint();
        pBar->ClientToScreen(&pt);
        return pt;
    }
    CRect WindowRect(CWnd* pWnd)
    {
        CRect rc;
        pWnd->GetWindowRect(&rc);
        return rc;
    }

    AnimationTheme* m_pTheme = nullptr;
    std::unique_ptr<CommandSite> m_site;
    CXTPCommandBars* m_pBars = nullptr;
    CXTPPopupBar* m_pOpened = nullptr;
    // The window of the popup as it closed (the popup itself may be gone).
    HWND m_hOpened = nullptr;
    std::vector<std::function<void()>> m_actions;
    std::vector<CXTPPopupBar*> m_popups;
};

// A context menu of three commands.
struct ThreeItems : CMenu {
    ThreeItems()
    {
        CreatePopupMenu();
        AppendMenu(MF_STRING, 301, "剪切(&T)");
        AppendMenu(MF_STRING, 302, "复制(&C)");
        AppendMenu(MF_STRING, 303, "粘贴(&P)");
    }
};

} // namespace

TEST_F(PopupBarTest, TrackPopupMenuChoosesAndReturns)
{
    struct Case {
        const char* name;
        UINT flags;
        bool withManager;
        bool choose;
        UINT expected;
        bool command;
    };
    const Case cases[] = {
        {"flags 0, chosen, to the manager's frame", 0, true, true, TRUE, true},
        {"flags 0, chosen, no manager: to the owner", 0, false, true, TRUE, true},
        {"return command, chosen", TPM_RETURNCMD, true, true, 302, false},
        {"return command, dismissed", TPM_RETURNCMD, true, false, 0, false},
        {"flags 0, dismissed", 0, true, false, TRUE, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_site->Clear();
        ThreeItems menu;
        During([&] {
            ASSERT_TRUE(m_pOpened);
            EXPECT_TRUE(m_pOpened->IsVisible());
            if (c.choose) {
                m_pOpened->SetSelected(1, TRUE);
                m_pOpened->OnKeyDown(VK_RETURN);
            } else {
                m_pOpened->OnKeyDown(VK_ESCAPE);
            }
        });
        const UINT result = CXTPCommandBars::TrackPopupMenu(&menu, c.flags, 100, 100, m_site.get(), nullptr, nullptr,
                                                            c.withManager ? m_pBars : nullptr);
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(m_site->Messages(WM_COMMAND), c.command ? std::vector<UINT>{302} : std::vector<UINT>{});
        EXPECT_EQ(XTPMouseManager()->GetTrackedCount(), 0);
        EXPECT_EQ(m_hOpened, nullptr) << "the popup's window is gone";
        EXPECT_EQ(m_site->Messages(WM_POPUP_CLOSED).size(), 1u);
    }
}

TEST_F(PopupBarTest, TrackPopupMenuRefusesWhatIsNoMenu)
{
    EXPECT_EQ(CXTPCommandBars::TrackPopupMenu(nullptr, 0, 10, 10, m_site.get(), nullptr, nullptr, m_pBars), 0u);
    CMenu notAMenu;
    notAMenu.m_hMenu = reinterpret_cast<HMENU>(m_site->m_hWnd);
    EXPECT_EQ(CXTPCommandBars::TrackPopupMenu(&notAMenu, 0, 10, 10, m_site.get(), nullptr, nullptr, m_pBars), 0u);
    notAMenu.m_hMenu = nullptr;
    EXPECT_TRUE(m_site->Messages(WM_POPUP_OPENING).empty()) << "nothing shown";
}

TEST_F(PopupBarTest, TrackPopupMenuFlags)
{
    ThreeItems menu;
    // Right-aligned at x.
    During([&] {
        EXPECT_EQ(WindowRect(m_pOpened).right, 500);
        EXPECT_EQ(WindowRect(m_pOpened).top, 100);
        m_pOpened->OnKeyDown(VK_ESCAPE);
    });
    CXTPCommandBars::TrackPopupMenu(&menu, TPM_RIGHTALIGN, 500, 100, m_site.get(), nullptr, nullptr, m_pBars);

    // A right-button release chooses only with TPM_RIGHTBUTTON.
    for (bool rightButton : {true, false}) {
        SCOPED_TRACE(rightButton ? "TPM_RIGHTBUTTON" : "left button only");
        m_site->Clear();
        During([&] {
            const CPoint pt = ScreenMiddle(m_pOpened, 2);
            InjectMouseMove(pt.x, pt.y);
            InjectMouseButton(MouseButton::Right, true);
            InjectMouseButton(MouseButton::Right, false);
            // Escape after the clicks, for the case where nothing was chosen.
            InjectKey(VK_ESCAPE, true);
            InjectKey(VK_ESCAPE, false);
        });
        const UINT result = CXTPCommandBars::TrackPopupMenu(&menu, TPM_RETURNCMD | (rightButton ? TPM_RIGHTBUTTON : 0),
                                                            200, 200, m_site.get(), nullptr, nullptr, m_pBars);
        EXPECT_EQ(result, rightButton ? 303u : 0u);
        m_actions.clear();
        PumpMessages();
    }
}

TEST_F(PopupBarTest, TrackPopupMenuNoNotifyRunsNoUpdateHandler)
{
    ThreeItems menu;
    for (bool noNotify : {false, true}) {
        SCOPED_TRACE(noNotify ? "TPM_NONOTIFY" : "flags 0");
        m_site->m_nUpdates = 0;
        During([&] { m_pOpened->OnKeyDown(VK_ESCAPE); });
        CXTPCommandBars::TrackPopupMenu(&menu, noNotify ? TPM_NONOTIFY : 0, 100, 100, m_site.get(), nullptr, nullptr,
                                        m_pBars);
        if (noNotify)
            EXPECT_EQ(m_site->m_nUpdates, 0);
        else
            EXPECT_GE(m_site->m_nUpdates, 3);
    }
}

TEST_F(PopupBarTest, TrackPopupMenuKeepsTheQuitAndTheClosingMessage)
{
    ThreeItems menu;
    // WM_QUIT posted while the menu is open ends the loop and stays queued.
    During([] { ::PostQuitMessage(7); });
    EXPECT_EQ(CXTPCommandBars::TrackPopupMenu(&menu, TPM_RETURNCMD, 100, 100, m_site.get(), nullptr, nullptr, m_pBars),
              0u);
    EXPECT_EQ(XTPMouseManager()->GetTrackedCount(), 0);
    EXPECT_EQ(m_site->Messages(WM_POPUP_CLOSED).size(), 1u);
    EXPECT_EQ(m_hOpened, nullptr);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is still queued";
    EXPECT_EQ(msg.wParam, 7u);

    // A press outside closes the menu; the press itself still reaches the
    // window beneath.
    m_site->Clear();
    During([&] {
        CPoint pt(300, 250);
        InjectMouseMove(pt.x, pt.y);
        InjectMouseButton(MouseButton::Left, true);
    });
    EXPECT_EQ(CXTPCommandBars::TrackPopupMenu(&menu, TPM_RETURNCMD, 20, 20, m_site.get(), nullptr, nullptr, m_pBars),
              0u);
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE))
        << "the press is posted again, not lost";
    EXPECT_EQ(msg.hwnd, m_site->m_hWnd);
    InjectMouseButton(MouseButton::Left, false);
    PumpMessages();
}

TEST_F(PopupBarTest, ShortenedMenus)
{
    CXTPCommandBarsOptions* pOptions = m_pBars->GetOptions();
    pOptions->bAlwaysShowFullMenus = FALSE;
    pOptions->m_mapHiddenCommands.SetAt(501, TRUE);
    pOptions->m_mapHiddenCommands.SetAt(502, TRUE);
    pOptions->m_mapHiddenCommands.SetAt(503, TRUE);

    // Every command rarely used: all shown, no expand row.
    CXTPPopupBar* pRare = MakePopup({501, 502}, m_pBars);
    ASSERT_TRUE(pRare->Popup(100, 100, nullptr));
    EXPECT_TRUE(pRare->GetControl(0)->IsVisible());
    EXPECT_TRUE(pRare->GetControl(1)->IsVisible());
    EXPECT_FALSE(pRare->HasHiddenControls());
    EXPECT_EQ(pRare->GetControls()->FindControl(XTP_ID_POPUPBAR_EXPAND), nullptr);
    pRare->SetTrackingMode(FALSE);

    // Some used: the used ones and the expand row, 12 high under them.
    CXTPPopupBar* pMixed = MakePopup({600, 501, 601, 502}, m_pBars);
    CXTPControl* pSubItem = pMixed->GetControls()->Add(xtpControlPopup, 0);
    auto* pLater = static_cast<CXTPPopupBar*>(pSubItem->GetCommandBar());
    pLater->GetControls()->Add(xtpControlButton, 600);
    pLater->GetControls()->Add(xtpControlButton, 501);
    ASSERT_TRUE(pMixed->Popup(100, 100, nullptr));
    EXPECT_TRUE(pMixed->HasHiddenControls());
    EXPECT_TRUE(pMixed->GetControl(0)->IsVisible());
    EXPECT_EQ(pMixed->GetControl(1)->GetHideFlags(), static_cast<DWORD>(xtpHideExpand));
    EXPECT_TRUE(pMixed->GetControl(2)->IsVisible());
    EXPECT_TRUE(pSubItem->IsVisible());
    CXTPControl* pExpand = pMixed->GetControls()->FindControl(XTP_ID_POPUPBAR_EXPAND);
    ASSERT_TRUE(pExpand);
    EXPECT_TRUE(pExpand->IsVisible());
    EXPECT_EQ(pExpand->GetRect(), CRect(2, 2 + 66, 42, 2 + 66 + 12));
    EXPECT_EQ(WindowRect(pMixed).Size(), CSize(44, 2 + 66 + 12 + 2));

    // Down on the last used item expands, with the expanding animation.
    pOptions->animationType = xtpAnimateSlide;
    pMixed->SetSelected(4, TRUE);
    pMixed->OnKeyDown(VK_DOWN);
    EXPECT_TRUE(pMixed->IsExpanded());
    EXPECT_FALSE(pMixed->HasHiddenControls());
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(pMixed->GetControl(i)->IsVisible()) << i;
    EXPECT_FALSE(pExpand->IsVisible());
    EXPECT_EQ(m_pTheme->m_nExpands, 1);
    EXPECT_EQ(WindowRect(pMixed).Height(), 2 + 110 + 2);
    EXPECT_TRUE(XTPMouseManager()->IsForceExpanded());

    // Its submenus open expanded until tracking ends.
    pOptions->animationType = xtpAnimateNone;
    pMixed->SetPopuped(4, TRUE);
    ASSERT_TRUE(pLater->IsVisible());
    EXPECT_TRUE(pLater->GetControl(1)->IsVisible());
    EXPECT_EQ(XTPMouseManager()->GetTrackedCount(), 2);
    EXPECT_EQ(XTPMouseManager()->GetTrackedBar(0), pMixed);
    EXPECT_EQ(pMixed->GetPopupedIndex(), 4);
    XTPMouseManager()->SendTrackLost();
    EXPECT_EQ(XTPMouseManager()->GetTrackedCount(), 0);
    EXPECT_FALSE(pLater->IsVisible());
    EXPECT_FALSE(XTPMouseManager()->IsForceExpanded());
    ASSERT_TRUE(pMixed->Popup(100, 100, nullptr));
    pMixed->SetPopuped(4, TRUE);
    ASSERT_TRUE(pLater->IsVisible());
    EXPECT_FALSE(pLater->GetControl(1)->IsVisible()) << "shortened again";
    pMixed->SetTrackingMode(FALSE);

    // Ctrl+Down anywhere expands.
    ASSERT_TRUE(pMixed->Popup(100, 100, nullptr));
    EXPECT_TRUE(pMixed->HasHiddenControls());
    InjectKey(VK_CONTROL, true);
    PumpMessages();
    pMixed->SetSelected(0, TRUE);
    pMixed->OnKeyDown(VK_DOWN);
    InjectKey(VK_CONTROL, false);
    PumpMessages();
    EXPECT_TRUE(pMixed->IsExpanded());
    pMixed->SetTrackingMode(FALSE);
}

TEST_F(PopupBarTest, RestingOnTheExpandRowExpands)
{
    tavrin::clock::ManualScope clock(1000000);
    CXTPCommandBarsOptions* pOptions = m_pBars->GetOptions();
    pOptions->bAlwaysShowFullMenus = FALSE;
    pOptions->m_mapHiddenCommands.SetAt(501, TRUE);
    for (bool showFullAfterDelay : {false, true}) {
        SCOPED_TRACE(showFullAfterDelay ? "ShowFullAfterDelay on" : "off");
        pOptions->bShowFullAfterDelay = showFullAfterDelay;
        CXTPPopupBar* pPopup = MakePopup({600, 501}, m_pBars);
        ASSERT_TRUE(pPopup->Popup(100, 100, nullptr));
        CXTPControl* pExpand = pPopup->GetControls()->FindControl(XTP_ID_POPUPBAR_EXPAND);
        ASSERT_TRUE(pExpand);
        const CPoint pt = ScreenMiddle(pPopup, pExpand->GetIndex());
        // Onto the row, then along it.
        InjectMouseMove(pt.x, pt.y);
        PumpMessages();
        InjectMouseMove(pt.x, pt.y - 1);
        PumpMessages();
        EXPECT_EQ(pPopup->GetSelectedIndex(), pExpand->GetIndex());
        tavrin::clock::Advance(299);
        PumpMessages();
        EXPECT_FALSE(pPopup->IsExpanded());
        tavrin::clock::Advance(1);
        PumpMessages();
        EXPECT_EQ(pPopup->IsExpanded() != FALSE, showFullAfterDelay);
        pPopup->SetTrackingMode(FALSE);
        InjectMouseMove(1000, 700);
        PumpMessages();
    }
}

TEST_F(PopupBarTest, LayoutCutsWideItemsAndSizesEmptyPopups)
{
    CXTPPopupBar* pEmpty = MakePopup({}, m_pBars);
    EXPECT_EQ(pEmpty->CalcDynamicLayout(0, 0), CSize(2 + 22 + 2, 22 + 2));

    // Work area right 1024: nothing wider than 341.
    m_pTheme->m_sizes[700] = CSize(500, 22);
    m_pTheme->m_sizes[701] = CSize(60, 30);
    CXTPPopupBar* pWide = MakePopup({700, 701}, m_pBars);
    EXPECT_EQ(pWide->CalcDynamicLayout(0, 0), CSize(2 + 341 + 2, 2 + 52 + 2));
    EXPECT_EQ(pWide->GetControl(0)->GetRect(), CRect(2, 2, 343, 24));
    EXPECT_EQ(pWide->GetControl(1)->GetRect(), CRect(2, 24, 343, 54)) << "every item as wide as the widest";
}

TEST_F(PopupBarTest, AnimationTypes)
{
    CXTPPopupBar* pPopup = MakePopup({600}, m_pBars);
    ASSERT_TRUE(pPopup->Popup(100, 100, nullptr));
    CXTPCommandBarsOptions* pOptions = m_pBars->GetOptions();
    struct Case {
        int option;
        UINT menuAnimation;
        UINT menuFade;
        int expected;
    };
    const Case cases[] = {
        {0, 0, 1, xtpAnimateNone}, {0, 1, 1, xtpAnimateFade}, {0, 1, 0, xtpAnimateSlide},
        {2, 0, 0, xtpAnimateUnfold}, {3, 0, 0, xtpAnimateSlide}, {4, 0, 0, xtpAnimateFade},
        {5, 1, 1, xtpAnimateNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        pOptions->animationType = c.option;
        tavrin::win::SetSystemParameter(SPI_GETMENUANIMATION, c.menuAnimation);
        tavrin::win::SetSystemParameter(SPI_GETMENUFADE, c.menuFade);
        EXPECT_EQ(pPopup->GetAnimationType(), c.expected);
    }
    pOptions->animationType = xtpAnimateRandom;
    std::set<int> seen;
    for (int i = 0; i < 200; ++i)
        seen.insert(pPopup->GetAnimationType());
    EXPECT_EQ(seen, (std::set<int>{xtpAnimateUnfold, xtpAnimateSlide, xtpAnimateFade}));

    // A popup hosting a window does not animate.
    pOptions->animationType = xtpAnimateFade;
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD, CRect(0, 0, 10, 10), pPopup, 5));
    EXPECT_EQ(pPopup->GetAnimationType(), xtpAnimateNone);
    child.DestroyWindow();
    pPopup->SetTrackingMode(FALSE);
    EXPECT_EQ(pPopup->GetAnimationType(), xtpAnimateFade);
}

TEST_F(PopupBarTest, SubmenusFromTheirControls)
{
    m_pBars->GetOptions()->animationType = xtpAnimateSlide;
    // A menu-bar-like row of two titles and a context popup with a submenu.
    auto* pBar = new TestBar;
    pBar->SetCommandBars(m_pBars);
    pBar->m_barType = xtpBarTypeMenuBar;
    CXTPControl* pFirst = pBar->GetControls()->Add(xtpControlPopup, 0);
    CXTPControl* pSecond = pBar->GetControls()->Add(xtpControlPopup, 0);
    pFirst->GetCommandBar()->GetControls()->Add(xtpControlButton, 801);
    pFirst->GetCommandBar()->GetControls()->Add(xtpControlButton, 802);
    pSecond->GetCommandBar()->GetControls()->Add(xtpControlButton, 811);
    ASSERT_TRUE(pBar->CreateIn(m_site.get(), CRect(0, 0, 300, 26)));
    pBar->OnRecalcLayout();
    auto* pFirstPopup = static_cast<CXTPPopupBar*>(pFirst->GetCommandBar());
    auto* pSecondPopup = static_cast<CXTPPopupBar*>(pSecond->GetCommandBar());

    // A click opens the title's menu below it, animated once.
    const CPoint ptFirst = ScreenMiddle(pBar, 0);
    InjectMouseMove(ptFirst.x, ptFirst.y);
    InjectMouseButton(MouseButton::Left, true);
    PumpMessages();
    ASSERT_TRUE(pFirstPopup->IsVisible());
    CRect rcTitle = pFirst->GetRect();
    pBar->ClientToScreen(&rcTitle);
    EXPECT_EQ(WindowRect(pFirstPopup).TopLeft(), CPoint(rcTitle.left, rcTitle.bottom));
    EXPECT_EQ(pFirstPopup->GetPopupFlags(), static_cast<DWORD>(xtpPopupDown));
    EXPECT_EQ(pFirstPopup->GetSelectedIndex(), -1) << "opened by the mouse: nothing selected";
    EXPECT_EQ(m_pTheme->m_popups, std::vector<int>{xtpAnimateSlide});
    InjectMouseButton(MouseButton::Left, false);
    PumpMessages();

    // Moving onto the next title opens its menu, without animation.
    const CPoint ptSecond = ScreenMiddle(pBar, 1);
    InjectMouseMove(ptSecond.x, ptSecond.y);
    PumpMessages();
    EXPECT_FALSE(pFirstPopup->IsVisible());
    EXPECT_TRUE(pSecondPopup->IsVisible());
    EXPECT_EQ(m_pTheme->m_popups.size(), 1u) << "the second popup from the same bar does not animate";

    // By keyboard: Left goes back to the first title, which selects its first item.
    pBar->OnKeyDown(VK_LEFT);
    PumpMessages();
    if (!pFirstPopup->IsVisible())
        pBar->OnKeyDown(VK_DOWN);
    ASSERT_TRUE(pFirstPopup->IsVisible());
    EXPECT_EQ(pFirstPopup->GetSelectedIndex(), 0);

    XTPMouseManager()->SendTrackLost();
    EXPECT_FALSE(pFirstPopup->IsVisible());
    EXPECT_FALSE(pSecondPopup->IsVisible());
    EXPECT_EQ(XTPMouseManager()->GetTrackedCount(), 0);
    InjectMouseMove(1000, 700);
    PumpMessages();
    pBar->DestroyWindow();
    pBar->InternalRelease();
}

TEST_F(PopupBarTest, SubmenuAtTheRightEdgeOpensLeftAndItsSubmenusFollow)
{
    CXTPPopupBar* pRoot = MakePopup({}, m_pBars);
    CXTPControl* pItem = pRoot->GetControls()->Add(xtpControlPopup, 0);
    pItem->SetCaption("子菜单");
    auto* pSub = static_cast<CXTPPopupBar*>(pItem->GetCommandBar());
    CXTPControl* pSubItem = pSub->GetControls()->Add(xtpControlPopup, 0);
    auto* pSubSub = static_cast<CXTPPopupBar*>(pSubItem->GetCommandBar());
    pSubSub->GetControls()->Add(xtpControlButton, 901);

    ASSERT_TRUE(pRoot->Popup(1024 - 60, 100, nullptr));
    CRect rcRoot = WindowRect(pRoot);
    EXPECT_LE(rcRoot.right, 1024);
    pRoot->SetPopuped(0, TRUE);
    ASSERT_TRUE(pSub->IsVisible());
    EXPECT_EQ(pSub->GetPopupFlags() & xtpPopupLeft, static_cast<DWORD>(xtpPopupLeft));
    EXPECT_LE(WindowRect(pSub).right, rcRoot.left + 2) << "to the left of its item";
    EXPECT_EQ(pSub->GetSelectedIndex(), 0) << "opened by the keyboard: first item selected";
    pSub->SetPopuped(0, TRUE);
    ASSERT_TRUE(pSubSub->IsVisible());
    EXPECT_EQ(pSubSub->GetPopupFlags() & xtpPopupLeft, static_cast<DWORD>(xtpPopupLeft)) << "keeps opening left";
    EXPECT_LT(WindowRect(pSubSub).right, WindowRect(pSub).right);
    pRoot->SetTrackingMode(FALSE);
    EXPECT_FALSE(pSub->IsVisible());
    EXPECT_FALSE(pSubSub->IsVisible());
}

TEST_F(PopupBarTest, TallPopupScrollsOneItemPerTick)
{
    tavrin::clock::ManualScope clock(1000000);
    RECT work{0, 0, 1024, 200};
    tavrin::win::SetWorkArea(work);
    std::vector<int> ids;
    for (int i = 0; i < 12; ++i)
        ids.push_back(1000 + i);
    CXTPPopupBar* pPopup = MakePopup(ids, m_pBars);
    ASSERT_TRUE(pPopup->Popup(100, 0, nullptr));
    const CRect rc = WindowRect(pPopup);
    EXPECT_EQ(rc.bottom, 195) << "nothing in the lowest 5 pixels";
    ASSERT_TRUE(pPopup->IsScrolling());
    EXPECT_TRUE(pPopup->GetScrollUpRect().IsRectEmpty());
    ASSERT_FALSE(pPopup->GetScrollDownRect().IsRectEmpty());
    const int nEnd = pPopup->GetEndScrolled();
    EXPECT_LT(nEnd, 12);
    EXPECT_EQ(pPopup->GetControl(nEnd)->GetHideFlags(), static_cast<DWORD>(xtpHideScroll));

    CPoint pt = pPopup->GetScrollDownRect().CenterPoint();
    pPopup->ClientToScreen(&pt);
    InjectMouseMove(pt.x, pt.y);
    PumpMessages();
    tavrin::clock::Advance(80);
    PumpMessages();
    EXPECT_EQ(pPopup->GetEndScrolled(), nEnd + 1);
    EXPECT_FALSE(pPopup->GetScrollUpRect().IsRectEmpty()) << "the up button shows";
    for (int i = 0; i < 20; ++i) {
        tavrin::clock::Advance(80);
        PumpMessages();
    }
    EXPECT_EQ(pPopup->GetEndScrolled(), 12);
    EXPECT_TRUE(pPopup->GetControl(11)->IsVisible());
    EXPECT_TRUE(pPopup->GetScrollDownRect().IsRectEmpty());

    // A keyboard selection of a hidden item scrolls it into view.
    InjectMouseMove(1000, 150);
    PumpMessages();
    pPopup->SetSelected(0, TRUE);
    EXPECT_EQ(pPopup->GetFirstScrolled(), 0);
    EXPECT_TRUE(pPopup->GetControl(0)->IsVisible());
    pPopup->SetTrackingMode(FALSE);
}

TEST_F(PopupBarTest, ContextMenuOfAControlHasItsOwnIcons)
{
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 9158, "升序排列");
    menu.AppendMenu(MF_STRING, 9159, "降序排列");
    m_site->m_nUpdates = 0;
    During([&] {
        ASSERT_TRUE(m_pOpened);
        CXTPImageManager* pImages = m_pOpened->GetImageManager();
        EXPECT_NE(pImages, XTPImageManager()) << "its own image manager";
        EXPECT_TRUE(pImages->GetImage(9158, 16)) << "icons of the toolbar bitmap";
        m_pOpened->SetSelected(1, TRUE);
        m_pOpened->OnKeyDown(VK_RETURN);
    });
    EXPECT_EQ(XTPTrackContextMenu(&menu, TPM_RETURNCMD, 100, 100, m_site.get(), XT_IDR_HEADER_MENU), 9159);
    EXPECT_EQ(m_site->m_nUpdates, 0) << "tracked with TPM_NONOTIFY";
    EXPECT_TRUE(m_site->Messages(WM_COMMAND).empty());
}

TEST_F(PopupBarTest, ShadowStripsFollowTheirPopup)
{
    CXTPShadowManager* pShadows = XTPShadowManager();
    struct Case {
        const char* name;
        bool flat;
        bool layered;
        UINT dropShadow;
        int strips;
        int depth;
        int inner; // alpha at the popup's edge, straight part
        int outer;
    };
    const Case cases[] = {
        {"classic, layered, drop shadows on", false, true, 1, 2, 4, 120, 30},
        {"flat, layered", true, true, 1, 2, 4, 60, 15},
        {"classic, drop shadows off", false, true, 0, 0, 0, 0, 0},
        {"classic, no layered windows", false, false, 1, 0, 0, 0, 0},
        {"flat, no layered windows: solid strips", true, false, 0, 2, 2, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_pTheme->m_bFlat = c.flat;
        tavrin::win::SetEntryPointAvailable("user32", "UpdateLayeredWindow", c.layered);
        tavrin::win::SetSystemParameter(SPI_GETDROPSHADOW, c.dropShadow);
        CXTPPopupBar* pPopup = MakePopup({600, 601}, m_pBars);
        ASSERT_TRUE(pPopup->Popup(100, 100, nullptr));
        ASSERT_EQ(pShadows->GetShadowCount(), c.strips);
        std::vector<HWND> windows;
        const CRect rcPopup = WindowRect(pPopup);
        for (int i = 0; i < c.strips; ++i) {
            CXTPShadowWnd* pStrip = pShadows->GetShadow(i);
            windows.push_back(pStrip->m_hWnd);
            const CRect rc = WindowRect(pStrip);
            if (pStrip->IsHorizontal()) {
                EXPECT_EQ(rc, CRect(rcPopup.left + c.depth, rcPopup.bottom, rcPopup.right + c.depth,
                                    rcPopup.bottom + c.depth));
            } else {
                EXPECT_EQ(rc, CRect(rcPopup.right, rcPopup.top + c.depth, rcPopup.right + c.depth, rcPopup.bottom));
            }
            EXPECT_EQ(pStrip->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc.left, rc.top)), HTTRANSPARENT)
                << "a click reaches the window beneath";
            if (c.layered && pStrip->IsHorizontal()) {
                const auto& px = pStrip->GetLayeredPixels();
                ASSERT_EQ(px.size(), static_cast<size_t>(rc.Width() * rc.Height()));
                const int x = rc.Width() / 2;
                EXPECT_EQ(static_cast<int>(px[static_cast<size_t>(x)] >> 24), c.inner);
                EXPECT_EQ(static_cast<int>(px[static_cast<size_t>(3 * rc.Width() + x)] >> 24), c.outer);
                EXPECT_EQ(static_cast<int>(px[0] >> 24), (c.flat ? 1 : 2) * 3 * 1 * 4) << "the corner fades";
            }
        }
        EXPECT_EQ(XTPHookManager()->IsHooked(pPopup->m_hWnd) != FALSE, c.strips > 0);
        const HWND hPopup = pPopup->m_hWnd;
        pPopup->SetTrackingMode(FALSE);
        EXPECT_EQ(pShadows->GetShadowCount(), 0) << "closing leaves no shadow";
        for (HWND hWnd : windows)
            EXPECT_FALSE(::IsWindow(hWnd));
        EXPECT_FALSE(XTPHookManager()->IsHooked(hPopup)) << "and no hook record";
    }
    tavrin::win::SetEntryPointAvailable("user32", "UpdateLayeredWindow", true);
}

TEST_F(PopupBarTest, SubmenuShadowRunsUnderItsParentsShadow)
{
    m_pTheme->m_bFlat = TRUE;
    m_pTheme->m_bOverlapSubmenus = TRUE;
    CXTPPopupBar* pRoot = MakePopup({600}, m_pBars);
    CXTPControl* pItem = pRoot->GetControls()->Add(xtpControlPopup, 0);
    pRoot->GetControls()->Add(xtpControlButton, 602);
    auto* pSub = static_cast<CXTPPopupBar*>(pItem->GetCommandBar());
    pSub->GetControls()->Add(xtpControlButton, 610);
    ASSERT_TRUE(pRoot->Popup(100, 100, nullptr));
    pRoot->SetPopuped(1, TRUE);
    ASSERT_TRUE(pSub->IsVisible());
    const CRect rcRoot = WindowRect(pRoot), rcSub = WindowRect(pSub);
    ASSERT_EQ(rcSub.left, rcRoot.right - 1);
    CXTPShadowManager* pShadows = XTPShadowManager();
    ASSERT_EQ(pShadows->GetShadowCount(), 4);
    for (int i = 0; i < 4; ++i) {
        CXTPShadowWnd* pStrip = pShadows->GetShadow(i);
        if (pStrip->GetOwnerBar() == pSub && pStrip->IsHorizontal())
            EXPECT_EQ(WindowRect(pStrip).left, rcSub.left + 4 - (2 * 4 + 1))
                << "runs on under the parent's right shadow";
    }
    pRoot->SetTrackingMode(FALSE);
    EXPECT_EQ(pShadows->GetShadowCount(), 0);
}

TEST_F(PopupBarTest, AClickedItemRunsOnTheRelease)
{
    CXTPPopupBar* pPopup = MakePopup({600, 601}, m_pBars);
    ASSERT_TRUE(pPopup->Popup(100, 100, nullptr));
    const CPoint pt = ScreenMiddle(pPopup, 1);
    InjectMouseMove(pt.x, pt.y);
    InjectMouseButton(MouseButton::Left, true);
    PumpMessages();
    EXPECT_TRUE(m_site->Messages(WM_COMMAND).empty()) << "not on the press";
    EXPECT_TRUE(pPopup->IsVisible());
    InjectMouseButton(MouseButton::Left, false);
    PumpMessages();
    EXPECT_EQ(m_site->Messages(WM_COMMAND), std::vector<UINT>{601});
    EXPECT_FALSE(pPopup->IsVisible());
}

TEST_F(PopupBarTest, AnItemOfASubmenuReachesTheSiteAfterTheChainCloses)
{
    CXTPPopupBar* pRoot = MakePopup({600}, m_pBars);
    CXTPControl* pItem = pRoot->GetControls()->Add(xtpControlPopup, 0);
    auto* pSub = static_cast<CXTPPopupBar*>(pItem->GetCommandBar());
    pSub->GetControls()->Add(xtpControlButton, 610);
    ASSERT_TRUE(pRoot->Popup(100, 100, nullptr));
    pRoot->SetPopuped(1, TRUE);
    ASSERT_TRUE(pSub->IsVisible());
    pSub->SetSelected(0, TRUE);
    pSub->OnKeyDown(VK_RETURN);
    EXPECT_FALSE(pSub->IsVisible());
    EXPECT_FALSE(pRoot->IsVisible());
    EXPECT_EQ(m_site->Messages(WM_COMMAND), std::vector<UINT>{610});
}

TEST_F(PopupBarTest, SplitButtonsOnABarAndInAPopup)
{
    m_pTheme->m_sizes[700] = CSize(100, 22);
    struct Case {
        const char* name;
        bool inPopup;
        int fromRight; // the click's distance from the control's right edge
        bool runs;
    };
    const Case cases[] = {
        {"bar, main part", false, 12, true},
        {"bar, arrow part (last 11 pixels)", false, 10, false},
        {"popup, main part", true, 21, true},
        {"popup, arrow part (last 20 pixels)", true, 19, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_site->Clear();
        CXTPCommandBar* pBar = nullptr;
        auto* pToolBar = new TestBar;
        CXTPPopupBar* pPopup = MakePopup({}, m_pBars);
        if (c.inPopup) {
            pBar = pPopup;
        } else {
            pToolBar->SetCommandBars(m_pBars);
            pBar = pToolBar;
        }
        CXTPControl* pSplit = pBar->GetControls()->Add(xtpControlSplitButtonPopup, 700);
        pSplit->GetCommandBar()->GetControls()->Add(xtpControlButton, 701);
        if (c.inPopup) {
            ASSERT_TRUE(pPopup->Popup(100, 100, nullptr));
        } else {
            ASSERT_TRUE(pToolBar->CreateIn(m_site.get(), CRect(0, 0, 300, 26)));
            pToolBar->OnRecalcLayout();
        }
        CRect rc = pSplit->GetRect();
        CPoint pt(rc.right - c.fromRight, rc.CenterPoint().y);
        pBar->ClientToScreen(&pt);
        InjectMouseMove(pt.x, pt.y);
        InjectMouseButton(MouseButton::Left, true);
        InjectMouseButton(MouseButton::Left, false);
        PumpMessages();
        EXPECT_EQ(m_site->Messages(WM_COMMAND), c.runs ? std::vector<UINT>{700} : std::vector<UINT>{});
        EXPECT_EQ(pSplit->GetCommandBar()->IsVisible() != FALSE, !c.runs) << "the arrow part opens the menu";
        XTPMouseManager()->SendTrackLost();
        InjectMouseMove(1000, 700);
        PumpMessages();
        if (pToolBar->m_hWnd)
            pToolBar->DestroyWindow();
        pToolBar->InternalRelease();
    }
}

TEST_F(PopupBarTest, DoubleClickRunsTheDefaultItemOrExpands)
{
    CXTPCommandBarsOptions* pOptions = m_pBars->GetOptions();
    pOptions->bAlwaysShowFullMenus = FALSE;
    pOptions->m_mapHiddenCommands.SetAt(501, TRUE);
    for (bool withDefault : {true, false}) {
        SCOPED_TRACE(withDefault ? "default item" : "hidden items");
        m_site->Clear();
        CXTPPopupBar* pRoot = MakePopup({600}, m_pBars);
        CXTPControl* pItem = pRoot->GetControls()->Add(xtpControlPopup, 0);
        auto* pSub = static_cast<CXTPPopupBar*>(pItem->GetCommandBar());
        pSub->GetControls()->Add(xtpControlButton, 610);
        pSub->GetControls()->Add(xtpControlButton, 501);
        if (withDefault)
            pSub->GetControl(0)->SetDefaultItem(TRUE);
        ASSERT_TRUE(pRoot->Popup(100, 100, nullptr));
        pRoot->SetPopuped(1, FALSE);
        ASSERT_TRUE(pSub->IsVisible());
        EXPECT_TRUE(pSub->HasHiddenControls());
        EXPECT_TRUE(pItem->OnLButtonDblClk(pItem->GetRect().CenterPoint()));
        if (withDefault) {
            EXPECT_EQ(m_site->Messages(WM_COMMAND), std::vector<UINT>{610});
        } else {
            EXPECT_TRUE(m_site->Messages(WM_COMMAND).empty());
            EXPECT_TRUE(pSub->IsExpanded());
            EXPECT_TRUE(pSub->GetControl(1)->IsVisible());
        }
        XTPMouseManager()->SendTrackLost();
    }
}
