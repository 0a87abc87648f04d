// A frame with a menu bar and two toolbars on a real display, switched
// through the Office 2000, Office XP, Office 2003 and default themes: in each
// the desktop's pointer moves over a button and presses it, and every screen
// capture equals what the window drew.
#include "tests/support/DisplayPump.h"
#include "tests/support/SolidIcon.h"
#include "tests/toolkit/CommandBarTestSupport.h"

#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/win/WindowSurface.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace tavrin;
using tavrin::test::PumpUntil;

namespace {

using test::DisplayHost;
using test::HoverBar;

class ThemesDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        m_presenter = display::StartGtkPresenter();
        ASSERT_TRUE(m_presenter);
    }
    // The screen once it shows what the window drew over all bars.
    std::unique_ptr<Surface> Shot(const std::string& step)
    {
        std::unique_ptr<Surface> shot;
        const bool same = PumpUntil([&] {
            for (HoverBar* pBar : m_bars)
                pBar->RedrawWindow(nullptr, nullptr, RDW_UPDATENOW);
            m_presenter->Flush();
            shot = m_presenter->CaptureWindow(m_host.m_hWnd);
            auto own = win::GetWindowSurface(m_host.m_hWnd);
            if (!shot || !own)
                return false;
            CRect rc;
            m_host.GetClientRect(&rc);
            for (int y = rc.top; y < rc.bottom; ++y)
                for (int x = rc.left; x < rc.right; ++x)
                    if ((shot->GetPixel(x, y) & 0xFFFFFF) != (own->GetPixel(x, y) & 0xFFFFFF))
                        return false;
            return true;
        }, 5000);
        EXPECT_TRUE(same) << step << ": the screen shows what the window drew";
        if (shot)
            SavePng(*shot, ("themes-" + step + ".png").c_str());
        return shot;
    }
    COLORREF At(const Surface& shot, CWnd* pBar, int x, int y)
    {
        CPoint pt(x, y);
        pBar->MapWindowPoints(&m_host, &pt, 1);
        return ColorFromPixel(shot.GetPixel(pt.x, pt.y)) & 0xFFFFFF;
    }
    CPoint InHost(CWnd* pBar, CPoint pt)
    {
        pBar->MapWindowPoints(&m_host, &pt, 1);
        return pt;
    }
    // What a theme switch asks of every bar: lay out and paint again.
    void RedrawCommandBars()
    {
        for (HoverBar* pBar : m_bars) {
            pBar->OnRecalcLayout();
            pBar->Invalidate(FALSE);
        }
    }

    display::GtkPresenter* m_presenter = nullptr;
    DisplayHost m_host;
    std::vector<HoverBar*> m_bars;
};

} // namespace

TEST_F(ThemesDisplay, MenuBarAndToolbarsInEveryTheme)
{
    ASSERT_TRUE(CXTPPaintManager::SetTheme(xtpThemeOffice2000));
    ASSERT_TRUE(m_host.CreateEx(0, AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)),
                                "主题", WS_POPUP | WS_VISIBLE, 60, 60, 420, 100, nullptr, nullptr));
    auto* pImages = new CXTPImageManager;
    const COLORREF colours[] = {RGB(200, 0, 0), RGB(0, 150, 0), RGB(0, 0, 200), RGB(200, 120, 0)};
    std::vector<HICON> icons;
    for (int i = 0; i < 4; ++i) {
        icons.push_back(test::MakeSolidIcon(16, colours[i]));
        pImages->SetIcon(CXTPImageManagerIconHandle(icons.back()), 10 + i);
    }
    const CRect rcBars[] = {CRect(0, 0, 420, 24), CRect(0, 26, 200, 56), CRect(0, 58, 300, 88)};
    for (int i = 0; i < 3; ++i) {
        auto* pBar = new HoverBar;
        if (i == 0)
            pBar->m_barType = xtpBarTypeMenuBar;
        if (i == 2)
            pImages->InternalAddRef(); // both toolbars hold it
        if (i > 0)
            pBar->SetImageManager(pImages);
        ASSERT_TRUE(pBar->CreateIn(&m_host, rcBars[i]));
        m_bars.push_back(pBar);
    }
    for (const char* title : {"文件(&F)", "编辑(&E)", "帮助(&H)"})
        m_bars[0]->GetControls()->Add(xtpControlPopup, 0)->SetCaption(title);
    CXTPControl* pOpen = m_bars[1]->GetControls()->Add(xtpControlButton, 10);
    m_bars[1]->GetControls()->Add(xtpControlButton, 11)->SetChecked(1);
    m_bars[1]->GetControls()->Add(xtpControlButton, 12)->SetEnabled(FALSE);
    CXTPControl* pSplit = m_bars[2]->GetControls()->Add(xtpControlSplitButtonPopup, 13);
    pSplit->SetCaption("发送");
    pSplit->SetStyle(xtpButtonIconAndCaption);
    m_bars[2]->GetControls()->Add(xtpControlButton, 14)->SetCaption("搜索(&S)");
    RedrawCommandBars();
    ::SetForegroundWindow(m_host.m_hWnd);
    ASSERT_TRUE(PumpUntil([&] { return m_presenter->GetNativeWindow(m_host.m_hWnd) != 0; }, 5000));

    HoverBar* pToolBar = m_bars[1];
    const CPoint ptAway = InHost(m_bars[2], CPoint(290, 25));
    struct Theme {
        int id;
        const char* name;
    } const themes[] = {{1, "office2000"}, {0, "officexp"}, {2, "office2003"}, {4, "default"}};
    for (const Theme& theme : themes) {
        CXTPPaintManager* pTheme = CXTPPaintManager::SetTheme(theme.id);
        ASSERT_TRUE(pTheme);
        const bool flat = theme.id != 1;
        RedrawCommandBars();
        ASSERT_TRUE(m_presenter->SimulatePointer(m_host.m_hWnd, ptAway.x, ptAway.y));
        ASSERT_TRUE(PumpUntil([&] { return pToolBar->GetSelectedIndex() == -1; }, 5000));
        auto shot = Shot(std::string(theme.name) + "-rest");
        ASSERT_TRUE(shot);
        const CRect rcOpen = pOpen->GetRect();

        // Hot.
        const CPoint ptOpen = InHost(pToolBar, rcOpen.CenterPoint());
        ASSERT_TRUE(m_presenter->SimulatePointer(m_host.m_hWnd, ptOpen.x, ptOpen.y));
        ASSERT_TRUE(PumpUntil([&] { return pToolBar->GetSelectedIndex() == 0; }, 5000));
        shot = Shot(std::string(theme.name) + "-hot");
        EXPECT_EQ(At(*shot, pToolBar, rcOpen.left, rcOpen.top),
                  pTheme->GetColor(flat ? 32 : COLOR_BTNHIGHLIGHT) & 0xFFFFFF)
            << theme.name;
        if (flat) {
            EXPECT_EQ(At(*shot, pToolBar, rcOpen.left + 1, rcOpen.bottom - 2), pTheme->GetColor(31) & 0xFFFFFF)
                << theme.name << ": without a scheme every flat theme fills hot buttons with 31";
        }

        // Pressed, looked at from inside the press.
        bool bLooked = false;
        m_host.m_commands.clear();
        m_host.m_onTimer = [&] {
            m_host.KillTimer(DisplayHost::kTimerId);
            auto held = Shot(std::string(theme.name) + "-pressed");
            if (held) {
                bLooked = true;
                EXPECT_EQ(At(*held, pToolBar, rcOpen.left, rcOpen.top),
                          pTheme->GetColor(flat ? 50 : COLOR_BTNSHADOW) & 0xFFFFFF)
                    << theme.name;
            }
            m_presenter->SimulateButton(m_host.m_hWnd, ptOpen.x, ptOpen.y, 1, false);
        };
        m_host.SetTimer(DisplayHost::kTimerId, 20, nullptr);
        ASSERT_TRUE(m_presenter->SimulateButton(m_host.m_hWnd, ptOpen.x, ptOpen.y, 1, true));
        ASSERT_TRUE(PumpUntil([&] { return !m_host.m_commands.empty(); }, 10000));
        EXPECT_TRUE(bLooked) << theme.name;
        EXPECT_EQ(m_host.m_commands, std::vector<UINT>{10});
        pToolBar->OnUpdateCmdUI(FALSE);
    }

    for (HoverBar* pBar : m_bars) {
        pBar->DestroyWindow();
        pBar->InternalRelease();
    }
    m_host.DestroyWindow();
    for (HICON hIcon : icons)
        DestroyIcon(hIcon);
    CXTPPaintManager::SetCustomTheme(nullptr);
}
