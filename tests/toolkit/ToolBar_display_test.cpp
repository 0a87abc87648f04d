// A framework frame with two toolbars docked at the top on a real display:
// narrowed and widened; the chevron's popup and the toolbars menu opened with
// the real pointer, looked at on screen and closed with a click; a
// floating bar closed from its caption. Screen captures are saved at each
// step and their key pixels checked.
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/mfc/WinApp.h"
#include "tests/support/DisplayPump.h"
#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/ToolBarTestFrame.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/commandbars/XTPToolBarControls.h"
#include "toolkit/res/ToolkitIds.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

// Last: the X headers define macros (None, Bool, Status) others trip over.
#include "tests/support/XTestClient.h"

using namespace tavrin;
using namespace tavrin::test;

namespace {

uint32_t Rgb(COLORREF c)
{
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

// Whether the desktop shows exactly what the top-level window drew.
bool ShownAsDrawn(display::GtkPresenter* presenter, CWnd* pWnd)
{
    presenter->Flush();
    auto shot = presenter->CaptureWindow(pWnd->m_hWnd);
    return shot && ShowsOwnSurface(*shot, pWnd->m_hWnd);
}

} // namespace

TEST(ToolBarDisplay, TwoDockedToolbarsNarrowWidenAndFloat)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);
    ScopedToolBarResources resources;
    ScopedTestTheme theme;
    CWinApp app;
    auto* pFrame = new CToolBarTestFrame;
    // A popup frame: the window manager leaves its size to us while it is narrowed.
    ASSERT_TRUE(pFrame->Create(nullptr, "工具栏", WS_POPUP | WS_BORDER | WS_VISIBLE, CRect(60, 60, 660, 360)));
    app.m_pMainWnd = pFrame;
    HWND hFrame = pFrame->m_hWnd;
    ASSERT_TRUE(pFrame->InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)));
    CXTPCommandBars* pBars = pFrame->GetCommandBars();
    pBars->SetPaintManager(new CaptionTheme);
    pBars->GetOptions()->bShowExpandButtonAlways = FALSE;
    CXTPToolBar* pStandard = pBars->Add("标准", xtpBarTop);
    ASSERT_TRUE(pStandard && pStandard->LoadToolBar(IDT_STANDARD16));
    pFrame->RecalcLayout();
    CXTPToolBar* pSearch = pBars->Add("搜索", xtpBarTop);
    ASSERT_TRUE(pSearch && pSearch->LoadToolBar(IDT_SEARCH));
    CXTPDockBar* pTop = pBars->GetDockBar(xtpBarTop);
    // "搜索" dropped beside "标准" in its row.
    CRect rcDrop;
    pStandard->GetWindowRect(&rcDrop);
    rcDrop.OffsetRect(rcDrop.Width() + 10, 0);
    ASSERT_TRUE(pBars->DockCommandBar(pSearch, &rcDrop, pTop));
    pFrame->RecalcLayout();
    ASSERT_TRUE(PumpUntil([&] { return presenter->GetNativeWindow(hFrame) != 0; }));
    XTestClient x11;
    ASSERT_TRUE(x11.Ok());

    auto save = [&](const char* name) {
        presenter->Flush();
        if (auto shot = presenter->CaptureWindow(hFrame))
            SavePng(*shot, name);
    };
    auto screenRect = [](CXTPCommandBar* pBar, CXTPControl* pControl) {
        CRect rc = pControl->GetRect();
        pBar->ClientToScreen(&rc);
        return rc;
    };
    // The window manager answers a resize later: wait for the size to settle.
    auto resize = [&](int nWidth) {
        pFrame->SetWindowPos(nullptr, 0, 0, nWidth, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        PumpUntil([&] {
            presenter->Flush();
            CRect rc;
            pFrame->GetWindowRect(&rc);
            return rc.Width() == nWidth;
        }, 3000);
        PumpUntil([] { return false; }, 300);
        pFrame->RecalcLayout();
    };

    // Both bars in one row, every button drawn.
    CRect rcStandard, rcSearch;
    pStandard->GetWindowRect(&rcStandard);
    pSearch->GetWindowRect(&rcSearch);
    EXPECT_EQ(rcStandard.top, rcSearch.top);
    EXPECT_GE(rcSearch.left, rcStandard.right);
    const CRect rcLast = screenRect(pSearch, pSearch->GetControl(2));
    EXPECT_TRUE(PumpUntil([&] {
        presenter->Flush();
        return x11.Pixel(rcLast.left + 3, rcLast.top + 3) == Rgb(kControlFill) &&
               x11.Pixel(rcStandard.left + 1, rcStandard.top + 1) == Rgb(kBarFill);
    }));
    save("toolbar_display_wide.png");

    // Narrowed: "搜索" shrinks behind its chevron.
    resize(300);
    {
        CRect rc;
        pFrame->GetWindowRect(&rc);
        ASSERT_EQ(rc.Width(), 300) << "the window manager kept its own width";
    }
    auto* pExpand =
        DYNAMIC_DOWNCAST(CXTPToolBarExpandButton, pSearch->GetControls()->FindControl(XTP_ID_TOOLBAR_EXPAND));
    ASSERT_TRUE(pExpand);
    EXPECT_TRUE(pExpand->IsVisible());
    const CRect rcChevron = screenRect(pSearch, pExpand);
    EXPECT_TRUE(PumpUntil([&] {
        presenter->Flush();
        return x11.Pixel(rcChevron.left + 1, rcChevron.top + 1) == Rgb(kControlFill);
    }));
    save("toolbar_display_narrow.png");

    // The chevron pressed with the pointer opens a popup toolbar of exactly
    // the hidden buttons, 150 wide, on screen below the chevron.
    std::vector<int> hidden;
    for (int i = 0; i < pStandard->GetControlCount(); ++i)
        if (pStandard->GetControl(i)->GetHideFlags() == xtpHideWrap)
            hidden.push_back(pStandard->GetControl(i)->GetID());
    pSearch->GetWindowRect(&rcSearch);
    for (int i = 0; i < pSearch->GetControlCount(); ++i)
        if (pSearch->GetControl(i)->GetHideFlags() == xtpHideWrap)
            hidden.push_back(pSearch->GetControl(i)->GetID());
    ASSERT_FALSE(hidden.empty());
    x11.Click(rcChevron.CenterPoint().x, rcChevron.CenterPoint().y);
    ASSERT_TRUE(PumpUntil([&] {
        CXTPCommandBar* pPopup = pExpand->GetCommandBar();
        return pPopup && pPopup->IsWindowVisible() && presenter->GetNativeWindow(pPopup->m_hWnd) != 0;
    }, 5000));
    CXTPCommandBar* pChevronPopup = pExpand->GetCommandBar();
    EXPECT_TRUE(pSearch->GetTrackingMode());
    {
        std::vector<int> shown;
        for (int i = 0; i < pChevronPopup->GetControlCount(); ++i)
            shown.push_back(pChevronPopup->GetControl(i)->GetID());
        EXPECT_EQ(shown, hidden);
        EXPECT_EQ(pChevronPopup->GetMRUWidth(), 150);
        CRect rcPopup;
        pChevronPopup->GetWindowRect(&rcPopup);
        EXPECT_EQ(rcPopup.top, rcChevron.bottom) << "below the chevron";
        EXPECT_TRUE(PumpUntil([&] { return ShownAsDrawn(presenter, pChevronPopup); }, 5000));
        // A button the pointer is not over is drawn at rest; the frame has no
        // handlers for these commands, so the popup's update disabled them.
        CXTPControl* pButton = pChevronPopup->GetControl(0);
        const CRect rcButton = screenRect(pChevronPopup, pButton);
        EXPECT_EQ(x11.Pixel(rcButton.left + 2, rcButton.top + 2),
                  Rgb(pButton->GetEnabled() ? kControlFill : kDisabledFill));
        if (auto shot = x11.Grab(rcPopup.left, rcPopup.top, rcPopup.right, rcPopup.bottom))
            SavePng(*shot, "toolbar_display_chevron_popup.png");
    }
    // A click on the frame outside the bars closes it; the bar stops tracking.
    // (The popup frame holds no keyboard focus on the desktop, so no keys.)
    {
        CRect rcFrame;
        pFrame->GetWindowRect(&rcFrame);
        x11.Click(rcFrame.left + 20, rcFrame.bottom - 20);
    }
    EXPECT_TRUE(PumpUntil([&] { return !pChevronPopup->IsWindowVisible() && !pSearch->GetTrackingMode(); }, 5000));
    EXPECT_EQ(XTPMouseManager()->GetTrackedCount(), 0);

    // The right button on the bar area opens the toolbars menu beside the
    // pointer, its lines checked by the bars' visibility; choosing "搜索"
    // toggles that bar and closes the menu.
    auto toolbarsMenu = [&](bool bSearchShown, const std::string& png) {
        bool bLooked = false;
        TimerSteps steps([&] {
            if (XTPMouseManager()->GetTrackedCount() == 0)
                return false;
            auto* pMenu = DYNAMIC_DOWNCAST(CXTPPopupBar, XTPMouseManager()->GetTrackedBar(0));
            if (!pMenu || !pMenu->IsWindowVisible() || !presenter->GetNativeWindow(pMenu->m_hWnd) ||
                !ShownAsDrawn(presenter, pMenu))
                return false;
            bLooked = true;
            CRect rcMenu;
            pMenu->GetWindowRect(&rcMenu);
            EXPECT_EQ(rcMenu.TopLeft(), rcStandard.TopLeft() + CPoint(1, 1)) << "at the pointer";
            EXPECT_EQ(pMenu->GetControlCount(), 2);
            if (pMenu->GetControlCount() != 2)
                return true;
            EXPECT_EQ(pMenu->GetControl(0)->GetCaption(), CString("标准"));
            EXPECT_EQ(pMenu->GetControl(1)->GetCaption(), CString("搜索"));
            const CRect rcLine = screenRect(pMenu, pMenu->GetControl(1));
            EXPECT_EQ(x11.Pixel(rcLine.right - 3, rcLine.bottom - 3),
                      Rgb(bSearchShown ? kCheckedFill : kControlFill))
                << "checked by visibility";
            if (auto shot = x11.Grab(rcMenu.left, rcMenu.top, rcMenu.right, rcMenu.bottom))
                SavePng(*shot, png.c_str());
            x11.Click(rcLine.CenterPoint().x, rcLine.CenterPoint().y);
            return true;
        });
        x11.Click(rcStandard.left + 1, rcStandard.top + 1, 3);
        EXPECT_TRUE(PumpUntil([&] {
            return steps.Done() && XTPMouseManager()->GetTrackedCount() == 0 &&
                   (pSearch->IsVisible() != 0) != bSearchShown;
        }, 10000)) << png;
        EXPECT_TRUE(bLooked) << png;
    };
    toolbarsMenu(true, "toolbar_display_toolbars_menu.png");
    EXPECT_FALSE(pSearch->IsWindowVisible());
    toolbarsMenu(false, "toolbar_display_toolbars_menu_unchecked.png");
    EXPECT_TRUE(pSearch->IsWindowVisible());
    EXPECT_TRUE(::IsWindow(hFrame));

    // Widened again: everything back in one row, no chevron.
    resize(600);
    EXPECT_FALSE(pExpand->IsVisible());
    pStandard->GetWindowRect(&rcStandard);
    pSearch->GetWindowRect(&rcSearch);
    EXPECT_EQ(rcStandard.top, rcSearch.top);
    save("toolbar_display_widened.png");

    // "搜索" floats; its close button, pressed with the pointer, hides it.
    ASSERT_TRUE(pBars->FloatCommandBar(pSearch));
    pFrame->RecalcLayout();
    CXTPControl* pClose = pSearch->GetControls()->FindControl(XTP_ID_TOOLBAR_HIDE);
    ASSERT_TRUE(pClose);
    const CRect rcClose = screenRect(pSearch, pClose);
    ASSERT_TRUE(PumpUntil([&] { return presenter->GetNativeWindow(pSearch->m_hWnd) != 0; }));
    EXPECT_TRUE(PumpUntil([&] {
        presenter->Flush();
        return x11.Pixel(rcClose.left + 1, rcClose.top + 1) == Rgb(kControlFill);
    }));
    {
        CRect rcFloat;
        pSearch->GetWindowRect(&rcFloat);
        if (auto shot = x11.Grab(rcFloat.left, rcFloat.top, rcFloat.right, rcFloat.bottom))
            SavePng(*shot, "toolbar_display_floating.png");
    }
    x11.Click(rcClose.CenterPoint().x, rcClose.CenterPoint().y);
    EXPECT_TRUE(PumpUntil([&] { return !pSearch->IsWindowVisible(); }, 5000));
    EXPECT_EQ(pBars->GetCount(), 2) << "a built-in bar stays listed";
    EXPECT_FALSE(pSearch->IsVisible());

    pFrame->DestroyWindow();
    delete pFrame;
}
