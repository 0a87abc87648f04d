// A bar of buttons on a real display: the desktop's pointer presses a
// button, the screen shows the pressed look while it is held, and the
// release runs the command.
#include "tests/support/DisplayPump.h"
#include "tests/toolkit/CommandBarTestSupport.h"

#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tavrin;
using tavrin::test::PumpUntil;

namespace {

class CommandBarDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        m_presenter = display::StartGtkPresenter();
        ASSERT_TRUE(m_presenter);
    }
    // The colour the desktop shows at a point of the bar's client area.
    COLORREF Shown(CWnd* pBar, CPoint pt)
    {
        HWND root = ::GetAncestor(pBar->m_hWnd, GA_ROOT);
        m_presenter->Flush();
        auto shot = m_presenter->CaptureWindow(root);
        ::MapWindowPoints(pBar->m_hWnd, root, &pt, 1);
        if (!shot || pt.x < 0 || pt.y < 0 || pt.x >= shot->Width() || pt.y >= shot->Height())
            return 0xFFFFFFFF;
        return ColorFromPixel(shot->GetPixel(pt.x, pt.y)) & 0xFFFFFF;
    }
    display::GtkPresenter* m_presenter = nullptr;
};

} // namespace

TEST_F(CommandBarDisplay, AHeldButtonLooksPressedAndRunsOnRelease)
{
    test::ScopedTestTheme theme;
    test::TestSite site;
    site.MoveWindow(60, 60, 420, 200);
    auto* pCommandBars = new CXTPCommandBars;
    pCommandBars->SetSite(&site);
    auto* pBar = new test::TestBar;
    pBar->SetCommandBars(pCommandBars);
    ASSERT_TRUE(pBar->CreateIn(&site, CRect(10, 10, 310, 40)));
    for (int i = 0; i < 4; ++i)
        pBar->GetControls()->Add(xtpControlButton, 10 + i);
    pBar->OnRecalcLayout();
    ::SetForegroundWindow(site.m_hWnd);
    ASSERT_TRUE(PumpUntil([&] { return m_presenter->GetNativeWindow(site.m_hWnd) != 0; }, 5000));
    const CPoint centre = pBar->GetControl(1)->GetRect().CenterPoint();
    ASSERT_TRUE(PumpUntil([&] { return Shown(pBar, centre) == test::kControlFill; }, 5000)) << "the bar on screen";
    EXPECT_EQ(Shown(pBar, CPoint(1, 1)), test::kBarFill);

    CPoint inFrame = centre;
    ::MapWindowPoints(pBar->m_hWnd, site.m_hWnd, &inFrame, 1);
    // While held, a timer of the site looks at the screen, then lets go.
    bool bPressedShown = false;
    int nLooks = 0;
    site.m_handler = [&](UINT message, WPARAM wParam, LPARAM, LRESULT*) {
        if (message != WM_TIMER || wParam != 77)
            return false;
        bPressedShown = Shown(pBar, centre) == test::kPressedFill;
        if (bPressedShown || ++nLooks > 200) {
            site.KillTimer(77);
            if (bPressedShown) {
                const auto shot = m_presenter->CaptureWindow(site.m_hWnd);
                if (shot)
                    SavePng(*shot, "commandbar-pressed.png");
            }
            m_presenter->SimulateButton(site.m_hWnd, inFrame.x, inFrame.y, 1, false);
        }
        return true;
    };
    site.SetTimer(77, 20);
    ASSERT_TRUE(m_presenter->SimulateButton(site.m_hWnd, inFrame.x, inFrame.y, 1, true));
    ASSERT_TRUE(PumpUntil([&] { return !site.Messages(WM_COMMAND).empty(); }, 10000));
    EXPECT_TRUE(bPressedShown) << "the pressed look while held";
    EXPECT_EQ(site.Messages(WM_COMMAND), std::vector<UINT>{11});
    EXPECT_EQ(::GetCapture(), nullptr);

    // A press released over another button runs nothing.
    site.Clear();
    site.m_handler = nullptr;
    CPoint other = pBar->GetControl(3)->GetRect().CenterPoint();
    ::MapWindowPoints(pBar->m_hWnd, site.m_hWnd, &other, 1);
    ASSERT_TRUE(m_presenter->SimulateButton(site.m_hWnd, inFrame.x, inFrame.y, 1, true));
    ASSERT_TRUE(m_presenter->SimulatePointer(site.m_hWnd, other.x, other.y));
    ASSERT_TRUE(m_presenter->SimulateButton(site.m_hWnd, other.x, other.y, 1, false));
    PumpUntil([&] { return ::GetCapture() == nullptr && pBar->GetControl(1)->GetPressed() == 0; }, 3000);
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(site.Messages(WM_COMMAND).empty());
    EXPECT_EQ(Shown(pBar, centre), test::kControlFill) << "the pressed look is gone";

    pBar->InternalRelease();
    pCommandBars->InternalRelease();
    site.DestroyWindow();
}
