// The statistics pages: fourteen files filled from the three templates of the
// styles folder, their blocks, their row orders, and what a broken template
// or an unwritable folder leaves.
#include "platform/base/CodePage.h"
#include "reports/ReportProgress.h"
#include "reports/StatisticPages.h"
#include "tests/reports/ReportsTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tavrin::reports;
using tavrin::test::TempDir;

namespace {

struct Recorder : ReportProgress {
    std::vector<std::string> statuses;
    std::vector<int> ranges;
    int lastPos = -1;
    void SetStatus(const CString& text) override { statuses.emplace_back(text.View()); }
    void SetRange(int upper) override { ranges.push_back(upper); }
    void SetPos(int pos) override { lastPos = pos; }
};

class StatisticPagesTest : public tavrin::test::ReportsFixture {
protected:
    StatisticRunResult Run(const std::vector<MessageFields>& messages)
    {
        return RunStatistics(messages, CString(AppFolder().string().c_str()),
                             CString(ClassFolder().string().c_str()), CTime(2007, 6, 15, 14, 30, 0), m_progress);
    }
    int Count(const std::string& text, const std::string& what)
    {
        int n = 0;
        for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + what.size()))
            ++n;
        return n;
    }
    Recorder m_progress;
};

const std::vector<MessageFields> kMessages = {
    {"ab", "2005-03-01 10:00"}, {"abc", "2005-03-08 10:00"}, {"b", "2005-03-08 11:00"},
    {"b", "2005-04-02 10:00"},  {"ab", "2005-04-02 09:00"},  {"c", "2005-04"},
};

// The rows of a page: the first value of each row, in page order.
std::vector<std::string> RowKeys(const std::string& page)
{
    std::vector<std::string> keys;
    const std::string call = "statisticRow(\"";
    for (size_t p = page.find(call); p != std::string::npos; p = page.find(call, p + 1)) {
        size_t start = p + call.size();
        keys.push_back(page.substr(start, page.find('"', start) - start));
    }
    return keys;
}

} // namespace

TEST_F(StatisticPagesTest, FourteenPagesWithTheirColumnsDirectionsAndRows)
{
    StatisticRunResult result = Run(kMessages);
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.pagesWritten, kStatisticPageCount);
    EXPECT_TRUE(result.firstPageWritten);
    struct Page {
        const char* file;
        const char* sort;
        std::vector<std::string> rows;
    };
    const std::vector<Page> pages = {
        {"statistic_by_author_11.htm", "\"用户名称\",\"des\"", {"b", "abc", "ab"}},
        {"statistic_by_author_12.htm", "\"用户名称\",\"asc\"", {"ab", "abc", "b"}},
        // ab and b both have two: ascending key order on 21, reversed on 22.
        {"statistic_by_author_21.htm", "\"留言数量\",\"des\"", {"ab", "b", "abc"}},
        {"statistic_by_author_22.htm", "\"留言数量\",\"asc\"", {"abc", "b", "ab"}},
        {"statistic_by_author_31.htm", "\"最后留言\",\"des\"", {"ab", "b", "abc"}},
        {"statistic_by_author_32.htm", "\"最后留言\",\"asc\"", {"abc", "b", "ab"}},
        {"statistic_by_week_11.htm", "\"星期\",\"des\"", {"2005年第13周", "2005年第10周", "2005年第09周"}},
        {"statistic_by_week_12.htm", "\"星期\",\"asc\"", {"2005年第09周", "2005年第10周", "2005年第13周"}},
        {"statistic_by_week_21.htm", "\"留言数量\",\"des\"", {"2005年第10周", "2005年第13周", "2005年第09周"}},
        {"statistic_by_week_22.htm", "\"留言数量\",\"asc\"", {"2005年第09周", "2005年第13周", "2005年第10周"}},
        {"statistic_by_month_11.htm", "\"月份\",\"des\"", {"2005年04月", "2005年03月"}},
        {"statistic_by_month_12.htm", "\"月份\",\"asc\"", {"2005年03月", "2005年04月"}},
        {"statistic_by_month_21.htm", "\"留言数量\",\"des\"", {"2005年03月", "2005年04月"}},
        {"statistic_by_month_22.htm", "\"留言数量\",\"asc\"", {"2005年04月", "2005年03月"}},
    };
    for (const Page& p : pages) {
        SCOPED_TRACE(p.file);
        std::string page = ReadClassFile(p.file);
        ASSERT_FALSE(page.empty());
        EXPECT_EQ(Count(page, "statisticSort(" + std::string(p.sort) + ")"), 1);
        EXPECT_EQ(RowKeys(page), p.rows);
        // Each row keeps the data block's markers; the row template's markers stay once.
        EXPECT_EQ(Count(page, "<!--留言统计数据变量赋值开始-->"), static_cast<int>(p.rows.size()));
        EXPECT_EQ(Count(page, "<!--留言统计模板开始-->"), 1);
        // The same totals on every page; "c" counts in the total only.
        EXPECT_EQ(Count(page, "statisticTotals(\"2005年03月01日\",\"2005年04月02日\",\"32\",\"6\",\"0.1875\")"), 1);
    }
    std::string author = ReadClassFile("statistic_by_author_11.htm");
    EXPECT_NE(author.find("statisticRow(\"ab\",\"2\",\"33.33\",\"2005年04月02日\")"), std::string::npos);
    EXPECT_NE(ReadClassFile("statistic_by_month_21.htm").find("statisticRow(\"2005年03月\",\"3\",\"50.00\")"),
              std::string::npos);
}

TEST_F(StatisticPagesTest, ElevenStagesReportTheirTextsAndRanges)
{
    Run(kMessages);
    EXPECT_EQ(m_progress.statuses,
              (std::vector<std::string>{
                  "开始统计所有留言...", "开始统计个人留言数据...", "开始生成个人留言数据（按姓名排序）...",
                  "开始生成个人留言数据（按数量排序）...", "开始生成个人留言数据（按时间排序）...",
                  "开始统计每星期留言数据...", "开始生成每星期留言数据（按星期排序）...",
                  "开始生成每星期留言数据（按数量排序）...", "开始统计每月留言数据...",
                  "开始生成每月留言数据（按月份排序）...", "开始生成每月留言数据（按数量排序）..."}));
    EXPECT_EQ(m_progress.ranges, (std::vector<int>{6, 3, 3, 3, 3, 3, 3, 3, 2, 2, 2}));
    EXPECT_EQ(m_progress.lastPos, 2);
}

TEST_F(StatisticPagesTest, BrokenTemplatesEndTheRunWhereTheyAreRead)
{
    const std::string blocks =
        "<!--留言总统计数据变量赋值开始-->T(\"%s\",\"%s\",\"%s\",\"%s\",\"%s\")<!--留言总统计数据变量赋值结束-->";
    struct Case {
        const char* name;
        const char* file;     // the template replaced or removed
        std::string text;     // empty: removed
        int pagesWritten;
        bool completed;
        std::string check;    // a page and a text it must hold
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"a missing author template writes nothing", "statistic_by_author.htm", "", 0, false, "", ""},
        {"a week template without its sort block stops after the author pages", "statistic_by_week.htm",
         blocks + "<!--留言统计模板开始-->[<!--留言统计数据变量赋值开始-->%s<!--留言统计数据变量赋值结束-->]"
                  "<!--留言统计模板结束-->",
         6, false, "", ""},
        {"a month template without its total block", "statistic_by_month.htm",
         "<!--留言统计模板开始--><!--留言统计模板结束-->", 10, false, "", ""},
        {"a data block outside the row block leaves each row a copy of the row template", "statistic_by_month.htm",
         blocks + "<!--留言统计排序变量赋值开始-->S(%s)<!--留言统计排序变量赋值结束-->"
                  "<!--留言统计模板开始-->(row)<!--留言统计模板结束-->"
                  "<!--留言统计数据变量赋值开始-->D(%s)<!--留言统计数据变量赋值结束-->",
         14, true, "statistic_by_month_11.htm", "(row)(row)"},
        {"directives that do not fit their values stay as written", "statistic_by_month.htm",
         blocks + "<!--留言统计排序变量赋值开始-->S(%d %s)<!--留言统计排序变量赋值结束-->"
                  "<!--留言统计模板开始-->[<!--留言统计数据变量赋值开始-->%s|%d|%x%%<!--留言统计数据变量赋值结束-->]"
                  "<!--留言统计模板结束-->",
         14, true, "statistic_by_month_12.htm", "S(%d 月份)<!--留言统计排序变量赋值结束--><!--留言统计模板开始-->"
                                               "[<!--留言统计数据变量赋值开始-->2005年03月|%d|%x%<!--"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (auto& entry : std::filesystem::directory_iterator(ClassFolder()))
            std::filesystem::remove(entry.path());
        std::filesystem::copy(std::filesystem::path(TAVRIN_SOURCE_DIR) / "styles" / "common",
                              AppFolder() / "styles" / "common",
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
        if (c.text.empty())
            RemoveTemplate(c.file);
        else
            WriteTemplate(c.file, c.text);
        StatisticRunResult result = Run(kMessages);
        EXPECT_EQ(result.pagesWritten, c.pagesWritten);
        EXPECT_EQ(result.completed, c.completed);
        int files = 0;
        for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(ClassFolder()))
            ++files;
        EXPECT_EQ(files, c.pagesWritten);
        if (!c.check.empty()) {
            EXPECT_NE(ReadClassFile(c.check).find(c.expected), std::string::npos) << ReadClassFile(c.check);
        }
    }
}

TEST_F(StatisticPagesTest, AnUnwritableFolderWritesNoPageButTheRunCompletes)
{
    // A file where the class folder should be: no page can be created.
    std::filesystem::remove_all(ClassFolder());
    m_temp.Write("app/accounts/acct/class1", "not a folder");
    StatisticRunResult result = Run(kMessages);
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.pagesWritten, 0);
    EXPECT_FALSE(result.firstPageWritten);
    EXPECT_EQ(TempDir::Read(ClassFolder()), "not a folder");
}

TEST_F(StatisticPagesTest, HostileAuthorTextsStayInsideTheirScriptStrings)
{
    const std::string sortBlock = "<script type=\"text/javascript\">statisticSort(\"%s\",\"%s\");</script>";
    std::vector<MessageFields> messages = {
        {"say \"hi\" 'x'", "2005-03-01"}, {"back\\slash", "2005-03-01"}, {"line\nbreak", "2005-03-01"},
        {"</script><script>alert(1)</script>", "2005-03-01"}, {CString(sortBlock.c_str()), "2005-03-01"},
        {"statisticSort(\"%s\",\"%s\");", "2005-03-01"}, {"%s%%", "2005-03-01"},
    };
    StatisticRunResult result = Run(messages);
    ASSERT_EQ(result.pagesWritten, kStatisticPageCount);
    std::string page = ReadClassFile("statistic_by_author_11.htm");
    // The template's own script elements and nothing else.
    std::string templ = TempDir::Read(AppFolder() / "styles" / "common" / "statistic_by_author.htm");
    EXPECT_EQ(Count(page, "</script>"), Count(templ, "</script>") - 1 + static_cast<int>(messages.size()));
    EXPECT_EQ(Count(page, "statisticSort(\"用户名称\",\"des\")"), 1);
    EXPECT_EQ(Count(page, "<script>"), 0);
    EXPECT_NE(page.find("statisticRow(\"say \\\"hi\\\" \\'x\\'\""), std::string::npos);
    EXPECT_NE(page.find("statisticRow(\"back\\\\slash\""), std::string::npos);
    EXPECT_NE(page.find("statisticRow(\"line\\nbreak\""), std::string::npos);
    EXPECT_NE(page.find("statisticRow(\"\\x3C/script\\x3E\\x3Cscript\\x3Ealert(1)\\x3C/script\\x3E\""),
              std::string::npos);
    EXPECT_NE(page.find("statisticRow(\"statisticSort(\\\"%s\\\",\\\"%s\\\");\""), std::string::npos);
    EXPECT_NE(page.find("statisticRow(\"%s%%\""), std::string::npos);
}
