// A toolbar in the Office 2000 look on a real display: the desktop's pointer
// moves over a button, presses and releases it, and moves over a split
// button; at each step the screen shows what the window drew, with the
// expected frames.
#include "tests/support/DisplayPump.h"
#include "tests/support/SolidIcon.h"
#include "tests/toolkit/CommandBarTestSupport.h"

#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/win/WindowSurface.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPOffice2000Theme.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace tavrin;
using tavrin::test::PumpUntil;

namespace {

// The frame: a plain top-level window whose client area is its surface.
class HostWnd : public CWnd {
public:
    std::vector<UINT> m_commands;
    std::function<void()> m_onTimer;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            m_commands.push_back(LOWORD(wParam));
        if (message == WM_TIMER && wParam == 77 && m_onTimer) {
            m_onTimer();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// A toolbar whose hover selection stands for the bars' tracking.
class HoverBar : public test::TestBar {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_MOUSEMOVE) {
            const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            CXTPControl* pControl = GetControls()->HitTest(pt);
            if (SetSelected(pControl ? pControl->GetIndex() : -1))
                Invalidate(FALSE);
            return 0;
        }
        return test::TestBar::WindowProc(message, wParam, lParam);
    }
};

class Office2000Display : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        m_presenter = display::StartGtkPresenter();
        ASSERT_TRUE(m_presenter);
    }
    // The screen once it shows what the window drew over the bar.
    std::unique_ptr<Surface> Shot(const char* step)
    {
        CRect rc;
        m_pBar->GetClientRect(&rc);
        m_pBar->MapWindowPoints(&m_host, &rc);
        std::unique_ptr<Surface> shot;
        const bool same = PumpUntil([&] {
            m_pBar->RedrawWindow(nullptr, nullptr, RDW_UPDATENOW);
            m_presenter->Flush();
            shot = m_presenter->CaptureWindow(m_host.m_hWnd);
            auto own = win::GetWindowSurface(m_host.m_hWnd);
            if (!shot || !own)
                return false;
            for (int y = rc.top; y < rc.bottom; ++y)
                for (int x = rc.left; x < rc.right; ++x)
                    if ((shot->GetPixel(x, y) & 0xFFFFFF) != (own->GetPixel(x, y) & 0xFFFFFF))
                        return false;
            return true;
        }, 5000);
        EXPECT_TRUE(same) << step << ": the screen shows what the window drew";
        if (shot)
            SavePng(*shot, (std::string("office2000-") + step + ".png").c_str());
        return shot;
    }
    // A pixel of the shot at a point of the bar.
    COLORREF At(const Surface& shot, int x, int y)
    {
        CPoint pt(x, y);
        m_pBar->MapWindowPoints(&m_host, &pt, 1);
        return ColorFromPixel(shot.GetPixel(pt.x, pt.y)) & 0xFFFFFF;
    }
    CPoint InHost(CPoint pt)
    {
        m_pBar->MapWindowPoints(&m_host, &pt, 1);
        return pt;
    }

    display::GtkPresenter* m_presenter = nullptr;
    HostWnd m_host;
    HoverBar* m_pBar = nullptr;
};

} // namespace

TEST_F(Office2000Display, ButtonsMovedOverPressedAndReleased)
{
    CXTPOffice2000Theme* pTheme = static_cast<CXTPOffice2000Theme*>(CXTPPaintManager::SetTheme(xtpThemeOffice2000));
    ASSERT_TRUE(pTheme);
    const COLORREF face = pTheme->GetColor(COLOR_3DFACE), light = pTheme->GetColor(COLOR_BTNHIGHLIGHT),
                   shadow = pTheme->GetColor(COLOR_BTNSHADOW);

    ASSERT_TRUE(m_host.CreateEx(0, AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), "工具栏", WS_POPUP | WS_VISIBLE, 60, 60, 420, 80, nullptr,
                                nullptr));
    m_pBar = new HoverBar;
    auto* pImages = new CXTPImageManager;
    const COLORREF colours[] = {RGB(200, 0, 0), RGB(0, 150, 0), RGB(0, 0, 200), RGB(200, 120, 0)};
    std::vector<HICON> icons;
    for (int i = 0; i < 4; ++i) {
        icons.push_back(test::MakeSolidIcon(16, colours[i]));
        pImages->SetIcon(CXTPImageManagerIconHandle(icons.back()), 10 + i);
    }
    m_pBar->SetImageManager(pImages);
    ASSERT_TRUE(m_pBar->CreateIn(&m_host, CRect(10, 10, 400, 40)));
    CXTPControls* pControls = m_pBar->GetControls();
    CXTPControl* pOpen = pControls->Add(xtpControlButton, 10);
    CXTPControl* pChecked = pControls->Add(xtpControlButton, 11);
    pChecked->SetChecked(1);
    CXTPControl* pDisabled = pControls->Add(xtpControlButton, 12);
    pDisabled->SetEnabled(FALSE);
    CXTPControl* pSplit = pControls->Add(xtpControlSplitButtonPopup, 13);
    pSplit->SetCaption("发送");
    pSplit->SetStyle(xtpButtonIconAndCaption);
    CXTPControl* pText = pControls->Add(xtpControlButton, 14);
    pText->SetCaption("搜索(&S)");
    pText->SetBeginGroup(TRUE);
    m_pBar->OnRecalcLayout();
    ::SetForegroundWindow(m_host.m_hWnd);
    ASSERT_TRUE(PumpUntil([&] { return m_presenter->GetNativeWindow(m_host.m_hWnd) != 0; }, 5000));

    // At rest: the checked button sunken on its dither, the disabled icon as silhouettes.
    auto shot = Shot("rest");
    ASSERT_TRUE(shot);
    const CRect rcOpen = pOpen->GetRect(), rcChecked = pChecked->GetRect(), rcDisabled = pDisabled->GetRect();
    const CRect rcSplit = pSplit->GetRect();
    EXPECT_EQ(At(*shot, rcOpen.left, rcOpen.top), face);
    EXPECT_EQ(At(*shot, rcChecked.left, rcChecked.top), shadow);
    EXPECT_EQ(At(*shot, rcChecked.right - 1, rcChecked.bottom - 1), light);
    EXPECT_NE(At(*shot, rcChecked.left + 1, rcChecked.top + 1), At(*shot, rcChecked.left + 2, rcChecked.top + 1))
        << "the dither";
    const CPoint icon(rcDisabled.left + 3, rcDisabled.top + (rcDisabled.Height() - 16) / 2);
    EXPECT_EQ(At(*shot, icon.x + 5, icon.y + 5), shadow) << "the disabled silhouette";
    EXPECT_EQ(At(*shot, icon.x + 16, icon.y + 16), light) << "and its highlight below";
    EXPECT_EQ(At(*shot, rcSplit.right - 12, rcSplit.top), face);

    // Moved over: raised.
    const CPoint ptOpen = InHost(rcOpen.CenterPoint());
    ASSERT_TRUE(m_presenter->SimulatePointer(m_host.m_hWnd, ptOpen.x, ptOpen.y));
    ASSERT_TRUE(PumpUntil([&] { return m_pBar->GetSelectedIndex() == 0; }, 5000));
    shot = Shot("hot");
    EXPECT_EQ(At(*shot, rcOpen.left, rcOpen.top), light);
    EXPECT_EQ(At(*shot, rcOpen.right - 1, rcOpen.bottom - 1), shadow);

    // Pressed: sunken while held, looked at from a timer inside the press.
    bool bLooked = false;
    m_host.m_onTimer = [&] {
        m_host.KillTimer(77);
        auto held = Shot("pressed");
        if (held) {
            bLooked = true;
            EXPECT_EQ(At(*held, rcOpen.left, rcOpen.top), shadow) << "pressed: sunken";
            EXPECT_EQ(At(*held, rcOpen.right - 1, rcOpen.bottom - 1), light);
        }
        m_presenter->SimulateButton(m_host.m_hWnd, ptOpen.x, ptOpen.y, 1, false);
    };
    m_host.SetTimer(77, 20, nullptr);
    ASSERT_TRUE(m_presenter->SimulateButton(m_host.m_hWnd, ptOpen.x, ptOpen.y, 1, true));
    ASSERT_TRUE(PumpUntil([&] { return !m_host.m_commands.empty(); }, 10000));
    EXPECT_TRUE(bLooked);
    EXPECT_EQ(m_host.m_commands, std::vector<UINT>{10});
    // Run: pressed value 2 keeps it sunken until the next command update.
    EXPECT_EQ(pOpen->GetPressed(), 2);
    shot = Shot("ran");
    EXPECT_EQ(At(*shot, rcOpen.left, rcOpen.top), shadow);
    m_pBar->OnUpdateCmdUI(FALSE);
    shot = Shot("released");
    EXPECT_NE(At(*shot, rcOpen.left, rcOpen.top), shadow) << "released: no longer sunken";

    // Over the split button: both parts raised.
    const CPoint ptSplit = InHost(CPoint(rcSplit.left + 8, rcSplit.top + rcSplit.Height() / 2));
    ASSERT_TRUE(m_presenter->SimulatePointer(m_host.m_hWnd, ptSplit.x, ptSplit.y));
    ASSERT_TRUE(PumpUntil([&] { return m_pBar->GetSelectedIndex() == 3; }, 5000));
    shot = Shot("split-hot");
    EXPECT_EQ(At(*shot, rcSplit.left, rcSplit.top), light);
    EXPECT_EQ(At(*shot, rcSplit.right - 13, rcSplit.bottom - 1), shadow) << "the button part ends 12 from the right";
    EXPECT_EQ(At(*shot, rcSplit.right - 12, rcSplit.top), light) << "the arrow part";
    EXPECT_EQ(At(*shot, rcSplit.right - 1, rcSplit.bottom - 1), shadow);

    m_pBar->DestroyWindow();
    m_pBar->InternalRelease();
    m_host.DestroyWindow();
    for (HICON hIcon : icons)
        DestroyIcon(hIcon);
    CXTPPaintManager::SetCustomTheme(nullptr);
}
