// The statistics dialog on the headless display: it closes itself after a
// run, stays open when no page was written, ignores Enter and Esc, and a
// close request at any moment of the run neither hangs nor joins early.
#include "platform/mfc/WinApp.h"
#include "platform/win/User.h"
#include "reports/StatisticDlg.h"
#include "tests/reports/ReportsTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

using namespace tavrin::reports;

namespace {

class Gate {
public:
    void Open()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_cv.notify_all();
    }
    void Wait()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [&] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_open = false;
};

// Records what the worker shows and lets a test act at a chosen status.
class CProbeStatisticDlg : public CStatisticDlg {
public:
    using CStatisticDlg::CStatisticDlg;

    std::function<void(CProbeStatisticDlg&)> onInit;  // window thread, after the worker started
    std::function<void(CProbeStatisticDlg&)> onIdle;  // window thread, whenever the modal loop idles
    std::function<void()> onWorkerStart;                     // worker, before the run lock
    std::function<void(CProbeStatisticDlg&, const std::string&)> onStatus;  // worker, before each status
    std::atomic<int> closes{0};
    Gate closeHandled;  // opens once a close request has been handled
    std::vector<std::string> statuses;
    int largestRange = 0;

    std::string StatusText()
    {
        CString text;
        GetDlgItemText(1073, text);
        return std::string(text.View());
    }
    HWND Handle() const { return m_hWnd; }

protected:
    BOOL OnInitDialog() override
    {
        CStatisticDlg::OnInitDialog();
        if (onInit)
            onInit(*this);
        return TRUE;
    }
    void OnWorkerStart() override
    {
        if (onWorkerStart)
            onWorkerStart();
    }
    void ShowStatus(const CString& text) override
    {
        if (onStatus)
            onStatus(*this, std::string(text.View()));
        statuses.emplace_back(text.View());
        CStatisticDlg::ShowStatus(text);
    }
    void ShowRange(int upper) override
    {
        CStatisticDlg::ShowRange(upper);
        int lower = 0, shown = 0;
        m_progress.GetRange(lower, shown);
        largestRange = std::max(largestRange, shown);
    }
    LRESULT OnProbeClose(WPARAM, LPARAM)
    {
        ++closes;
        CStatisticDlg::OnClose();
        closeHandled.Open();
        return 0;
    }
    LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        if (onIdle)
            onIdle(*this);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CProbeStatisticDlg, CStatisticDlg)
    ON_MESSAGE(WM_CLOSE, OnProbeClose)
    ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

class StatisticDlgTest : public tavrin::test::ReportsFixture {
protected:
    void AddMessages(int n)
    {
        for (int i = 0; i < n; ++i)
            AddMessage(i % 2 ? "甲" : "乙", i % 3 ? "2005-03-01 10:00" : "2005-04-12 08:00");
    }
    CWinApp m_app;
};

const char kNoPage[] = "没有写出任何统计页面。";

} // namespace

TEST_F(StatisticDlgTest, ARunWritesTheFourteenPagesAndClosesByItself)
{
    AddMessages(5);
    CProbeStatisticDlg dlg(nullptr, &m_class);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.statuses.size(), 11u);
    EXPECT_EQ(std::string(dlg.GetPageToShow().View()),
              (AppFolder() / "accounts" / "acct").string() + "\\class1\\statistic_by_author_11.htm");
    EXPECT_FALSE(ReadClassFile("statistic_by_month_22.htm").empty());
}

TEST_F(StatisticDlgTest, WithoutMessagesOrClassItClosesAtOnceAndWritesNothing)
{
    {
        // Never shown: destroying it waits for no worker.
        CStatisticDlg unused(nullptr, &m_class);
    }
    for (bool withClass : {true, false}) {
        CProbeStatisticDlg dlg(nullptr, withClass ? &m_class : nullptr);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_TRUE(dlg.statuses.empty());
        EXPECT_TRUE(dlg.GetPageToShow().IsEmpty());
        EXPECT_TRUE(std::filesystem::is_empty(ClassFolder()));
    }
}

TEST_F(StatisticDlgTest, NoPageWrittenKeepsItOpenSayingSoAndNoOlderPageIsShown)
{
    AddMessages(3);
    m_temp.Write("app/accounts/acct/class1/statistic_by_author_11.htm", "an older run");
    RemoveTemplate("statistic_by_author.htm");
    CProbeStatisticDlg dlg(nullptr, &m_class);
    bool sawMessage = false;
    // A ticking timer keeps the modal loop coming back to idle.
    dlg.onInit = [](CProbeStatisticDlg& d) { ::SetTimer(d.Handle(), 1, 5, nullptr); };
    // Closed only once it says that no page was written (the close box after the run).
    dlg.onIdle = [&](CProbeStatisticDlg& d) {
        if (!sawMessage && d.StatusText() == kNoPage) {
            sawMessage = true;
            d.PostMessage(WM_CLOSE);
        }
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(sawMessage);
    EXPECT_TRUE(dlg.GetPageToShow().IsEmpty());
    EXPECT_EQ(ReadClassFile("statistic_by_author_11.htm"), "an older run");
}

TEST_F(StatisticDlgTest, EnterAndEscDoNothingWhileItRuns)
{
    AddMessages(4);
    CProbeStatisticDlg dlg(nullptr, &m_class);
    dlg.onStatus = [&](CProbeStatisticDlg& d, const std::string& status) {
        if (status != "开始统计每月留言数据...")
            return;
        // Sent from the worker: handled on the window thread before it goes on.
        ::SendMessageA(d.Handle(), WM_COMMAND, IDOK, 0);
        ::SendMessageA(d.Handle(), WM_COMMAND, IDCANCEL, 0);
        ::SendMessageA(d.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        ::SendMessageA(d.Handle(), WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(::IsWindow(d.Handle()));
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.statuses.size(), 11u);
}

// A close request before the worker has taken its lock and one during the
// run: the dialog ends only once the worker has returned, with every page
// written, and nothing waits for a worker that still sends.
TEST_F(StatisticDlgTest, CloseRequestsBeforeAndDuringTheRun)
{
    AddMessages(6);
    for (bool beforeStart : {true, false}) {
        SCOPED_TRACE(beforeStart ? "before the worker starts" : "during the run");
        CProbeStatisticDlg dlg(nullptr, &m_class);
        if (beforeStart) {
            dlg.onInit = [](CProbeStatisticDlg& d) { d.PostMessage(WM_CLOSE); };
            dlg.onWorkerStart = [&] { dlg.closeHandled.Wait(); };
        } else {
            dlg.onStatus = [](CProbeStatisticDlg& d, const std::string& status) {
                if (status == "开始生成每星期留言数据（按星期排序）...") {
                    d.PostMessage(WM_CLOSE);
                    d.closeHandled.Wait();
                }
            };
        }
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.statuses.size(), 11u);
        EXPECT_GE(dlg.closes.load(), 2);
        EXPECT_FALSE(dlg.GetPageToShow().IsEmpty());
    }
}

TEST_F(StatisticDlgTest, TheBarTakesCountsAbove65535)
{
    auto* store = m_class.GetMessageStore();
    for (int i = 0; i < 70000; ++i) {
        auto* item = new CMessageItem;
        item->m_user = i % 2 ? "a" : "b";
        item->m_time = "2005-03-01";
        store->AddItem(item);
    }
    CProbeStatisticDlg dlg(nullptr, &m_class);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.largestRange, 70000);
}
