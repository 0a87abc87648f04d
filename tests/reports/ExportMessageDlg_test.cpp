// The export dialog headless: its opening state, the plan rebuilt as options
// change, the equal-pages choice, the empty-plan question, an export through
// the save dialog with its final question, and what a running export refuses.
#include "platform/base/Clock.h"
#include "platform/base/CodePage.h"
#include "platform/base/Path.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/FileDialog.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Shell.h"
#include "platform/win/User.h"
#include "reports/ExportMessageDlg.h"
#include "reports/res/ReportsIds.h"
#include "tests/reports/ReportsTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tavrin;
using namespace tavrin::reports;
namespace fs = std::filesystem;

namespace {

struct RecordingLauncher : win::ShellLauncher {
    std::vector<win::ShellLaunch> launches;
    bool Launch(const win::ShellLaunch& launch) override
    {
        launches.push_back(launch);
        return true;
    }
};

class ExportMessageDlgTest : public tavrin::test::ReportsFixture {
protected:
    void SetUp() override
    {
        ReportsFixture::SetUp();
        win::ClearMessageBoxAnswers();
        win::TakeMessageBoxLog();
        win::ClearFileDialogAnswers();
        win::TakeFileDialogLog();
        win::SetShellLauncher(&m_launcher);
    }
    void TearDown() override
    {
        if (m_dlg.m_hWnd)
            m_dlg.DestroyWindow();
        win::SetShellLauncher(nullptr);
        win::SetMessageBoxPresenter(nullptr);
        win::ClearMessageBoxAnswers();
        win::ClearFileDialogAnswers();
        ReportsFixture::TearDown();
    }
    void Open()
    {
        m_dlg.SetSchoolClass(&m_class);
        ASSERT_TRUE(m_dlg.Create(IDD_EXPORT_MESSAGE));
    }
    std::string Text(int id)
    {
        CString text;
        m_dlg.GetDlgItemText(id, text);
        return std::string(text.View());
    }
    // The control's own visibility (the dialog itself is never shown here).
    bool Shown(int id) { return (::GetWindowLongA(::GetDlgItem(m_dlg.m_hWnd, id), GWL_STYLE) & WS_VISIBLE) != 0; }
    void Click(int id) { ::SendMessageA(::GetDlgItem(m_dlg.m_hWnd, id), BM_CLICK, 0, 0); }
    // Serves the window thread until the export has ended; its waits run on
    // the real clock.
    void PumpUntilIdle()
    {
        clock::UseReal();
        MSG msg;
        for (int i = 0; i < 200000 && (m_dlg.IsExporting() || ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)); ++i) {
            if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&msg);
            else
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    clock::ManualScope m_clock{CTime(2005, 3, 15, 12, 0, 0).GetTime()};
    CWinApp m_app;
    RecordingLauncher m_launcher;
    CExportMessageDlg m_dlg;
};

} // namespace

TEST_F(ExportMessageDlgTest, OpensOnThisMonthByMonthWithBothExtras)
{
    AddMessage("甲", "2005-03-01 08:00");
    AddMessage("乙", "2005-03-15 23:00");
    AddMessage("甲", "2005-02-28 23:00");
    Open();
    EXPECT_EQ(m_dlg.m_nFilter, kFilterTime);
    EXPECT_EQ(m_dlg.m_nPaging, kPagingMonth);
    EXPECT_TRUE(m_dlg.m_bExportAlbum);
    EXPECT_TRUE(m_dlg.m_bExportContacts);
    EXPECT_EQ(std::string(m_dlg.m_timeFrom.Format("%Y-%m-%d").View()), "2005-03-01");
    EXPECT_EQ(std::string(m_dlg.m_timeTo.Format("%Y-%m-%d").View()), "2005-03-15");
    EXPECT_EQ(Text(IDC_EXPORT_MESSAGE_COUNT), "共有 2 条留言");
    EXPECT_EQ(Text(IDC_EXPORT_PAGE_TOTAL), "共有 1 页留言");
    EXPECT_FALSE(Shown(IDC_EXPORT_PROGRESS));
    EXPECT_FALSE(Shown(IDC_EXPORT_PHASE));
}

TEST_F(ExportMessageDlgTest, EveryChangeRebuildsThePlan)
{
    for (int i = 0; i < 10; ++i)
        AddMessage(i % 2 ? "甲" : "乙", "2005-03-0" + std::to_string(1 + i % 9));
    Open();
    Click(IDC_EXPORT_FILTER_AUTHOR);
    m_dlg.SetDlgItemText(IDC_EXPORT_AUTHOR, "甲");
    EXPECT_EQ(Text(IDC_EXPORT_MESSAGE_COUNT), "共有 5 条留言");
    Click(IDC_EXPORT_PAGE_DAY);
    EXPECT_EQ(Text(IDC_EXPORT_PAGE_TOTAL), "共有 5 页留言");
    // Choosing equal pages with an empty count writes 1.
    Click(IDC_EXPORT_PAGE_EQUAL);
    EXPECT_EQ(Text(IDC_EXPORT_PAGE_COUNT), "1");
    EXPECT_EQ(Text(IDC_EXPORT_PAGE_TOTAL), "共有 1 页留言");
    m_dlg.SetDlgItemText(IDC_EXPORT_PAGE_COUNT, "3");
    EXPECT_EQ(Text(IDC_EXPORT_PAGE_TOTAL), "共有 3 页留言");
    ASSERT_EQ(m_dlg.GetPlan().pages.size(), 3u);
    EXPECT_EQ(m_dlg.GetPlan().pages[0].custoIds.size(), 2u);
    // The dates of the filter by time.
    Click(IDC_EXPORT_FILTER_TIME);
    EXPECT_EQ(Text(IDC_EXPORT_MESSAGE_COUNT), "共有 10 条留言");
}

TEST_F(ExportMessageDlgTest, TheBarTakesPlansAbove65535Messages)
{
    for (int i = 0; i < 70000; ++i)
        AddMessage("甲", "2005-03-01");
    Open();
    EXPECT_EQ(Text(IDC_EXPORT_MESSAGE_COUNT), "共有 70000 条留言");
    int lower = -1, upper = -1;
    m_dlg.m_progress.GetRange(lower, upper);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 70000);
}

TEST_F(ExportMessageDlgTest, AnEmptyPlanAsksFirstAndNoStopsThere)
{
    Open();
    win::QueueMessageBoxAnswer(IDNO);
    Click(IDC_EXPORT_START);
    auto boxes = win::TakeMessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "你没有选择任何留言！继续吗？");
    EXPECT_EQ(boxes[0].caption, "警告");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_TRUE(win::TakeFileDialogLog().empty());
    EXPECT_FALSE(m_dlg.IsExporting());
    // Cancelling the save dialog leaves everything as it was.
    win::QueueMessageBoxAnswer(IDYES);
    win::QueueFileDialogAnswer("");
    Click(IDC_EXPORT_START);
    auto dialogs = win::TakeFileDialogLog();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].name, "20050301_20050315");
    EXPECT_EQ(dialogs[0].defaultExtension, "htm");
    EXPECT_TRUE(dialogs[0].save);
    EXPECT_FALSE(m_dlg.IsExporting());
}

TEST_F(ExportMessageDlgTest, AnExportRunsThroughItsFinalQuestion)
{
    AddMessage("甲", "2005-03-01 08:00", "第一条");
    AddMessage("乙", "2005-03-15 23:00", "第二条");
    AddPicture("p1", "照片");
    AddContact("张三");
    Open();
    Click(IDC_EXPORT_FILTER_AUTHOR);
    m_dlg.SetDlgItemText(IDC_EXPORT_AUTHOR, "甲");
    const std::string index = (m_temp.Path() / "out").string() + "\\甲.htm";
    fs::create_directories(m_temp.Path() / "out");
    win::QueueFileDialogAnswer(index);
    struct Seen {
        bool exportEnabled = true, quitEnabled = true, barShown = false, phaseShown = false, stillExporting = false;
        std::string text, caption;
        bool openAfterClose = false;
    } seen;
    int answer = IDNO;
    // The final question, shown on the window thread while the worker waits.
    win::SetMessageBoxPresenter([&](HWND, const std::string& text, const std::string& caption, UINT) {
        HWND h = m_dlg.m_hWnd;
        seen.text = text;
        seen.caption = caption;
        seen.exportEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_EXPORT_START));
        seen.quitEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_EXPORT_QUIT));
        seen.barShown = Shown(IDC_EXPORT_PROGRESS);
        seen.phaseShown = Shown(IDC_EXPORT_PHASE);
        // Closing and a second export are refused meanwhile.
        ::SendMessageA(h, WM_CLOSE, 0, 0);
        ::SendMessageA(h, WM_COMMAND, IDC_EXPORT_QUIT, 0);
        ::SendMessageA(h, WM_COMMAND, IDC_EXPORT_START, 0);
        seen.openAfterClose = ::IsWindow(h) != FALSE;
        seen.stillExporting = m_dlg.IsExporting();
        return answer;
    });
    Click(IDC_EXPORT_START);
    PumpUntilIdle();
    EXPECT_EQ(seen.text, "导出数据完成！马上打开查看吗？");
    EXPECT_EQ(seen.caption, "提示");
    EXPECT_FALSE(seen.exportEnabled);
    EXPECT_FALSE(seen.quitEnabled);
    EXPECT_TRUE(seen.barShown);
    EXPECT_TRUE(seen.phaseShown);
    EXPECT_TRUE(seen.openAfterClose);
    EXPECT_TRUE(seen.stillExporting);
    EXPECT_TRUE(win::TakeFileDialogLog().size() == 1) << "one save dialog: the second click was refused";
    // Answered No: the buttons come back, nothing is opened.
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(m_dlg.m_hWnd, IDC_EXPORT_START)));
    EXPECT_FALSE(Shown(IDC_EXPORT_PROGRESS));
    EXPECT_FALSE(Shown(IDC_EXPORT_PHASE));
    EXPECT_TRUE(m_launcher.launches.empty());
    EXPECT_TRUE(fs::exists(m_temp.Path() / "out" / "tavrin_export" / "pictures" / "p1.htm"));
    std::string written = test::TempDir::Read(m_temp.Path() / "out" / tavrin::GbkToUtf8("甲.htm"));
    EXPECT_NE(written.find("\"第一中学-三班\",\"2005年03月\""), std::string::npos);

    // Yes opens the index page with the desktop.
    answer = IDYES;
    win::QueueFileDialogAnswer(index);
    Click(IDC_EXPORT_START);
    PumpUntilIdle();
    ASSERT_EQ(m_launcher.launches.size(), 1u);
    EXPECT_EQ(m_launcher.launches[0].target, tavrin::NativePath(index));
    // Once idle, the close box ends the dialog.
    ::SendMessageA(m_dlg.m_hWnd, WM_CLOSE, 0, 0);
}

TEST_F(ExportMessageDlgTest, AFolderUnderTheStylesIsRefused)
{
    AddMessage("甲", "2005-03-01 08:00");
    Open();
    win::QueueFileDialogAnswer((AppFolder() / "styles").string() + "\\out.htm");
    win::QueueMessageBoxAnswer(IDOK);
    Click(IDC_EXPORT_START);
    PumpUntilIdle();
    auto boxes = win::TakeMessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "错误");
    EXPECT_FALSE(fs::exists(AppFolder() / "styles" / "tavrin_export"));
    EXPECT_FALSE(fs::exists(AppFolder() / "styles" / "out.htm"));
}
