// The export dialog as a real window: while the final question is open, the
// bar and the phase label show and both buttons are disabled (screenshot);
// answered No, they come back.
#include "platform/base/CodePage.h"
#include "platform/base/Path.h"
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/FileDialog.h"
#include "platform/win/MessageBox.h"
#include "reports/ExportMessageDlg.h"
#include "reports/res/ReportsIds.h"
#include "tests/reports/ReportsTestSupport.h"
#include "tests/support/DisplayPump.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace tavrin;

namespace {

class CShownExportDlg : public CExportMessageDlg {
public:
    display::GtkPresenter* presenter = nullptr;
    std::string indexPath;
    int started = 0;

protected:
    BOOL OnInitDialog() override
    {
        CExportMessageDlg::OnInitDialog();
        ::SetTimer(m_hWnd, 1, 20, nullptr);
        return TRUE;
    }
    LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        // Once on screen, export: the save dialog is answered with a path.
        if (started == 0 && presenter->GetNativeWindow(m_hWnd)) {
            started = 1;
            win::QueueFileDialogAnswer(indexPath);
            PostMessage(WM_COMMAND, IDC_EXPORT_START);
        } else if (started == 1 && !IsExporting() && m_btnExport.IsWindowEnabled() && m_plan.messageCount > 0 &&
                   std::filesystem::exists(NativePath(indexPath.c_str()))) {
            started = 2;
            PostMessage(WM_CLOSE);
        }
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CShownExportDlg, CExportMessageDlg)
    ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

class ExportMessageDlgDisplay : public tavrin::test::ReportsFixture {};

bool Differs(const Surface& shot, const RECT& r, COLORREF background)
{
    for (int y = r.top + 1; y < r.bottom - 1; ++y)
        for (int x = r.left + 1; x < r.right - 1; ++x)
            if ((shot.GetPixel(x, y) & 0x00FFFFFF) != background)
                return true;
    return false;
}

} // namespace

TEST_F(ExportMessageDlgDisplay, TheFinalQuestionShowsTheBarAndDisablesTheButtons)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);
    CWinApp app;
    CTime now = CTime::GetCurrentTime();
    for (int i = 0; i < 30; ++i)
        AddMessage("甲", std::string(now.Format("%Y-%m-01").View()), "留言" + std::to_string(i));
    // The last phase, contacts, leaves the bar full.
    AddContact("张三");
    AddContact("李四");
    std::filesystem::create_directories(m_temp.Path() / "out");
    CShownExportDlg dlg;
    dlg.presenter = presenter;
    dlg.indexPath = (m_temp.Path() / "out").string() + "\\index.htm";
    dlg.SetSchoolClass(&m_class);
    struct Seen {
        bool asked = false, exportEnabled = true, quitEnabled = true, barPainted = false, phasePainted = false;
    } seen;
    win::SetMessageBoxPresenter([&](HWND, const std::string&, const std::string&, UINT) {
        HWND h = dlg.m_hWnd;
        seen.asked = true;
        seen.exportEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_EXPORT_START));
        seen.quitEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_EXPORT_QUIT));
        // The screen while the question is open.
        std::unique_ptr<Surface> shot;
        RECT bar{}, phase{};
        auto clientRect = [&](int id, RECT& r) {
            ::GetWindowRect(::GetDlgItem(h, id), &r);
            POINT a{r.left, r.top}, b{r.right, r.bottom};
            ::ScreenToClient(h, &a);
            ::ScreenToClient(h, &b);
            r = {a.x, a.y, b.x, b.y};
        };
        clientRect(IDC_EXPORT_PROGRESS, bar);
        clientRect(IDC_EXPORT_PHASE, phase);
        test::PumpUntil([&] {
            presenter->Flush();
            shot = presenter->CaptureWindow(h);
            if (!shot)
                return false;
            COLORREF background = shot->GetPixel(2, 2) & 0x00FFFFFF;
            seen.barPainted = Differs(*shot, bar, background);
            seen.phasePainted = Differs(*shot, phase, background);
            return seen.barPainted && seen.phasePainted;
        }, 5000);
        if (shot)
            SavePng(*shot, "export-dialog-question.png");
        return IDNO;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    win::SetMessageBoxPresenter(nullptr);
    EXPECT_TRUE(seen.asked);
    EXPECT_FALSE(seen.exportEnabled);
    EXPECT_FALSE(seen.quitEnabled);
    EXPECT_TRUE(seen.barPainted);
    EXPECT_TRUE(seen.phasePainted);
    EXPECT_EQ(dlg.started, 2);
}
