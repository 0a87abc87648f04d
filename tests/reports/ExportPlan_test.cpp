// The export's page plan: filters, paging titles and the equal pages, as
// tables of stored messages and the pages they make.
#include "reports/ExportPlan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tavrin::reports;

namespace {

std::vector<PlanMessage> Messages(const std::vector<std::pair<std::string, std::string>>& userAndTime)
{
    std::vector<PlanMessage> out;
    int id = 1;
    for (const auto& [user, time] : userAndTime)
        out.push_back({CString(std::to_string(id++).c_str()), CString(user.c_str()), CString(time.c_str())});
    return out;
}

// "title: ids; title: ids"
std::string Pages(const ExportPlan& plan)
{
    std::string out;
    for (const ExportPage& page : plan.pages) {
        if (!out.empty())
            out += "; ";
        out += std::string(page.title.View()) + ":";
        for (const CString& id : page.custoIds)
            out += " " + std::string(id.View());
    }
    return out;
}

std::vector<PlanMessage> Numbered(int n)
{
    std::vector<std::pair<std::string, std::string>> list;
    for (int i = 0; i < n; ++i)
        list.push_back({"a", "2005-03-01"});
    return Messages(list);
}

} // namespace

TEST(ExportPlan, FiltersAndPagingTitles)
{
    const CTime march1(2005, 3, 1, 0, 0, 0), march15(2005, 3, 15, 23, 59, 0);
    const auto messages = Messages({{"甲", "2005-03-01 08:00"},
                                    {"乙", "2005/03/15 22:00"},
                                    {"甲", "2005-03-16 00:01"},
                                    {"甲", "2005-02-28"},
                                    {"乙", "2005-03"},
                                    {"甲", "bad date here"},
                                    {"", "2005-03-02"}});
    struct Case {
        const char* name;
        PlanOptions options;
        std::string pages;
        int count;
        int skipped;
    };
    const std::vector<Case> cases = {
        {"from the first of the month to today, by month, both days included",
         {kPagingMonth, kFilterTime, "", march1, march15, ""}, "2005年03月: 1 2 7", 3, 0},
        {"by day", {kPagingDay, kFilterTime, "", march1, march15, ""},
         "2005年03月01日: 1; 2005年03月02日: 7; 2005年03月15日: 2", 3, 0},
        {"no paging: the pickers' range is the title",
         {kPagingNone, kFilterTime, "", march1, march15, ""}, "2005年03月01日_2005年03月15日: 1 2 7", 3, 0},
        {"from after to keeps nothing", {kPagingMonth, kFilterTime, "", march15, march1, ""}, "", 0, 0},
        {"the author filter keeps every date; no paging keeps the pickers' title",
         {kPagingNone, kFilterAuthor, "甲", march1, march15, ""},
         "2005年03月01日_2005年03月15日: 1 3 4 6", 4, 0},
        {"the author filter by month leaves out a message without a date and counts it",
         {kPagingMonth, kFilterAuthor, "甲", march1, march15, ""}, "2005年02月: 4; 2005年03月: 1 3", 3, 1},
        {"an empty author selects the messages without an author",
         {kPagingWeek, kFilterAuthor, "", march1, march15, ""}, "2005年第09周: 7", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExportPlan plan = BuildExportPlan(messages, c.options);
        EXPECT_EQ(Pages(plan), c.pages);
        EXPECT_EQ(plan.messageCount, c.count);
        EXPECT_EQ(plan.skippedNoDate, c.skipped);
    }
}

TEST(ExportPlan, WeeksBeginOnMonday)
{
    PlanOptions options{kPagingWeek, kFilterTime, "", CTime(2004, 12, 1, 0, 0, 0), CTime(2005, 1, 31, 0, 0, 0), ""};
    ExportPlan plan =
        BuildExportPlan(Messages({{"a", "2005-01-01"}, {"a", "2005-01-03"}, {"a", "2004-12-31"}}), options);
    EXPECT_EQ(Pages(plan), "2004年第52周: 3; 2005年第00周: 1; 2005年第01周: 2");
}

TEST(ExportPlan, EqualPages)
{
    struct Case {
        int messages;
        const char* count;
        std::vector<size_t> sizes;
    };
    const std::vector<Case> cases = {
        {10, "3", {4, 3, 3}}, {3, "5", {1, 1, 1}}, {25, "12", {3, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
        {4, "", {4}},         {4, "0", {4}},       {4, "x2", {4}},
        {4, " 2页", {2, 2}},  {0, "3", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.messages) + " in " + c.count);
        PlanOptions options{kPagingEqual, kFilterAuthor, "a", CTime(), CTime(), c.count};
        ExportPlan plan = BuildExportPlan(Numbered(c.messages), options);
        std::vector<size_t> sizes;
        for (size_t i = 0; i < plan.pages.size(); ++i) {
            sizes.push_back(plan.pages[i].custoIds.size());
            EXPECT_EQ(std::string(plan.pages[i].title.View()), "第" + std::to_string(i + 1) + "页");
        }
        EXPECT_EQ(sizes, c.sizes);
    }
    // Messages in the order they were visited.
    ExportPlan plan = BuildExportPlan(Numbered(5), {kPagingEqual, kFilterAuthor, "a", CTime(), CTime(), "2"});
    EXPECT_EQ(Pages(plan), "第1页: 1 2 3; 第2页: 4 5");
}
