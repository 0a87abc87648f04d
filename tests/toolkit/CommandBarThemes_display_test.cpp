// A framework frame whose top dock bar holds a menu bar and two toolbars on a
// real display, switched through the Office 2000, Office XP, Office 2003 and
// default themes with the manager's RedrawCommandBars: in each the desktop's
// pointer moves over a button and presses it, and every screen capture equals
// what the window drew.
#include "tests/support/DisplayPump.h"
#include "tests/support/SolidIcon.h"
#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/ToolBarTestFrame.h"

#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace tavrin;
using tavrin::test::PumpUntil;

namespace {

// Records the commands it receives; every command of the toolbars has a
// handler, so their buttons stay enabled.
class ThemesFrame : public test::CToolBarTestFrame {
public:
    std::vector<UINT> m_commands;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (nCode == CN_COMMAND && pHandlerInfo && nID >= 10 && nID < 20)
            return TRUE;
        return test::CToolBarTestFrame::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND && LOWORD(wParam) >= 10 && LOWORD(wParam) < 20) {
            m_commands.push_back(LOWORD(wParam));
            return 0;
        }
        return test::CToolBarTestFrame::WindowProc(message, wParam, lParam);
    }
};

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
            m_frame.RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            m_presenter->Flush();
            shot = m_presenter->CaptureWindow(m_frame.m_hWnd);
            return shot && test::ShowsOwnSurface(*shot, m_frame.m_hWnd);
        }, 5000);
        EXPECT_TRUE(same) << step << ": the screen shows what the window drew";
        if (shot)
            SavePng(*shot, ("themes-" + step + ".png").c_str());
        return shot;
    }
    // A pixel of the window's client area in a capture of the whole frame.
    COLORREF At(const Surface& shot, CWnd* pWnd, int x, int y)
    {
        CPoint pt(x, y);
        pWnd->ClientToScreen(&pt);
        CRect rcFrame;
        m_frame.GetWindowRect(&rcFrame);
        pt -= rcFrame.TopLeft();
        return ColorFromPixel(shot.GetPixel(pt.x, pt.y)) & 0xFFFFFF;
    }
    // Client coordinates of the frame, as the presenter's input takes them.
    CPoint InFrame(CWnd* pWnd, CPoint pt)
    {
        pWnd->MapWindowPoints(&m_frame, &pt, 1);
        return pt;
    }

    display::GtkPresenter* m_presenter = nullptr;
    ThemesFrame m_frame;
};

} // namespace

TEST_F(ThemesDisplay, MenuBarAndToolbarsInEveryTheme)
{
    ASSERT_TRUE(CXTPPaintManager::SetTheme(xtpThemeOffice2000));
    ASSERT_TRUE(m_frame.Create(nullptr, "主题", WS_POPUP | WS_VISIBLE, CRect(60, 60, 480, 200)));
    ASSERT_TRUE(m_frame.InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)));
    CXTPCommandBars* pBars = m_frame.GetCommandBars();
    pBars->GetOptions()->bShowExpandButtonAlways = FALSE;
    auto* pImages = new CXTPImageManager;
    const COLORREF colours[] = {RGB(200, 0, 0), RGB(0, 150, 0), RGB(0, 0, 200), RGB(200, 120, 0)};
    std::vector<HICON> icons;
    for (int i = 0; i < 4; ++i) {
        icons.push_back(test::MakeSolidIcon(16, colours[i]));
        pImages->SetIcon(CXTPImageManagerIconHandle(icons.back()), 10 + i);
    }
    // A menu bar stretched over its own row, two toolbars side by side below.
    CXTPToolBar* pMenuBar = pBars->Add("菜单条", xtpBarTop);
    pMenuBar->m_barType = xtpBarTypeMenuBar;
    pMenuBar->EnableDocking(0x5F); // any side, stretched over its row
    for (const char* title : {"文件(&F)", "编辑(&E)", "帮助(&H)"})
        pMenuBar->GetControls()->Add(xtpControlPopup, 0)->SetCaption(title);
    CXTPToolBar* pToolBar = pBars->Add("标准", xtpBarTop);
    CXTPToolBar* pSearch = pBars->Add("搜索", xtpBarTop);
    for (CXTPToolBar* pBar : {pToolBar, pSearch}) {
        pBar->SetImageManager(pImages);
        pImages->InternalAddRef();
    }
    pImages->InternalRelease();
    CXTPControl* pOpen = pToolBar->GetControls()->Add(xtpControlButton, 10);
    pToolBar->GetControls()->Add(xtpControlButton, 11)->SetChecked(1);
    pToolBar->GetControls()->Add(xtpControlButton, 12)->SetEnabled(FALSE);
    CXTPControl* pSplit = pSearch->GetControls()->Add(xtpControlSplitButtonPopup, 13);
    pSplit->SetCaption("发送");
    pSplit->SetStyle(xtpButtonIconAndCaption);
    pSearch->GetControls()->Add(xtpControlButton, 14)->SetCaption("搜索(&S)");
    m_frame.RecalcLayout();
    CRect rcDrop;
    pToolBar->GetWindowRect(&rcDrop);
    rcDrop.OffsetRect(rcDrop.Width() + 10, 0);
    ASSERT_TRUE(pBars->DockCommandBar(pSearch, &rcDrop, pBars->GetDockBar(xtpBarTop)));
    pBars->RedrawCommandBars();
    {
        CRect rcMenu, rcTool, rcSearch;
        pMenuBar->GetWindowRect(&rcMenu);
        pToolBar->GetWindowRect(&rcTool);
        pSearch->GetWindowRect(&rcSearch);
        EXPECT_LE(rcMenu.bottom, rcTool.top) << "the menu bar on its own row";
        EXPECT_EQ(rcTool.top, rcSearch.top) << "the toolbars share a row";
    }
    ::SetForegroundWindow(m_frame.m_hWnd);
    ASSERT_TRUE(PumpUntil([&] { return m_presenter->GetNativeWindow(m_frame.m_hWnd) != 0; }, 5000));

    CRect rcSearchClient;
    pSearch->GetClientRect(&rcSearchClient);
    const CPoint ptAway = InFrame(pSearch, CPoint(rcSearchClient.right - 2, rcSearchClient.bottom - 2));
    struct Theme {
        int id;
        const char* name;
    } const themes[] = {{1, "office2000"}, {0, "officexp"}, {2, "office2003"}, {4, "default"}};
    for (const Theme& theme : themes) {
        CXTPPaintManager* pTheme = CXTPPaintManager::SetTheme(theme.id);
        ASSERT_TRUE(pTheme);
        const bool flat = theme.id != 1;
        pBars->RedrawCommandBars();
        ASSERT_TRUE(m_presenter->SimulatePointer(m_frame.m_hWnd, ptAway.x, ptAway.y));
        ASSERT_TRUE(PumpUntil([&] { return pToolBar->GetSelectedIndex() == -1; }, 5000));
        auto shot = Shot(std::string(theme.name) + "-rest");
        ASSERT_TRUE(shot);
        const CRect rcOpen = pOpen->GetRect();

        // Hot.
        const CPoint ptOpen = InFrame(pToolBar, rcOpen.CenterPoint());
        ASSERT_TRUE(m_presenter->SimulatePointer(m_frame.m_hWnd, ptOpen.x, ptOpen.y));
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
        m_frame.m_commands.clear();
        test::TimerSteps steps([&] {
            auto held = Shot(std::string(theme.name) + "-pressed");
            if (held) {
                bLooked = true;
                EXPECT_EQ(At(*held, pToolBar, rcOpen.left, rcOpen.top),
                          pTheme->GetColor(flat ? 50 : COLOR_BTNSHADOW) & 0xFFFFFF)
                    << theme.name;
            }
            m_presenter->SimulateButton(m_frame.m_hWnd, ptOpen.x, ptOpen.y, 1, false);
            return true;
        });
        ASSERT_TRUE(m_presenter->SimulateButton(m_frame.m_hWnd, ptOpen.x, ptOpen.y, 1, true));
        ASSERT_TRUE(PumpUntil([&] { return !m_frame.m_commands.empty(); }, 10000));
        EXPECT_TRUE(bLooked) << theme.name;
        EXPECT_EQ(m_frame.m_commands, std::vector<UINT>{10});
        pToolBar->OnUpdateCmdUI(FALSE);
    }

    m_frame.DestroyWindow();
    for (HICON hIcon : icons)
        DestroyIcon(hIcon);
    CXTPPaintManager::SetCustomTheme(nullptr);
}
