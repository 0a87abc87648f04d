// The statistics dialog as a real window: its caption, the status line and
// the full bar of a finished stage on screen while the worker waits, and the
// dialog closing itself afterwards.
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/mfc/WinApp.h"
#include "reports/StatisticDlg.h"
#include "tests/reports/ReportsTestSupport.h"
#include "tests/support/DisplayPump.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>

using namespace tavrin;

namespace {

class CShownStatisticDlg : public CStatisticDlg {
public:
    using CStatisticDlg::CStatisticDlg;
    display::GtkPresenter* presenter = nullptr;
    std::string caption;
    bool barShown = false;
    bool checked = false;

    void Release()
    {
        std::lock_guard<std::mutex> lock(m_mutexGate);
        m_release = true;
        m_cv.notify_all();
    }

protected:
    BOOL OnInitDialog() override
    {
        CStatisticDlg::OnInitDialog();
        ::SetTimer(m_hWnd, 1, 20, nullptr);
        return TRUE;
    }
    void ShowStatus(const CString& text) override
    {
        // Before the month stage the worker waits until the screen was checked.
        if (text == "开始统计每月留言数据...") {
            std::unique_lock<std::mutex> lock(m_mutexGate);
            m_cv.wait(lock, [&] { return m_release; });
        }
        CStatisticDlg::ShowStatus(text);
    }
    LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        CString status;
        GetDlgItemText(1073, status);
        if (checked || status != "开始生成每星期留言数据（按数量排序）..." || !presenter->GetNativeWindow(m_hWnd))
            return 0;
        presenter->Flush();
        std::unique_ptr<Surface> shot = presenter->CaptureWindow(m_hWnd);
        if (!shot)
            return 0;
        CRect bar;
        GetDlgItem(1072)->GetWindowRect(&bar);
        ScreenToClient(&bar);
        COLORREF background = shot->GetPixel(2, 2) & 0x00FFFFFF;
        COLORREF inside = shot->GetPixel(bar.right - 6, (bar.top + bar.bottom) / 2) & 0x00FFFFFF;
        if (inside == background)
            return 0;  // not painted yet
        // Relative: the tests run in the build tree.
        SavePng(*shot, "statistic-dialog.png");
        barShown = true;
        CString text;
        GetWindowText(text);
        caption = std::string(text.View());
        checked = true;
        Release();
        return 0;
    }
    DECLARE_MESSAGE_MAP()

private:
    std::mutex m_mutexGate;
    std::condition_variable m_cv;
    bool m_release = false;
};
BEGIN_MESSAGE_MAP(CShownStatisticDlg, CStatisticDlg)
    ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

class StatisticDlgDisplay : public tavrin::test::ReportsFixture {};

} // namespace

TEST_F(StatisticDlgDisplay, ShowsItsProgressAndClosesByItself)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);
    CWinApp app;
    for (int i = 0; i < 40; ++i)
        AddMessage(i % 3 ? "甲" : "乙", i % 2 ? "2005-03-01" : "2005-05-20");
    CShownStatisticDlg dlg(nullptr, &m_class);
    dlg.presenter = presenter;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    dlg.Release();
    EXPECT_TRUE(dlg.barShown);
    EXPECT_EQ(dlg.caption, "留言统计");
    EXPECT_FALSE(dlg.GetPageToShow().IsEmpty());
}
