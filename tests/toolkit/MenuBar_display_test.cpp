// The menu bar of a framework frame on a real display, driven by the
// desktop's keys (Alt+F, F10, arrows, Escape, with the modifiers held
// through the X test extension) and its pointer. A capture of the screen is
// saved at each step, and each open menu's pixels on screen are compared
// with what it drew.
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Focus.h"
#include "platform/win/WindowSurface.h"
#include "tests/support/DisplayPump.h"
#include "tests/toolkit/CaptureAsDrawn.h"
#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/MenuBarTestFrame.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPMenuBar.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

// Last: the X headers define macros (None, Bool, Status) others trip over.
#include "tests/support/XTestClient.h"

using namespace tavrin;
using namespace tavrin::test;

namespace {

using display::GtkPresenter;

class MenuBarDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        m_presenter = display::StartGtkPresenter();
        ASSERT_TRUE(m_presenter);
        // The program's loop: the frame sees its keys first.
        SetPumpFilter([](const MSG& msg) {
            MSG copy = msg;
            return AfxPreTranslateMessage(&copy) != FALSE;
        });
    }
    void TearDown() override
    {
        SetPumpFilter(nullptr);
        XTPMouseManager()->SendTrackLost();
        if (m_pFrame && ::IsWindow(m_pFrame->m_hWnd))
            m_pFrame->DestroyWindow();
        delete m_pFrame;
        CXTPPaintManager::SetCustomTheme(nullptr);
    }
    CXTPPopupBar* Menu(int nTitle) const
    {
        return static_cast<CXTPPopupBar*>(m_pMenuBar->GetControl(nTitle)->GetCommandBar());
    }
    static bool Shown(CXTPCommandBar* pBar) { return pBar && pBar->GetSafeHwnd() && pBar->IsWindowVisible(); }
    int OpenMenu() const
    {
        for (int i = 0; i < m_pMenuBar->GetControlCount(); ++i)
            if (Shown(Menu(i)))
                return i;
        return -1;
    }
    bool Key(const char* name, unsigned modifiers = 0)
    {
        return m_presenter->SimulateKey(m_pFrame->m_hWnd, name, modifiers);
    }
    // The screen around the frame and its menus.
    void Save(const std::string& step)
    {
        PumpUntil([] { return false; }, 100);
        m_presenter->Flush();
        CRect rc;
        m_pFrame->GetWindowRect(&rc);
        if (auto shot = m_x11.Grab(rc.left, rc.top, rc.left + 640, rc.top + 420))
            SavePng(*shot, ("menubar-" + step + ".png").c_str());
    }
    // A popup's pixels on screen are those it drew.
    bool OnScreenAsDrawn(CWnd* pWnd)
    {
        bool same = false;
        CaptureAsDrawn(m_presenter, pWnd, &same);
        return same;
    }
    // The screen's pixel a few pixels inside a control's left edge.
    uint32_t PixelIn(CXTPControl* pControl)
    {
        CRect rc = pControl->GetRect();
        pControl->GetParent()->ClientToScreen(&rc);
        return m_x11.Pixel(rc.left + 4, rc.top + 3);
    }
    CPoint Centre(CXTPControl* pControl)
    {
        CPoint pt = pControl->GetRect().CenterPoint();
        pControl->GetParent()->ClientToScreen(&pt);
        return pt;
    }

    GtkPresenter* m_presenter = nullptr;
    XTestClient m_x11;
    CWinApp m_app;
    CMenuBarTestFrame* m_pFrame = nullptr;
    CXTPMenuBar* m_pMenuBar = nullptr;
};

} // namespace

TEST_F(MenuBarDisplay, RealKeysAndPointerDriveTheFramesMenuBar)
{
    ASSERT_TRUE(m_x11.Ok());
    ScopedToolBarResources resources;
    CXTPPaintManager::SetTheme(xtpThemeOffice2000);
    m_pFrame = new CMenuBarTestFrame;
    ASSERT_TRUE(m_pFrame->Create(nullptr, "菜单条", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(80, 80, 680, 440)));
    m_app.m_pMainWnd = m_pFrame;
    m_pFrame->m_hAccelTable = ::LoadAcceleratorsA(resources.Module(), MAKEINTRESOURCEA(IDM_MAIN));
    ASSERT_TRUE(m_pFrame->InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)));
    CXTPCommandBars* pBars = m_pFrame->GetCommandBars();
    m_pMenuBar = pBars->SetMenu("菜单条", IDM_MAIN);
    ASSERT_TRUE(m_pMenuBar);
    // The menu's default item is drawn bold.
    Menu(0)->GetControls()->FindControl(ID_MB_OPTIONS)->SetDefaultItem(TRUE);
    CXTPToolBar* pStandard = pBars->Add("标准", xtpBarTop);
    ASSERT_TRUE(pStandard && pStandard->LoadToolBar(IDT_STANDARD16));
    CXTPToolBar* pSearch = pBars->Add("搜索", xtpBarTop);
    ASSERT_TRUE(pSearch && pSearch->LoadToolBar(IDT_SEARCH));
    m_pFrame->RecalcLayout();
    const HWND hFrame = m_pFrame->m_hWnd;
    ASSERT_TRUE(PumpUntil([&] { return m_presenter->GetNativeWindow(hFrame) != 0; }, 5000));

    // The desktop focuses the frame at a click on its empty client area.
    CRect rcClient;
    m_pFrame->GetClientRect(&rcClient);
    m_pFrame->ClientToScreen(&rcClient);
    m_x11.Click(rcClient.CenterPoint().x, rcClient.bottom - 20);
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == hFrame; }, 5000));
    CXTPControl* pFile = m_pMenuBar->GetControl(0);
    CRect rcFile = pFile->GetRect();
    m_pMenuBar->ClientToScreen(&rcFile);
    auto grabFile = [&] { return m_x11.Grab(rcFile.left, rcFile.top, rcFile.right, rcFile.bottom); };
    // The title as drawn when nothing is selected.
    auto idle = grabFile();
    ASSERT_TRUE(idle);
    auto sameAsIdle = [&] {
        auto now = grabFile();
        for (int y = 0; now && y < now->Height(); ++y)
            for (int x = 0; x < now->Width(); ++x)
                if (now->GetPixel(x, y) != idle->GetPixel(x, y))
                    return false;
        return true;
    };
    Save("idle");

    // Alt+F: the first menu opens below its title with its first item selected.
    ASSERT_TRUE(Key("f", GtkPresenter::kAlt));
    ASSERT_TRUE(PumpUntil([&] { return OpenMenu() == 0; }, 5000)) << "Alt+F reached the bar";
    EXPECT_EQ(Menu(0)->GetSelectedIndex(), 0);
    CRect rcTitle = pFile->GetRect(), rcMenu;
    m_pMenuBar->ClientToScreen(&rcTitle);
    Menu(0)->GetWindowRect(&rcMenu);
    EXPECT_EQ(rcMenu.top, rcTitle.bottom);
    ASSERT_TRUE(PumpUntil([&] { return m_presenter->GetNativeWindow(Menu(0)->m_hWnd) != 0; }, 5000));
    EXPECT_TRUE(OnScreenAsDrawn(Menu(0)));
    EXPECT_NE(PixelIn(Menu(0)->GetControl(0)), PixelIn(Menu(0)->GetControl(1))) << "the selected item stands out";
    Save("alt-f");

    // Right: the next title's menu; Down twice to the submenu item, Right opens it.
    ASSERT_TRUE(Key("Right"));
    ASSERT_TRUE(PumpUntil([&] { return OpenMenu() == 1; }, 5000));
    ASSERT_TRUE(Key("Down"));
    ASSERT_TRUE(PumpUntil([&] { return Menu(1)->GetSelectedIndex() == 1; }, 5000));
    ASSERT_TRUE(Key("Right"));
    auto* pSub = static_cast<CXTPPopupBar*>(Menu(1)->GetControl(1)->GetCommandBar());
    ASSERT_TRUE(PumpUntil([&] { return Shown(pSub) && pSub->GetSelectedIndex() == 0; }, 5000));
    ASSERT_TRUE(PumpUntil([&] { return m_presenter->GetNativeWindow(pSub->m_hWnd) != 0; }, 5000));
    EXPECT_TRUE(OnScreenAsDrawn(pSub));
    Save("submenu");

    // Escape closes one level at a time.
    ASSERT_TRUE(Key("Escape"));
    ASSERT_TRUE(PumpUntil([&] { return !Shown(pSub); }, 5000));
    EXPECT_EQ(OpenMenu(), 1);
    ASSERT_TRUE(Key("Escape"));
    ASSERT_TRUE(PumpUntil([&] { return OpenMenu() == -1; }, 5000));
    EXPECT_NE(m_pMenuBar->GetTrackingMode(), 0);
    EXPECT_EQ(m_pMenuBar->GetSelectedIndex(), 1);
    Save("escape-title");
    ASSERT_TRUE(Key("Escape"));
    ASSERT_TRUE(PumpUntil([&] { return m_pMenuBar->GetTrackingMode() == 0; }, 5000));
    EXPECT_EQ(m_pMenuBar->GetSelectedIndex(), -1);

    // F10 selects the first title; Shift+F10 does not.
    ASSERT_TRUE(Key("F10", GtkPresenter::kShift));
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(m_pMenuBar->GetTrackingMode(), 0);
    ASSERT_TRUE(Key("F10"));
    ASSERT_TRUE(PumpUntil([&] { return m_pMenuBar->GetTrackingMode() != 0 && m_pMenuBar->GetSelectedIndex() == 0; },
                          5000));
    EXPECT_TRUE(PumpUntil([&] {
        m_presenter->Flush();
        return !sameAsIdle();
    }, 5000)) << "the selected title is drawn as such";
    Save("f10");
    ASSERT_TRUE(Key("Down"));
    ASSERT_TRUE(PumpUntil([&] { return OpenMenu() == 0 && Menu(0)->GetSelectedIndex() == 0; }, 5000));
    ASSERT_TRUE(Key("Escape"));
    ASSERT_TRUE(Key("Escape"));
    ASSERT_TRUE(PumpUntil([&] { return m_pMenuBar->GetTrackingMode() == 0; }, 5000));
    // Alt alone does the same.
    ASSERT_TRUE(Key("Alt_L"));
    ASSERT_TRUE(PumpUntil([&] { return m_pMenuBar->GetTrackingMode() != 0 && m_pMenuBar->GetSelectedIndex() == 0; },
                          5000));
    ASSERT_TRUE(Key("Escape"));
    ASSERT_TRUE(PumpUntil([&] { return m_pMenuBar->GetTrackingMode() == 0; }, 5000));

    // Alt+V and the keys choose the toolbars item of "搜索": the toolbar hides.
    ASSERT_TRUE(Key("v", GtkPresenter::kAlt));
    ASSERT_TRUE(PumpUntil([&] { return OpenMenu() == 2; }, 5000));
    ASSERT_TRUE(PumpUntil([&] { return m_presenter->GetNativeWindow(Menu(2)->m_hWnd) != 0; }, 5000));
    EXPECT_TRUE(OnScreenAsDrawn(Menu(2)));
    Save("view-menu");
    ASSERT_TRUE(Key("Down"));
    ASSERT_TRUE(Key("Return"));
    ASSERT_TRUE(PumpUntil([&] { return !pSearch->IsVisible(); }, 5000));
    EXPECT_TRUE(pStandard->IsVisible());
    EXPECT_EQ(OpenMenu(), -1);

    // The pointer: a click on a title opens its menu, a second one closes it.
    ASSERT_TRUE(PumpUntil([&] { return m_pMenuBar->GetTrackingMode() == 0; }, 5000));
    const CPoint ptView = Centre(m_pMenuBar->GetControl(2));
    m_x11.Click(ptView.x, ptView.y);
    ASSERT_TRUE(PumpUntil([&] { return OpenMenu() == 2; }, 5000));
    // A few pixels aside: a second click, not a double click.
    m_x11.Click(ptView.x + 6, ptView.y);
    ASSERT_TRUE(PumpUntil([&] { return OpenMenu() == -1; }, 5000));
    // Open again, move to the first title: its menu replaces the other.
    m_x11.Click(ptView.x - 6, ptView.y);
    ASSERT_TRUE(PumpUntil([&] { return OpenMenu() == 2; }, 5000));
    const CPoint ptFile = Centre(pFile);
    m_x11.Move(ptFile.x, ptFile.y);
    ASSERT_TRUE(PumpUntil([&] { return OpenMenu() == 0; }, 5000));
    Save("crossed");
    // A click on an item runs it on the frame and closes the menus.
    CXTPControl* pExit = Menu(0)->GetControls()->FindControl(ID_MB_EXIT);
    ASSERT_TRUE(pExit);
    const CPoint ptExit = Centre(pExit);
    m_x11.Move(ptExit.x, ptExit.y);
    ASSERT_TRUE(PumpUntil([&] { return Menu(0)->GetSelectedIndex() == pExit->GetIndex(); }, 5000));
    m_x11.Click(ptExit.x, ptExit.y);
    ASSERT_TRUE(PumpUntil([&] { return !m_pFrame->m_commands.empty(); }, 5000));
    EXPECT_EQ(m_pFrame->m_commands, std::vector<UINT>{ID_MB_EXIT});
    ASSERT_TRUE(PumpUntil([&] { return OpenMenu() == -1 && m_pMenuBar->GetTrackingMode() == 0; }, 5000));
    Save("chosen");
}
