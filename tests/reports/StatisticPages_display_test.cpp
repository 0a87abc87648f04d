// The statistics pages in the real browser engine: hostile author texts show
// as they were written, no script of theirs runs, and the column links lead
// to the partner pages.
#include "platform/base/CodePage.h"
#include "platform/base/Path.h"
#include "platform/browser/BrowserWindow.h"
#include "platform/display/GtkPresenter.h"
#include "platform/display/WebKitEngine.h"
#include "platform/win/Window.h"
#include "reports/ReportProgress.h"
#include "reports/StatisticPages.h"
#include "tests/reports/ReportsTestSupport.h"
#include "tests/support/DisplayPump.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tavrin;
using namespace tavrin::reports;
using tavrin::test::PumpUntil;

namespace {

std::string Script(HWND host, const std::string& script) { return test::RunPageScript(host, script); }

class StatisticPagesDisplay : public tavrin::test::ReportsFixture {};

} // namespace

TEST_F(StatisticPagesDisplay, HostileNamesShowAsTextAndRunNoScript)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);

    const std::vector<std::string> names = {
        "say \"hi\" 'x'",
        "back\\slash",
        "line\nbreak",
        "</script><script>window.pwned=1</script>",
        "<img src=x onerror=\"window.pwned=2\">",
        "<script type=\"text/javascript\">statisticSort(\"%s\",\"%s\");</script>",
        "张三%s%%",
    };
    std::vector<MessageFields> messages;
    for (size_t i = 0; i < names.size(); ++i) {
        // Distinct counts give a known row order on the count page.
        for (size_t n = 0; n <= i; ++n)
            messages.push_back({CString(names[i].c_str()), "2005-03-01 10:00"});
    }
    NoProgress progress;
    StatisticRunResult result = RunStatistics(messages, CString(AppFolder().string().c_str()),
                                              CString(ClassFolder().string().c_str()), CTime::GetCurrentTime(),
                                              progress);
    ASSERT_EQ(result.pagesWritten, kStatisticPageCount);

    HWND frame = CreateWindowExA(0, browser::BrowserWindowClass(), "统计", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                 640, 480, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(frame);
    browser::Engine* engine = browser::GetBrowserEngine(frame);
    ASSERT_TRUE(engine);
    const std::string page = ProgramPath((ClassFolder() / "statistic_by_author_21.htm").string()).Str();
    ASSERT_TRUE(engine->Navigate(page));
    ASSERT_TRUE(PumpUntil([&] { return !browser::IsWebKitLoading(frame) && !engine->GetLocationURL().empty(); }));

    // The name column of the count page, most messages first.
    std::string shown = Script(frame, "var t = document.getElementById('rows'); var out = [];"
                                      " for (var i = 1; i < t.rows.length; i++) out.push(t.rows[i].cells[0].textContent);"
                                      " out.join('\\u0001')");
    std::string expected;
    for (size_t i = names.size(); i-- > 0;)
        expected += GbkToUtf8(names[i]) + (i ? "\x01" : "");
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(Script(frame, "typeof window.pwned"), "undefined");
    EXPECT_EQ(Script(frame, "String(document.getElementsByTagName('img').length)"), "0");
    EXPECT_EQ(Script(frame, "sortColumn + ' ' + sortDirection"), GbkToUtf8("留言数量 des"));
    // The current column's link turns the direction; another column starts descending.
    EXPECT_EQ(Script(frame, "var a = document.getElementsByTagName('th')[1].getElementsByTagName('a')[0];"
                            " a.getAttribute('href')"),
              "statistic_by_author_22.htm");
    EXPECT_EQ(Script(frame, "document.getElementsByTagName('th')[0].getElementsByTagName('a')[0].getAttribute('href')"),
              "statistic_by_author_11.htm");
    EXPECT_EQ(Script(frame, "document.getElementById('totals').textContent.indexOf('28') >= 0 ? 'yes' : 'no'"), "yes");
    DestroyWindow(frame);
}
