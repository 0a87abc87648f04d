// The toolkit status bar: its height, painting through the paint manager
// (fill, panes, a grip only for a resizable, not maximised parent), a theme
// switch, and controls kept in panes.
#include "tests/toolkit/StatusPaint.h"
#include "tests/toolkit/ToolkitTestSupport.h"

#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/Static.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/User.h"
#include "toolkit/commandbars/XTPOffice2003Theme.h"
#include "toolkit/controls/XTStatusBar.h"

using namespace tavrin;
using test::StatusPaint;

namespace {

const UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

class StatusBarTest : public test::ToolkitTest {
protected:
    void TearDown() override
    {
        for (HWND h : frames)
            if (IsWindow(h))
                DestroyWindow(h);
        Pump();
        CXTPPaintManager::SetCustomTheme(nullptr);
        ToolkitTest::TearDown();
    }
    // A frame at 0, 0 with a status bar at its bottom.
    CXTStatusBar* Make(DWORD frameStyle, DWORD barStyle = SBARS_SIZEGRIP)
    {
        auto* frame = new CFrameWnd;
        if (!frame->Create(nullptr, "状态", frameStyle, CRect(0, 0, 400, 240)))
            return nullptr;
        frames.push_back(frame->m_hWnd);
        auto* bar = new CXTStatusBar;
        bars.emplace_back(bar);
        if (!bar->CreateEx(frame, barStyle) || !bar->SetIndicators(kIndicators, 4))
            return nullptr;
        frame->ShowWindow(SW_SHOWNA);
        frame->RecalcLayout();
        Pump();
        return bar;
    }
    COLORREF PixelAt(CWnd* wnd, int x, int y)
    {
        CDC* pDC = wnd->GetDC();
        const COLORREF clr = pDC->GetPixel(x, y);
        wnd->ReleaseDC(pDC);
        return clr;
    }
    std::vector<HWND> frames;
    std::vector<std::unique_ptr<CXTStatusBar>> bars;
};

} // namespace

TEST_F(StatusBarTest, AtLeastTwentyPixelsWhateverTheFont)
{
    for (int height : {-6, -11, -30}) {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        metrics.lfStatusFont.lfHeight = height;
        win::SetNonClientMetrics(metrics);
        CXTStatusBar* bar = Make(WS_OVERLAPPEDWINDOW);
        ASSERT_TRUE(bar);
        CRect rc;
        bar->GetWindowRect(&rc);
        EXPECT_GE(rc.Height(), 20) << height;
        if (height == -30) {
            EXPECT_GT(rc.Height(), 30);
        }
        // The bar speaks in the system's status font.
        LOGFONTA lf{};
        GetObjectA(reinterpret_cast<HFONT>(bar->SendMessage(WM_GETFONT)), sizeof lf, &lf);
        EXPECT_EQ(lf.lfHeight, height);
    }
}

TEST_F(StatusBarTest, PaintedByThePaintManagerWithAGripOnlyWhenItMeansSomething)
{
    auto* paint = new StatusPaint(RGB(10, 120, 30));
    CXTPPaintManager::SetCustomTheme(paint);
    struct Case {
        DWORD frameStyle;
        DWORD barStyle;
        bool maximised;
        bool grip;
    } cases[] = {
        {WS_OVERLAPPEDWINDOW, SBARS_SIZEGRIP, false, true},
        {WS_OVERLAPPEDWINDOW, 0, false, false},
        {WS_OVERLAPPEDWINDOW, SBARS_SIZEGRIP, true, false},
        {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, SBARS_SIZEGRIP, false, false},
    };
    for (const Case& c : cases) {
        CXTStatusBar* bar = Make(c.frameStyle, c.barStyle);
        ASSERT_TRUE(bar);
        if (c.maximised) {
            bar->GetParent()->ShowWindow(SW_MAXIMIZE);
            Pump();
        }
        paint->fills = paint->panes = paint->grips = 0;
        bar->Invalidate();
        bar->UpdateWindow();
        EXPECT_EQ(paint->fills, 1);
        EXPECT_EQ(paint->panes, 4);
        EXPECT_EQ(paint->grips, c.grip ? 1 : 0) << c.frameStyle << " " << c.barStyle << " " << c.maximised;
        EXPECT_EQ(PixelAt(bar, 1, 1), RGB(10, 120, 30));
        DestroyWindow(frames.back());
    }
}

TEST_F(StatusBarTest, AThemeSwitchRepaintsIt)
{
    CXTPPaintManager::SetCustomTheme(new StatusPaint(RGB(200, 0, 0)));
    CXTStatusBar* bar = Make(WS_OVERLAPPEDWINDOW);
    ASSERT_TRUE(bar);
    bar->UpdateWindow();
    EXPECT_EQ(PixelAt(bar, 2, 2), RGB(200, 0, 0));
    CXTPPaintManager::SetCustomTheme(new StatusPaint(RGB(0, 0, 200)));
    bar->Invalidate();
    bar->UpdateWindow();
    EXPECT_EQ(PixelAt(bar, 2, 2), RGB(0, 0, 200));
    // The program's own themes: a switch shows the new pane frames at the next paint.
    CXTPPaintManager::SetTheme(xtpThemeOffice2000);
    bar->Invalidate();
    bar->UpdateWindow();
    CRect pane;
    bar->GetItemRect(1, &pane);
    const CPoint frameTop(pane.left + 5, pane.top);
    EXPECT_EQ(PixelAt(bar, frameTop.x, frameTop.y), GetSysColor(COLOR_BTNSHADOW));
    auto* office2003 = static_cast<CXTPOffice2003Theme*>(CXTPPaintManager::SetTheme(xtpThemeOffice2003));
    ASSERT_NE(office2003->m_clrStatusPaneBorder, GetSysColor(COLOR_BTNSHADOW));
    bar->Invalidate();
    bar->UpdateWindow();
    EXPECT_EQ(PixelAt(bar, frameTop.x, frameTop.y), office2003->m_clrStatusPaneBorder);
    // Without a paint manager, or with themed painting off, the framework paints.
    bar->EnableThemedPaint(FALSE);
    bar->Invalidate();
    bar->UpdateWindow();
    EXPECT_EQ(PixelAt(bar, 2, 2), GetSysColor(COLOR_BTNFACE));
}

TEST_F(StatusBarTest, PaneControlsFollowTheirPanes)
{
    CXTStatusBar* bar = Make(WS_OVERLAPPEDWINDOW);
    ASSERT_TRUE(bar);
    auto* inCaps = new CStatic;
    ASSERT_TRUE(inCaps->Create("C", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), bar, 1));
    auto* nowhere = new CStatic;
    ASSERT_TRUE(nowhere->Create("?", WS_CHILD | WS_VISIBLE, CRect(5, 5, 9, 9), bar, 2));
    EXPECT_TRUE(bar->AddControl(inCaps, ID_INDICATOR_CAPS));
    EXPECT_TRUE(bar->AddControl(nowhere, 4711)); // names no pane
    const int edge = GetSystemMetrics(SM_CXEDGE);
    CRect pane;
    bar->GetItemRect(1, &pane);
    pane.DeflateRect(edge, edge);
    CRect rc;
    inCaps->GetWindowRect(&rc);
    bar->ScreenToClient(&rc);
    EXPECT_EQ(rc, pane);
    nowhere->GetWindowRect(&rc);
    bar->ScreenToClient(&rc);
    EXPECT_EQ(rc, CRect(5, 5, 9, 9));
    // A new width moves them again.
    bar->GetParent()->SetWindowPos(nullptr, 0, 0, 500, 240, SWP_NOZORDER | SWP_NOACTIVATE);
    static_cast<CFrameWnd*>(bar->GetParent())->RecalcLayout();
    bar->GetItemRect(1, &pane);
    pane.DeflateRect(edge, edge);
    inCaps->GetWindowRect(&rc);
    bar->ScreenToClient(&rc);
    EXPECT_EQ(rc, pane);
}
