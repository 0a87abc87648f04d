// Menus on a real display: the desktop's pointer clicks a menu title, rests
// on a submenu item until its submenu opens and chooses an item there. Each
// popup's screen capture equals what it drew, placed where the placement
// rules put it.
#include "tests/support/DisplayPump.h"
#include "tests/toolkit/CommandBarTestSupport.h"

#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace tavrin;
using tavrin::test::PumpUntil;

namespace {

using test::TestBar;

// A host with a handler for every command, so the menu's items stay enabled.
class DisplayHost : public test::DisplayHost {
public:
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (nCode == CN_COMMAND && pHandlerInfo)
            return TRUE;
        return test::DisplayHost::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }
};

class PopupDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        m_presenter = display::StartGtkPresenter();
        ASSERT_TRUE(m_presenter);
    }
    // The popup's capture once it shows what the popup drew.
    bool SameAsDrawn(CWnd* pWnd, const std::string& step)
    {
        std::unique_ptr<Surface> shot;
        const bool same = PumpUntil([&] {
            pWnd->RedrawWindow(nullptr, nullptr, RDW_UPDATENOW);
            m_presenter->Flush();
            shot = m_presenter->CaptureWindow(pWnd->m_hWnd);
            return shot && test::ShowsOwnSurface(*shot, pWnd->m_hWnd);
        }, 5000);
        if (shot)
            SavePng(*shot, ("popup-" + step + ".png").c_str());
        return same;
    }

    display::GtkPresenter* m_presenter = nullptr;
    DisplayHost m_host;
};

} // namespace

TEST_F(PopupDisplay, MenuChainOpensPlacesAndCloses)
{
    CXTPPaintManager::SetTheme(xtpThemeOffice2000);
    ASSERT_TRUE(m_host.CreateEx(0, AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)),
                                "菜单", WS_POPUP | WS_VISIBLE, 60, 60, 400, 120, nullptr, nullptr));
    // No manager: the host is the site, and nothing animates.
    auto* pBar = new TestBar;
    pBar->m_barType = xtpBarTypeMenuBar;
    pBar->SetOwner(&m_host);
    CXTPControl* pFile = pBar->GetControls()->Add(xtpControlPopup, 0);
    pFile->SetCaption("文件(&F)");
    CXTPControls* pItems = pFile->GetCommandBar()->GetControls();
    pItems->Add(xtpControlButton, 501)->SetCaption("打开(&O)");
    CXTPControl* pRecent = pItems->Add(xtpControlPopup, 0);
    pRecent->SetCaption("最近(&R)");
    pItems->Add(xtpControlButton, 503)->SetCaption("退出(&X)");
    pRecent->GetCommandBar()->GetControls()->Add(xtpControlButton, 511)->SetCaption("第一个");
    pRecent->GetCommandBar()->GetControls()->Add(xtpControlButton, 512)->SetCaption("第二个");
    ASSERT_TRUE(pBar->CreateIn(&m_host, CRect(0, 0, 400, 24)));
    pBar->OnRecalcLayout();
    ::SetForegroundWindow(m_host.m_hWnd);
    ASSERT_TRUE(PumpUntil([&] { return m_presenter->GetNativeWindow(m_host.m_hWnd) != 0; }, 5000));
    auto* pMenu = static_cast<CXTPPopupBar*>(pFile->GetCommandBar());
    auto* pSub = static_cast<CXTPPopupBar*>(pRecent->GetCommandBar());

    // A click on the title drops its menu below it.
    CPoint ptTitle = pFile->GetRect().CenterPoint();
    pBar->MapWindowPoints(&m_host, &ptTitle, 1);
    ASSERT_TRUE(m_presenter->SimulateClick(m_host.m_hWnd, ptTitle.x, ptTitle.y, 1));
    ASSERT_TRUE(PumpUntil([&] { return pMenu->IsVisible(); }, 5000));
    CRect rcTitle = pFile->GetRect(), rcMenu;
    pBar->ClientToScreen(&rcTitle);
    pMenu->GetWindowRect(&rcMenu);
    EXPECT_EQ(rcMenu.top, rcTitle.bottom) << "below the title";
    EXPECT_EQ(rcMenu.left, rcTitle.left - 1) << "the theme widens the title's rectangle by one";
    ASSERT_TRUE(PumpUntil([&] { return m_presenter->GetNativeWindow(pMenu->m_hWnd) != 0; }, 5000));
    EXPECT_TRUE(SameAsDrawn(pMenu, "menu"));

    // Resting on the submenu item opens the submenu at its right.
    CPoint ptRecent = pRecent->GetRect().CenterPoint();
    ASSERT_TRUE(m_presenter->SimulatePointer(pMenu->m_hWnd, ptRecent.x, ptRecent.y));
    ASSERT_TRUE(PumpUntil([&] { return pSub->IsVisible(); }, 5000)) << "opened after the hover delay";
    CRect rcItem = pRecent->GetRect(), rcSub;
    pMenu->ClientToScreen(&rcItem);
    pSub->GetWindowRect(&rcSub);
    EXPECT_EQ(rcSub.top, rcItem.top);
    EXPECT_GE(rcSub.left, rcItem.right - 2);
    ASSERT_TRUE(PumpUntil([&] { return m_presenter->GetNativeWindow(pSub->m_hWnd) != 0; }, 5000));
    EXPECT_TRUE(SameAsDrawn(pSub, "submenu"));

    // Choosing the second item runs it and closes the whole chain.
    CPoint ptSecond = pSub->GetControl(1)->GetRect().CenterPoint();
    ASSERT_TRUE(m_presenter->SimulatePointer(pSub->m_hWnd, ptSecond.x, ptSecond.y));
    ASSERT_TRUE(PumpUntil([&] { return pSub->GetSelectedIndex() == 1; }, 5000));
    ASSERT_TRUE(m_presenter->SimulateButton(pSub->m_hWnd, ptSecond.x, ptSecond.y, 1, true));
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(m_host.m_commands.empty()) << "not on the press";
    ASSERT_TRUE(m_presenter->SimulateButton(pSub->m_hWnd, ptSecond.x, ptSecond.y, 1, false));
    ASSERT_TRUE(PumpUntil([&] { return !m_host.m_commands.empty(); }, 5000));
    EXPECT_EQ(m_host.m_commands, std::vector<UINT>{512});
    ASSERT_TRUE(PumpUntil([&] { return !pMenu->IsVisible() && !pSub->IsVisible(); }, 5000));
    EXPECT_EQ(XTPMouseManager()->GetTrackedCount(), 0);

    pBar->DestroyWindow();
    pBar->InternalRelease();
    m_host.DestroyWindow();
    CXTPPaintManager::SetCustomTheme(nullptr);
}
