// A frame with a bar of buttons on a real display: the X server's test
// extension moves the pointer and types; the screen's pixels show the hot
// button, and another X client taking the focus ends the bar's tracking.
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/mfc/WinApp.h"
#include "tests/support/DisplayPump.h"
#include "tests/toolkit/CommandBarTestSupport.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsFrame.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPMouseManager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

// Last: the X headers define macros (None, Bool, Status) others trip over.
#include "tests/support/XTestClient.h"

using namespace tavrin;
using namespace tavrin::test;

namespace {

class CBarFrame : public CXTPCommandBarsFrame {
public:
    TestBar* m_pBar = nullptr;
    std::vector<UINT> m_commands;

    ~CBarFrame() override
    {
        if (m_pBar)
            m_pBar->InternalRelease();
    }
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CXTPCommandBarsFrame::OnCreate(lpcs) == -1 || !InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)))
            return -1;
        m_pBar = new TestBar;
        for (int i = 0; i < 3; ++i)
            m_pBar->GetControls()->Add(xtpControlButton, 1000 + i)->SetCaption(i == 0 ? "&Open" : "&Save");
        if (!m_pBar->CreateIn(this, CRect(0, 0, 300, 26)))
            return -1;
        m_pBar->OnRecalcLayout();
        return 0;
    }
    BOOL OnBarCommand(UINT nID)
    {
        m_commands.push_back(nID);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBarFrame, CXTPCommandBarsFrame)
    ON_WM_CREATE()
    ON_COMMAND_EX_RANGE(1000, 1002, OnBarCommand)
END_MESSAGE_MAP()

// A window of another X client, shown and given the focus.
class ForeignWindow {
public:
    explicit ForeignWindow(Display* display) : m_display(display)
    {
        m_window = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 700, 500, 200, 150, 0, 0, 0xFFFFFF);
        XMapRaised(m_display, m_window);
        XSync(m_display, False);
        // The window manager may take a moment to map it.
        for (int i = 0; i < 100; ++i) {
            XWindowAttributes attributes{};
            XGetWindowAttributes(m_display, m_window, &attributes);
            if (attributes.map_state == IsViewable)
                break;
            XSync(m_display, False);
        }
        XSetInputFocus(m_display, m_window, RevertToParent, CurrentTime);
        XSync(m_display, False);
    }
    ~ForeignWindow()
    {
        XDestroyWindow(m_display, m_window);
        XSync(m_display, False);
    }
    ForeignWindow(const ForeignWindow&) = delete;
    ForeignWindow& operator=(const ForeignWindow&) = delete;

private:
    Display* m_display;
    Window m_window;
};

uint32_t Rgb(COLORREF c)
{
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

} // namespace

TEST(BarTrackingDisplay, RealPointerAndKeysDriveABarOfButtons)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);
    ScopedTestTheme theme;
    CWinApp app;
    auto* pFrame = new CBarFrame;
    ASSERT_TRUE(pFrame->Create(nullptr, "按钮条", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(80, 80, 480, 320)));
    app.m_pMainWnd = pFrame;
    HWND hFrame = pFrame->m_hWnd;
    TestBar* pBar = pFrame->m_pBar;
    ASSERT_TRUE(PumpUntil([&] { return presenter->GetNativeWindow(hFrame) != 0; }));
    XTestClient x11;
    ASSERT_TRUE(x11.Ok());
    auto ScreenRect = [&](int nIndex) {
        CRect rc = pBar->GetControl(nIndex)->GetRect();
        pBar->ClientToScreen(&rc);
        return rc;
    };
    // The frame on screen, active, with its buttons drawn.
    const CRect first = ScreenRect(0);
    ASSERT_TRUE(PumpUntil([&] {
        presenter->Flush();
        return x11.Pixel(first.left + 3, first.top + 3) == Rgb(kControlFill);
    }));
    x11.Click(first.right + 200, first.bottom + 100);
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == hFrame; }));

    // The pointer on the second button lights it.
    const CRect second = ScreenRect(1);
    x11.Move(second.CenterPoint().x, second.CenterPoint().y);
    EXPECT_TRUE(PumpUntil([&] {
        presenter->Flush();
        return pBar->GetSelectedIndex() == 1 && x11.Pixel(second.left + 3, second.top + 3) == Rgb(kSelectedFill);
    }));
    if (const auto shot = presenter->CaptureWindow(hFrame))
        SavePng(*shot, "bartracking-hot.png");
    // Leaving fast, far outside the frame: the highlight goes after the repaint.
    x11.Move(1200, 1000);
    EXPECT_TRUE(PumpUntil([&] {
        presenter->Flush();
        return pBar->GetSelectedIndex() == -1 && x11.Pixel(second.left + 3, second.top + 3) == Rgb(kControlFill);
    }));

    // Keys go to a tracking bar: Right moves, Return runs.
    pBar->SetTrackingMode(1, TRUE, TRUE);
    x11.Key("Right");
    EXPECT_TRUE(PumpUntil([&] { return pBar->GetSelectedIndex() == 1; }));
    x11.Key("Return");
    EXPECT_TRUE(PumpUntil([&] { return pFrame->m_commands == std::vector<UINT>{1001}; }));
    EXPECT_EQ(pBar->GetTrackingMode(), 0);

    // A click runs a button.
    const CRect third = ScreenRect(2);
    x11.Click(third.CenterPoint().x, third.CenterPoint().y);
    EXPECT_TRUE(PumpUntil([&] { return pFrame->m_commands.size() == 2; }));
    if (pFrame->m_commands.size() == 2) {
        EXPECT_EQ(pFrame->m_commands[1], 1002u);
    }

    // Another program's window takes the focus: tracking ends.
    pBar->SetTrackingMode(1, TRUE, TRUE);
    ASSERT_EQ(XTPMouseManager()->GetTrackedCount(), 1);
    XTestClient other;
    ForeignWindow foreign(other.Raw());
    EXPECT_TRUE(PumpUntil([&] { return pBar->GetTrackingMode() == 0; }));
    EXPECT_EQ(XTPMouseManager()->GetTrackedCount(), 0);

    pFrame->DestroyWindow();
}
