// Docking drags with the real pointer on a real display: a docked toolbar
// dragged out to float and back onto the left dock bar, a floating dialog
// bar sized by its corner, and a popup torn off into a floating toolbar.
// The pointer moves in steps from a timer while the drag's own loop runs;
// the screen is captured at each key point and its pixels checked.
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Capture.h"
#include "tests/support/DisplayPump.h"
#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/ToolBarTestFrame.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPDialogBar.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
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

// Floating captions of 16 pixels and a tear-off gripper of 8.
class TearOffTheme : public CaptionTheme {
public:
    CSize DrawTearOffGripper(CDC* pDC, CRect rc, BOOL, BOOL bDraw) override
    {
        if (bDraw)
            pDC->FillSolidRect(&rc, RGB(0, 0, 160));
        return CSize(0, 8);
    }
};

// Moves the real pointer one step per timer tick, inside whatever modal
// loop runs, and releases the button at the end.
class PointerScript : public CWnd {
public:
    display::GtkPresenter* m_presenter = nullptr;
    HWND m_hTop = nullptr; // the window whose client coordinates the presenter takes
    std::vector<CPoint> m_points; // screen
    size_t m_nNext = 0;
    BOOL m_bReleased = FALSE;
    BOOL m_bCaptured = FALSE; // a drag loop held the mouse at some tick

    BOOL Make() { return CreateEx(0, AfxRegisterWndClass(0), "script", WS_POPUP, CRect(0, 0, 1, 1), nullptr, 0); }
    // From the press point through the waypoints in steps of at most 8 pixels.
    void Plan(CPoint from, const std::vector<CPoint>& path)
    {
        m_points.clear();
        m_nNext = 0;
        m_bReleased = FALSE;
        m_bCaptured = FALSE;
        CPoint at = from;
        for (CPoint to : path) {
            while (at != to) {
                at.x += std::clamp(static_cast<int>(to.x - at.x), -8, 8);
                at.y += std::clamp(static_cast<int>(to.y - at.y), -8, 8);
                m_points.push_back(at);
            }
        }
    }
    // The presenter's coordinates are relative to the native window's
    // origin: found once by moving the pointer to (0, 0) of it.
    CPoint m_ptOrigin{0, 0};
    bool Calibrate()
    {
        m_presenter->SimulatePointer(m_hTop, 7, 7);
        PumpUntil([] { return false; }, 300);
        CPoint pt;
        ::GetCursorPos(&pt);
        m_ptOrigin = pt - CPoint(7, 7);
        return m_ptOrigin.x >= 0 && m_ptOrigin.y >= 0;
    }
    CPoint Local(CPoint pt) const { return pt - m_ptOrigin; }
    // Presses at from and runs the plan; TRUE once released and no capture is left.
    bool Run(CPoint from)
    {
        const CPoint local = Local(from);
        m_presenter->SimulatePointer(m_hTop, local.x, local.y);
        PumpUntil([] { return false; }, 100);
        m_presenter->SimulateButton(m_hTop, local.x, local.y, 1, true);
        SetTimer(1, 25, nullptr);
        const bool done = PumpUntil([&] { return m_bReleased && ::GetCapture() == nullptr; }, 15000);
        KillTimer(1);
        PumpUntil([] { return false; }, 200);
        return done;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_TIMER)
            return CWnd::WindowProc(message, wParam, lParam);
        if (::GetCapture())
            m_bCaptured = TRUE;
        if (m_nNext < m_points.size()) {
            const CPoint local = Local(m_points[m_nNext++]);
            m_presenter->SimulatePointer(m_hTop, local.x, local.y);
        } else if (!m_bReleased) {
            const CPoint local = Local(m_points.empty() ? CPoint(0, 0) : m_points.back());
            m_presenter->SimulateButton(m_hTop, local.x, local.y, 1, false);
            m_bReleased = TRUE;
        }
        return 0;
    }
};

CRect WindowOf(CWnd* pWnd)
{
    CRect rc;
    pWnd->GetWindowRect(&rc);
    return rc;
}

} // namespace

TEST(DockContextDisplay, DragFloatDockSizeAndTearOffWithTheRealPointer)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);
    ScopedToolBarResources resources;
    ScopedTestTheme theme;
    CWinApp app;
    auto* pFrame = new CToolBarTestFrame;
    ASSERT_TRUE(pFrame->Create(nullptr, "停靠", WS_POPUP | WS_BORDER | WS_VISIBLE, CRect(60, 60, 700, 460)));
    app.m_pMainWnd = pFrame;
    HWND hFrame = pFrame->m_hWnd;
    ASSERT_TRUE(pFrame->InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)));
    CXTPCommandBars* pBars = pFrame->GetCommandBars();
    pBars->SetPaintManager(new TearOffTheme);
    pBars->GetOptions()->bShowExpandButtonAlways = FALSE;
    CXTPToolBar* pStandard = pBars->Add("标准", xtpBarTop);
    ASSERT_TRUE(pStandard && pStandard->LoadToolBar(IDT_STANDARD16));
    pFrame->RecalcLayout();
    ASSERT_TRUE(PumpUntil([&] { return presenter->GetNativeWindow(hFrame) != 0; }));
    XTestClient x11;
    ASSERT_TRUE(x11.Ok());
    PointerScript script;
    ASSERT_TRUE(script.Make());
    script.m_presenter = presenter;
    script.m_hTop = hFrame;
    ASSERT_TRUE(script.Calibrate());

    const CRect rcFrame = WindowOf(pFrame);
    auto save = [&](const char* name) {
        presenter->Flush();
        PumpUntil([] { return false; }, 200);
        if (auto shot = x11.Grab(rcFrame.left - 40, rcFrame.top - 40, rcFrame.right + 200, rcFrame.bottom + 40))
            SavePng(*shot, name);
    };
    auto shownAt = [&](CPoint pt, COLORREF clr) {
        return PumpUntil([&] {
            presenter->Flush();
            return x11.Pixel(pt.x, pt.y) == Rgb(clr);
        }, 5000);
    };
    auto firstControlCentre = [](CXTPCommandBar* pBar) {
        CRect rc = pBar->GetControl(0)->GetRect();
        pBar->ClientToScreen(&rc);
        return rc.CenterPoint();
    };
    CRect rcClient;
    pFrame->GetClientRect(&rcClient);
    pFrame->ClientToScreen(&rcClient);
    save("dock_display_docked.png");

    // Out of the top dock bar into the middle: it floats under the pointer.
    const CRect rcDocked = WindowOf(pStandard);
    const CPoint grip(rcDocked.left + 1, rcDocked.top + 1);
    const CPoint middle = rcClient.CenterPoint();
    script.Plan(grip, {middle});
    ASSERT_TRUE(script.Run(grip));
    EXPECT_TRUE(script.m_bCaptured);
    ASSERT_TRUE(pStandard->IsFloating());
    const CRect rcFloating = WindowOf(pStandard);
    EXPECT_TRUE(rcFloating.PtInRect(middle));
    EXPECT_TRUE(shownAt(firstControlCentre(pStandard), kControlFill));
    EXPECT_EQ(pBars->GetDockBar(xtpBarTop)->FindBar(pStandard), -1);
    save("dock_display_floating.png");

    // By its caption onto the left dock bar: docked there, upright.
    const CPoint caption(rcFloating.left + 8, rcFloating.top + 8);
    const CPoint left(rcClient.left + 3, middle.y);
    script.Plan(caption, {left});
    ASSERT_TRUE(script.Run(caption));
    EXPECT_EQ(pStandard->GetPosition(), xtpBarLeft);
    const CRect rcLeft = WindowOf(pStandard);
    EXPECT_GT(rcLeft.Height(), rcLeft.Width());
    EXPECT_TRUE(shownAt(firstControlCentre(pStandard), kControlFill));
    save("dock_display_left.png");

    // A floating dialog bar sized by its bottom-right corner.
    auto* pDialogBar =
        static_cast<CXTPDialogBar*>(pBars->Add("对话栏", xtpBarFloating, RUNTIME_CLASS(CXTPDialogBar)));
    ASSERT_TRUE(pDialogBar);
    pDialogBar->MoveWindow(CRect(CPoint(rcClient.left + 200, rcClient.top + 60),
                                 pDialogBar->CalcDynamicLayout(0, 0)));
    const CRect rcDialog = WindowOf(pDialogBar);
    const CPoint corner(rcDialog.right - 1, rcDialog.bottom - 1);
    script.Plan(corner, {CPoint(corner.x + 80, corner.y + 40)});
    ASSERT_TRUE(script.Run(corner));
    EXPECT_EQ(WindowOf(pDialogBar).TopLeft(), rcDialog.TopLeft());
    EXPECT_EQ(WindowOf(pDialogBar).Size(), rcDialog.Size() + CSize(80, 40));
    EXPECT_EQ(pDialogBar->GetFloatingClientSize(), CSize(280, 240));
    EXPECT_TRUE(shownAt(CPoint(rcDialog.right + 40, rcDialog.bottom + 20), kBarFill));
    save("dock_display_dialogbar.png");
    pDialogBar->SetVisible(FALSE);

    // A popup torn off by its gripper: a floating toolbar under the pointer.
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(pBars);
    pPopup->SetOwner(pFrame);
    pPopup->GetControls()->Add(xtpControlButton, ID_TB_FIND)->SetCaption("查找");
    pPopup->GetControls()->Add(xtpControlButton, ID_TB_NEXT)->SetCaption("下一个");
    pPopup->SetTearOffPopup("撕下", 700, 200);
    ASSERT_TRUE(pPopup->Popup(rcClient.left + 300, rcClient.top + 40, nullptr));
    CRect rcGripper = pPopup->GetTearOffGripperRect();
    pPopup->ClientToScreen(&rcGripper);
    EXPECT_TRUE(shownAt(rcGripper.CenterPoint(), RGB(0, 0, 160)));
    save("dock_display_popup.png");
    const CPoint tornTo(rcGripper.CenterPoint().x + 20, WindowOf(pPopup).bottom + 80);
    script.Plan(rcGripper.CenterPoint(), {tornTo});
    ASSERT_TRUE(script.Run(rcGripper.CenterPoint()));
    auto* pTorn = DYNAMIC_DOWNCAST(CXTPToolBar, pBars->GetToolBar(700));
    ASSERT_TRUE(pTorn);
    EXPECT_TRUE(pTorn->IsTearOff());
    const CRect rcTorn = WindowOf(pTorn);
    EXPECT_EQ(rcTorn.top, tornTo.y - 10);
    EXPECT_EQ(rcTorn.left, tornTo.x - rcTorn.Width() / 2);
    EXPECT_FALSE(pPopup->GetTrackingMode()) << "the menus closed";
    // Its copy of the first item, disabled as in the menu (no handler here).
    CXTPControl* pCopy = pTorn->GetControls()->FindControl(ID_TB_FIND);
    ASSERT_TRUE(pCopy);
    CRect rcCopy = pCopy->GetRect();
    pTorn->ClientToScreen(&rcCopy);
    EXPECT_TRUE(shownAt(rcCopy.CenterPoint(), kDisabledFill));
    save("dock_display_tornoff.png");
    pPopup->InternalRelease();

    script.DestroyWindow();
    pFrame->DestroyWindow();
    delete pFrame;
}
