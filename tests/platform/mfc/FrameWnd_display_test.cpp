// A frame with a bar and a status bar on a real display: the desktop resizes
// it and the bars and the view are laid out again, as the screenshot shows.
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/mfc/ControlBar.h"
#include "platform/mfc/StatusBar.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/SystemProfile.h"
#include "tests/support/DisplayPump.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

// Last: its macros would clash with the headers above.
#include <X11/Xlib.h>

using namespace tavrin;

namespace {

constexpr COLORREF kViewColour = RGB(0x20, 0x60, 0xA0);

class CColourView : public CView {
public:
    void OnDraw(CDC* pDC) override
    {
        CRect client;
        GetClientRect(&client);
        pDC->FillSolidRect(&client, kViewColour);
    }
};

class CEdgeBar : public CControlBar {
public:
    int m_thickness = 0;
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override
    {
        return bHorz ? CSize(bStretch ? 32767 : 0, m_thickness) : CSize(m_thickness, bStretch ? 32767 : 0);
    }
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
};

class CShownFrame : public CFrameWnd {
public:
    CEdgeBar m_top;
    CStatusBar m_bottom;
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
        m_top.m_thickness = 26;
        if (!m_bottom.CreateEx(this, SBARS_SIZEGRIP, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP) ||
            !m_bottom.SetIndicators(indicators, 4) ||
            !m_top.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(), this, 0xE820))
            return -1;
        m_bottom.SendMessage(SB_SETMINHEIGHT, 20);
        auto* pView = new CColourView;
        if (!pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(), this, AFX_IDW_PANE_FIRST))
            return -1;
        SetActiveView(pView, FALSE);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CShownFrame, CFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

DWORD Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

} // namespace

TEST(FrameDisplay, TheDesktopResizesTheFrameAndItsStatusBarFollows)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);
    CWinApp app;
    auto* pFrame = new CShownFrame;
    ASSERT_TRUE(pFrame->Create(nullptr, "框架布局", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(80, 80, 440, 360)));
    app.m_pMainWnd = pFrame;
    HWND hFrame = pFrame->m_hWnd;
    ASSERT_TRUE(tavrin::test::PumpUntil([&] { return presenter->GetNativeWindow(hFrame) != 0; }));

    const DWORD face = Rgb(::GetSysColor(COLOR_BTNFACE));
    auto laidOut = [&](std::unique_ptr<Surface>& shot) {
        presenter->Flush();
        shot = presenter->CaptureWindow(hFrame);
        if (!shot)
            return false;
        CRect client;
        pFrame->GetClientRect(&client);
        int h = client.Height(), w = client.Width();
        if (shot->Width() < w || shot->Height() < h)
            return false;
        return (shot->GetPixel(w / 2, h / 2) & 0xFFFFFF) == Rgb(kViewColour) &&
               (shot->GetPixel(w / 2, h - 11) & 0xFFFFFF) == face && (shot->GetPixel(w / 2, 13) & 0xFFFFFF) == face &&
               (shot->GetPixel(w / 2, h - 30) & 0xFFFFFF) == Rgb(kViewColour);
    };
    std::unique_ptr<Surface> shot;
    ASSERT_TRUE(tavrin::test::PumpUntil([&] { return laidOut(shot); }));

    // Another client of the display server resizes the frame's window.
    CRect before;
    pFrame->GetClientRect(&before);
    Display* x = XOpenDisplay(nullptr);
    ASSERT_NE(x, nullptr);
    XWindowAttributes attributes{};
    XGetWindowAttributes(x, presenter->GetNativeWindow(hFrame), &attributes);
    XResizeWindow(x, presenter->GetNativeWindow(hFrame), attributes.width + 120, attributes.height + 90);
    XFlush(x);
    XCloseDisplay(x);
    CRect after;
    ASSERT_TRUE(tavrin::test::PumpUntil([&] {
        pFrame->GetClientRect(&after);
        return after.Height() >= before.Height() + 60;
    })) << "height " << after.Height() << " was " << before.Height();
    bool again = tavrin::test::PumpUntil([&] { return laidOut(shot); });
    if (shot)
        SavePng(*shot, "mfc-frame-layout.png");
    EXPECT_TRUE(again);
    CRect bottom;
    pFrame->m_bottom.GetWindowRect(&bottom);
    pFrame->ScreenToClient(&bottom);
    const int height = pFrame->m_bottom.CalcFixedLayout(TRUE, TRUE).cy;
    EXPECT_GE(height, 24) << "the minimum height and the control's borders";
    EXPECT_EQ(bottom, CRect(0, after.bottom - height, after.right, after.bottom));
    EXPECT_STREQ(pFrame->m_bottom.GetPaneText(0), "就绪");
    // The message pane stretches with the frame; the last pane stays at the right.
    CRect last;
    pFrame->m_bottom.GetItemRect(3, &last);
    EXPECT_GT(last.right, after.right - 40);
    pFrame->DestroyWindow();
}
