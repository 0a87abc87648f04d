// A framework application on a real display: its loop runs, a real click
// reaches the main window's message map, the idle pass updates a child's
// state from an update handler, and what the paint handler drew is on screen.
#include "platform/display/GtkPresenter.h"
#include "platform/mfc/WinApp.h"
#include "tests/support/DisplayPump.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

using namespace tavrin;

namespace {

constexpr UINT kChildId = 500;

class CDisplayMain : public CWnd {
public:
    CWnd m_child;
    CPoint m_click{-1, -1};
    int m_idlePasses = 0;
    BOOL m_childWasDisabled = FALSE;

    void OnPaint()
    {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, RGB(0x20, 0x60, 0xA0));
        dc.FillSolidRect(10, 10, 40, 30, RGB(0xF0, 0xC0, 0x00));
    }
    void OnLButtonDown(UINT, CPoint point) { m_click = point; }
    void OnTimer(UINT_PTR) { PostMessage(WM_CLOSE); } // a lost click fails the test instead of hanging it
    LRESULT OnIdleUpdateCmdUI(WPARAM, LPARAM)
    {
        ++m_idlePasses;
        UpdateDialogControls(this, TRUE);
        if (m_click.x >= 0 && !m_child.IsWindowEnabled()) {
            m_childWasDisabled = TRUE;
            PostMessage(WM_CLOSE);
        }
        return 0;
    }
    void OnUpdateChild(CCmdUI* ui) { ui->Enable(m_click.x < 0); }
    void OnChildCommand() {}
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDisplayMain, CWnd)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_TIMER()
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_UPDATE_COMMAND_UI(kChildId, OnUpdateChild)
    ON_COMMAND(kChildId, OnChildCommand)
END_MESSAGE_MAP()

class CDisplayApp : public CWinApp {
public:
    CDisplayMain m_main;
    BOOL InitInstance() override
    {
        if (!m_main.CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), "框架测试", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60,
                             320, 200, nullptr, nullptr))
            return FALSE;
        if (!m_main.m_child.Create(nullptr, "", WS_VISIBLE, CRect(200, 100, 240, 120), &m_main, kChildId))
            return FALSE;
        m_pMainWnd = &m_main;
        m_main.SetTimer(1, 20000);
        return TRUE;
    }
};

} // namespace

TEST(FrameworkDisplay, LoopClickAndIdleUpdateOnARealWindow)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);
    CDisplayApp app;
    ASSERT_TRUE(app.InitInstance());
    HWND frame = app.m_main.m_hWnd;

    std::unique_ptr<Surface> shot;
    bool painted = test::PumpUntil([&] {
        presenter->Flush();
        shot = presenter->CaptureWindow(frame);
        return shot && (shot->GetPixel(20, 20) & 0x00FFFFFF) == 0x00F0C000u;
    });
    ASSERT_TRUE(painted);
    EXPECT_EQ(shot->GetPixel(100, 100) & 0x00FFFFFF, 0x002060A0u);
    EXPECT_TRUE(app.m_main.m_child.IsWindowEnabled());

    ASSERT_TRUE(presenter->SimulateClick(frame, 70, 50, 1));
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.m_main.m_click, CPoint(70, 50));
    EXPECT_TRUE(app.m_main.m_childWasDisabled) << "the idle pass ran the update handler after the click";
    EXPECT_GT(app.m_main.m_idlePasses, 0);
    EXPECT_EQ(app.m_main.m_hWnd, nullptr);
}
