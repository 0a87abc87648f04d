// The splitter and the status bar in a frame on a real display: bars dragged
// with the desktop's mouse, live or on release; the Office 2003 bar colour;
// the themed status bar, its grip and a theme switch, as the desktop shows them.
#include "tests/toolkit/StatusPaint.h"
#include "tests/toolkit/TestViews.h"
#include "tests/toolkit/ToolkitTestSupport.h"

#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/gdi/Surface.h"
#include "platform/mfc/Document.h"
#include "platform/mfc/FrameWnd.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/User.h"
#include "tests/support/DisplayPump.h"
#include "toolkit/controls/XTSplitterWnd.h"
#include "toolkit/controls/XTStatusBar.h"
#include "toolkit/controls/XTThemeManager.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tavrin;
using test::PumpUntil;

namespace {

const UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

using test::WhiteView;

class Frame : public CFrameWnd {
public:
    CXTSplitterWnd splitter;
    CXTStatusBar status;
    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) override
    {
        return splitter.CreateStatic(this, 1, 2) &&
               splitter.CreateView(0, 0, RUNTIME_CLASS(WhiteView), CSize(150, 100), pContext) &&
               splitter.CreateView(0, 1, RUNTIME_CLASS(WhiteView), CSize(150, 100), pContext);
    }
};

class FrameParts : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        presenter = display::StartGtkPresenter();
        ASSERT_TRUE(presenter);
    }
    void TearDown() override
    {
        if (frame && IsWindow(hwnd)) {
            frame->DestroyWindow();
            presenter->WindowDestroyed(hwnd);
        }
        CXTPPaintManager::SetCustomTheme(nullptr);
        XTGetThemeManager()->SetTheme(xtThemeDefault);
        test::FakeThemeLibrary::Uninstall();
        win::ResetSystemProfile();
    }
    void Make(DWORD splitterStyle)
    {
        frame = new Frame;
        ASSERT_TRUE(frame->Create(nullptr, "分割", WS_OVERLAPPEDWINDOW, CRect(100, 100, 520, 400)));
        hwnd = frame->m_hWnd;
        ASSERT_TRUE(frame->status.CreateEx(frame, SBARS_SIZEGRIP));
        ASSERT_TRUE(frame->status.SetIndicators(kIndicators, 4));
        frame->splitter.SetSplitterStyle(splitterStyle);
        frame->ShowWindow(SW_SHOW);
        frame->RecalcLayout();
        SetForegroundWindow(hwnd);
        ASSERT_TRUE(PumpUntil([&] { return presenter->GetNativeWindow(hwnd) != 0 && IsWindowVisible(hwnd); }, 5000));
        PumpUntil([] { return false; }, 300);
    }
    COLORREF Shown(CWnd* wnd, int x, int y)
    {
        presenter->Flush();
        auto shot = presenter->CaptureWindow(hwnd);
        POINT pt{x, y};
        MapWindowPoints(wnd->m_hWnd, hwnd, &pt, 1);
        if (!shot || pt.x < 0 || pt.y < 0 || pt.x >= shot->Width() || pt.y >= shot->Height())
            return 0xFFFFFFFF;
        return ColorFromPixel(shot->GetPixel(pt.x, pt.y)) & 0xFFFFFF;
    }
    // How many pixels of wnd's rect rc the screen shows in clr, from one screenshot.
    int CountShown(CWnd* wnd, const CRect& rc, COLORREF clr)
    {
        presenter->Flush();
        auto shot = presenter->CaptureWindow(hwnd);
        if (!shot)
            return 0;
        int n = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x) {
                POINT pt{x, y};
                MapWindowPoints(wnd->m_hWnd, hwnd, &pt, 1);
                if (pt.x >= 0 && pt.y >= 0 && pt.x < shot->Width() && pt.y < shot->Height())
                    n += (ColorFromPixel(shot->GetPixel(pt.x, pt.y)) & 0xFFFFFF) == clr;
            }
        return n;
    }
    POINT InFrame(CWnd* wnd, int x, int y)
    {
        POINT pt{x, y};
        MapWindowPoints(wnd->m_hWnd, hwnd, &pt, 1);
        return pt;
    }
    int LeftWidth()
    {
        CRect rc;
        frame->splitter.GetPane(0, 0)->GetWindowRect(&rc);
        return rc.Width();
    }
    void Save(const char* name)
    {
        presenter->Flush();
        if (auto shot = presenter->CaptureWindow(hwnd))
            SavePng(*shot, name);
    }

    display::GtkPresenter* presenter = nullptr;
    Frame* frame = nullptr;
    HWND hwnd = nullptr;
};

} // namespace

TEST_F(FrameParts, BarDraggedWithTheRealMouse)
{
    for (BOOL full : {FALSE, TRUE}) {
        SCOPED_TRACE(full);
        win::SetSystemParameter(SPI_GETDRAGFULLWINDOWS, full);
        Make(0);
        ASSERT_EQ(frame->splitter.IsFullDrag(), full);
        const int before = LeftWidth();
        CRect rcPane;
        frame->splitter.GetPane(0, 0)->GetWindowRect(&rcPane);
        frame->splitter.ScreenToClient(&rcPane);
        const POINT bar = InFrame(&frame->splitter, rcPane.right + 3, rcPane.top + 40);
        ASSERT_TRUE(presenter->SimulateButton(hwnd, bar.x, bar.y, 1, true));
        PumpUntil([&] { return GetCapture() == frame->splitter.m_hWnd; }, 3000);
        ASSERT_TRUE(presenter->SimulatePointer(hwnd, bar.x + 60, bar.y));
        // Live: the pane follows before the release; else it waits for it.
        const bool moved = PumpUntil([&] { return LeftWidth() == before + 60; }, full ? 5000 : 600);
        EXPECT_EQ(moved, full != FALSE);
        if (!full) {
            // The inverted 4-pixel strip shows where the bar goes.
            const POINT at{bar.x + 60 + 1, bar.y};
            POINT client = at;
            MapWindowPoints(hwnd, frame->splitter.m_hWnd, &client, 1);
            EXPECT_TRUE(PumpUntil([&] {
                return Shown(&frame->splitter, client.x, client.y) != GetSysColor(COLOR_BTNFACE);
            }, 3000));
            Save("splitter-tracker.png");
        }
        ASSERT_TRUE(presenter->SimulateButton(hwnd, bar.x + 60, bar.y, 1, false));
        EXPECT_TRUE(PumpUntil([&] { return LeftWidth() == before + 60 && GetCapture() == nullptr; }, 5000))
            << LeftWidth();
        // The panes show white up to the bar's new place.
        EXPECT_TRUE(PumpUntil([&] {
            return Shown(frame->splitter.GetPane(0, 0), before + 50, 30) == RGB(255, 255, 255);
        }, 3000));
        frame->DestroyWindow();
        presenter->WindowDestroyed(hwnd);
        frame = nullptr;
    }
}

TEST_F(FrameParts, Office2003BarColourOnScreen)
{
    test::FakeThemeLibrary::Install();
    test::FakeThemeLibrary::fileName = L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles";
    test::FakeThemeLibrary::colorName = L"HomeStead";
    Make(XT_SPLIT_NOFULLDRAG);
    XTGetThemeManager()->SetTheme(xtThemeOffice2003);
    frame->splitter.Invalidate();
    CXTSplitterTheme* theme = frame->splitter.GetSplitterTheme();
    ASSERT_TRUE(theme);
    EXPECT_EQ(theme->m_clrSplitterFace, RGB(226, 231, 191)); // olive
    CRect rcPane;
    frame->splitter.GetPane(0, 0)->GetWindowRect(&rcPane);
    frame->splitter.ScreenToClient(&rcPane);
    EXPECT_TRUE(PumpUntil([&] {
        return Shown(&frame->splitter, rcPane.right + 3, rcPane.top + 40) == theme->m_clrSplitterFace;
    }, 5000));
    Save("splitter-office2003.png");
}

TEST_F(FrameParts, ThemedStatusBarWithItsGripAndAThemeSwitch)
{
    auto* green = new test::StatusPaint(RGB(20, 140, 60));
    CXTPPaintManager::SetCustomTheme(green);
    Make(XT_SPLIT_NOFULLDRAG);
    CRect rc;
    frame->status.GetClientRect(&rc);
    EXPECT_GE(rc.Height(), 20);
    EXPECT_TRUE(PumpUntil([&] { return Shown(&frame->status, 3, 3) == RGB(20, 140, 60); }, 5000));
    // The grip's shadow lines in the corner.
    EXPECT_TRUE(PumpUntil([&] {
        const CRect corner(rc.right - 14, rc.bottom - 14, rc.right, rc.bottom);
        return CountShown(&frame->status, corner, GetSysColor(COLOR_BTNSHADOW)) > 8;
    }, 5000));
    Save("status-themed.png");
    // Maximised: no grip.
    frame->ShowWindow(SW_MAXIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return frame->IsZoomed() != FALSE; }, 5000));
    PumpUntil([] { return false; }, 300);
    frame->status.GetClientRect(&rc);
    EXPECT_TRUE(PumpUntil([&] {
        const CRect corner(rc.right - 14, rc.bottom - 14, rc.right, rc.bottom);
        return CountShown(&frame->status, corner, GetSysColor(COLOR_BTNSHADOW)) == 0;
    }, 5000));
    // Another theme: the bar shows it at its next paint.
    CXTPPaintManager::SetCustomTheme(new test::StatusPaint(RGB(150, 20, 20)));
    frame->status.Invalidate();
    EXPECT_TRUE(PumpUntil([&] { return Shown(&frame->status, 3, 3) == RGB(150, 20, 20); }, 5000));
}
