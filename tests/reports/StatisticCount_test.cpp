// Counting of messages per author, week and month, the derived figures and
// the row orders, as tables of messages and expected results.
#include "platform/base/Clock.h"
#include "reports/ReportProgress.h"
#include "reports/StatisticCount.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tavrin::reports;

namespace {

std::string Rows(const std::vector<StatisticRow>& rows)
{
    std::string out;
    for (const StatisticRow& row : rows)
        out += std::string(row.key.View()) + "=" + std::to_string(row.count) + " ";
    return out;
}

std::string Ordered(const std::vector<StatisticRow>& rows, RowOrder order)
{
    std::string out;
    for (int i : OrderRows(rows, order))
        out += std::string(rows[static_cast<size_t>(i)].key.View()) + " ";
    return out;
}

class StatisticCountTest : public ::testing::Test {
protected:
    CTime m_now = CTime(2007, 6, 15, 14, 30, 0);
};

} // namespace

TEST_F(StatisticCountTest, CountsPerAuthorWeekAndMonth)
{
    struct Case {
        const char* name;
        std::vector<MessageFields> messages;
        std::string authors, weeks, months;
        std::string first, last, days, average;
    };
    const std::vector<Case> cases = {
        {"short time texts count in the total only",
         {{"甲", "2005-03-01 10:00"}, {"乙", "2005-03"}, {"丙", ""}},
         "甲=1 ", "2005年第09周=1 ", "2005年03月=1 ", "2005年03月01日", "2005年03月01日", "1", "3.0000"},
        {"an unrepresentable date counts in the total only and the run goes on",
         {{"甲", "abcd-ef-gh"}, {"乙", "1969-12-31"}, {"丙", "2005-03-02"}, {"丁", "0000-00-00 00:00"}},
         "丙=1 ", "2005年第09周=1 ", "2005年03月=1 ", "2005年03月02日", "2005年03月02日", "1", "4.0000"},
        {"a month out of range rolls over",
         {{"a", "2005-13-05"}},
         "a=1 ", "2006年第01周=1 ", "2006年01月=1 ", "2006年01月05日", "2006年01月05日", "1", "1.0000"},
        {"all messages on one day",
         {{"a", "2005-03-12 08:00"}, {"b", "2005-03-12 09:00"}, {"a", "2005-03-12 23:59"}},
         "a=2 b=1 ", "2005年第10周=3 ", "2005年03月=3 ", "2005年03月12日", "2005年03月12日", "1", "3.0000"},
        {"no usable date: the run's day and 21 August 1977",
         {{"a", "2005"}, {"b", "bad"}},
         "", "", "", "2007年06月15日", "1977年08月21日", "1", "2.0000"},
        {"weeks start on Monday, days before the first are week 00",
         {{"a", "2005-01-01"}, {"a", "2005-01-03"}, {"b", "2004-12-31"}, {"", "2005-01-04"}},
         "=1 a=2 b=1 ", "2004年第52周=1 2005年第00周=1 2005年第01周=2 ", "2004年12月=1 2005年01月=3 ",
         "2004年12月31日", "2005年01月04日", "4", "1.0000"},
        {"days between the first and the last date",
         {{"a", "2005-03-01"}, {"a", "2005-03-04"}, {"b", "2005-03-02"}, {"c", "2005-03-03"}, {"c", "2005-03-03"},
          {"c", "2005-03-03"}, {"d", "2005-03-04"}},
         "a=2 b=1 c=3 d=1 ", "2005年第09周=7 ", "2005年03月=7 ", "2005年03月01日", "2005年03月04日", "3", "2.3333"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StatisticCounts counts = CountMessages(c.messages, m_now, nullptr);
        EXPECT_EQ(counts.total, static_cast<int>(c.messages.size()));
        EXPECT_EQ(Rows(counts.authors), c.authors);
        EXPECT_EQ(Rows(counts.weeks), c.weeks);
        EXPECT_EQ(Rows(counts.months), c.months);
        StatisticTotals totals = DeriveTotals(counts);
        EXPECT_EQ(std::string(totals.firstDate.View()), c.first);
        EXPECT_EQ(std::string(totals.lastDate.View()), c.last);
        EXPECT_EQ(std::string(totals.days.View()), c.days);
        EXPECT_EQ(std::string(totals.total.View()), std::to_string(c.messages.size()));
        EXPECT_EQ(std::string(totals.average.View()), c.average);
    }
}

TEST_F(StatisticCountTest, AnAuthorsLastDateIsItsLatestMessage)
{
    StatisticCounts counts =
        CountMessages({{"a", "2005-03-05"}, {"a", "2005-04-01"}, {"a", "2005-03-20"}, {"b", "2004-01-01"}}, m_now,
                      nullptr);
    ASSERT_EQ(counts.authors.size(), 2u);
    EXPECT_EQ(counts.authors[0].last, CTime(2005, 4, 1, 0, 0, 0));
    EXPECT_EQ(counts.authors[1].last, CTime(2004, 1, 1, 0, 0, 0));
}

TEST_F(StatisticCountTest, SharesOfTheTotal)
{
    struct Case {
        int count, total;
        const char* share;
    };
    for (const Case& c : std::vector<Case>{{1, 3, "33.33"}, {2, 3, "66.67"}, {3, 3, "100.00"}, {1, 20000, "0.01"}})
        EXPECT_EQ(std::string(FormatShare(c.count, c.total).View()), c.share) << c.count << "/" << c.total;
}

TEST_F(StatisticCountTest, OrdersKeepAscendingKeysAmongEquals)
{
    std::vector<StatisticRow> rows = {{"ab", 2, CTime(2005, 1, 2, 0, 0, 0)},
                                      {"abc", 1, CTime(2005, 1, 1, 0, 0, 0)},
                                      {"b", 2, CTime(2005, 1, 2, 0, 0, 0)},
                                      {"c", 3, CTime(2005, 1, 1, 0, 0, 0)},
                                      {"乙", 1, CTime(2005, 1, 3, 0, 0, 0)}};
    // GBK lead bytes sort after ASCII; a prefix comes after the longer text.
    EXPECT_EQ(Ordered(rows, RowOrder::KeyDescending), "乙 c b abc ab ");
    EXPECT_EQ(Ordered(rows, RowOrder::CountDescending), "c ab b abc 乙 ");
    EXPECT_EQ(Ordered(rows, RowOrder::LastDescending), "乙 ab b abc c ");
}

TEST_F(StatisticCountTest, TheCountingPassMovesTheBarBeforeEachMessage)
{
    struct Recorder : ReportProgress {
        std::vector<int> positions;
        void SetStatus(const CString&) override {}
        void SetRange(int) override {}
        void SetPos(int pos) override { positions.push_back(pos); }
    } recorder;
    CountMessages({{"a", "2005-01-01"}, {"b", "x"}, {"c", "2005-01-02"}}, m_now, &recorder);
    EXPECT_EQ(recorder.positions, (std::vector<int>{0, 1, 2}));
}
