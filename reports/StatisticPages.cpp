#include "reports/StatisticPages.h"

#include "platform/base/AtomicWrite.h"
#include "providers/common/Escape.h"
#include "providers/common/PageTemplate.h"
#include "reports/ReportProgress.h"

#include <string>

namespace tavrin::reports {

namespace {

const char kTotalStart[] = "<!--留言总统计数据变量赋值开始-->";
const char kTotalEnd[] = "<!--留言总统计数据变量赋值结束-->";
const char kRowStart[] = "<!--留言统计模板开始-->";
const char kRowEnd[] = "<!--留言统计模板结束-->";
const char kDataStart[] = "<!--留言统计数据变量赋值开始-->";
const char kDataEnd[] = "<!--留言统计数据变量赋值结束-->";
const char kSortStart[] = "<!--留言统计排序变量赋值开始-->";
const char kSortEnd[] = "<!--留言统计排序变量赋值结束-->";

// Every value goes into a script string of the template.
CString FillEscaped(const CString& format, std::vector<CString> values)
{
    for (CString& value : values)
        value = EscapeScriptString(value);
    return FillFormat(format, values);
}

// A template with its total block filled: the page every page starts from,
// the row template, its data block and the sort block.
struct StatisticTemplate {
    CString page;
    CString row;
    CString data;
    CString sort;
    bool hasSort = false;
};

bool LoadTemplate(const CString& path, const StatisticTotals& totals, StatisticTemplate& t)
{
    CString text;
    if (!ReadTemplateFile(path, text))
        return false;
    CString total;
    if (!FindMarkedBlock(text, kTotalStart, kTotalEnd, total))
        return false;
    text.Replace(total,
                 FillEscaped(total, {totals.firstDate, totals.lastDate, totals.days, totals.total, totals.average}));
    if (!FindMarkedBlock(text, kRowStart, kRowEnd, t.row) || !FindMarkedBlock(text, kDataStart, kDataEnd, t.data))
        return false;
    t.hasSort = FindMarkedBlock(text, kSortStart, kSortEnd, t.sort);
    t.page = std::move(text);
    return true;
}

struct PagePair {
    const char* status;
    const char* label;
    const char* forwardName;
    const char* backwardName;
};

class StatisticRun {
public:
    StatisticRun(const CString& appDir, const CString& classFolder, ReportProgress& progress)
        : m_appDir(appDir), m_classFolder(classFolder), m_progress(progress)
    {
    }

    // The page stages of one template, one pair of pages per order; false
    // when the run ends there.
    bool WriteTemplatePages(const char* templateName, const StatisticTotals& totals,
                            const std::vector<std::vector<CString>>& values, const std::vector<PagePair>& pairs,
                            const std::vector<std::vector<int>>& orders)
    {
        StatisticTemplate t;
        if (!LoadTemplate(m_appDir + "\\styles\\common\\" + templateName, totals, t))
            return false;
        // An element's row is the same text in every order.
        std::vector<CString> rowTexts;
        rowTexts.reserve(values.size());
        for (const std::vector<CString>& v : values) {
            CString row = t.row;
            row.Replace(t.data, FillEscaped(t.data, v));
            rowTexts.push_back(std::move(row));
        }
        for (size_t p = 0; p < pairs.size(); ++p) {
            const std::vector<int>& order = orders[p];
            int n = static_cast<int>(order.size());
            BeginStage(m_progress, pairs[p].status, n);
            std::vector<const CString*> rows;
            rows.reserve(order.size());
            for (int k = 0; k < n; ++k) {
                rows.push_back(&rowTexts[static_cast<size_t>(order[static_cast<size_t>(k)])]);
                m_progress.SetPos(k + 1);
            }
            if (!t.hasSort)
                return false;
            WritePage(t, pairs[p].label, "des", rows.begin(), rows.end(), pairs[p].forwardName);
            // The reversed page is the same row list backwards, ties included.
            WritePage(t, pairs[p].label, "asc", rows.rbegin(), rows.rend(), pairs[p].backwardName);
        }
        return true;
    }

    StatisticRunResult m_result;

private:
    template <typename It>
    void WritePage(const StatisticTemplate& t, const char* label, const char* direction, It first, It last,
                   const char* name)
    {
        // The sort block goes in before the rows, so that no replacement runs
        // over text that holds values of other people.
        CString page = t.page;
        page.Replace(t.sort, FillFormat(t.sort, {CString(label), CString(direction)}));
        size_t size = 0;
        for (It it = first; it != last; ++it)
            size += static_cast<size_t>((*it)->GetLength());
        std::string rows;
        rows.reserve(size);
        for (It it = first; it != last; ++it)
            rows += (*it)->View();
        page.Replace(t.row, rows.c_str());
        CString path = m_classFolder + "\\" + name;
        if (!WriteFileAtomic(path, page.GetString(), static_cast<size_t>(page.GetLength())))
            return;  // skipped; the run goes on with the next page
        ++m_result.pagesWritten;
        if (CString(name) == kFirstStatisticPage)
            m_result.firstPageWritten = true;
    }

    CString m_appDir;
    CString m_classFolder;
    ReportProgress& m_progress;
};

// A stage of orders: k after the k-th element.
std::vector<std::vector<int>> BuildOrders(ReportProgress& progress, const char* status,
                                          const std::vector<StatisticRow>& rows, std::vector<RowOrder> kinds)
{
    int n = static_cast<int>(rows.size());
    BeginStage(progress, status, n);
    std::vector<std::vector<int>> orders;
    for (RowOrder kind : kinds)
        orders.push_back(OrderRows(rows, kind));
    for (int k = 1; k <= n; ++k)
        progress.SetPos(k);
    return orders;
}

// The values of each row: the key, its count and share, and for authors the
// date of the last message.
std::vector<std::vector<CString>> RowValues(const std::vector<StatisticRow>& rows, int total, bool withLast)
{
    std::vector<std::vector<CString>> values;
    values.reserve(rows.size());
    for (const StatisticRow& row : rows) {
        CString count;
        count.Format("%d", row.count);
        values.push_back({row.key, count, FormatShare(row.count, total)});
        if (withLast)
            values.back().push_back(row.last.Format("%Y年%m月%d日"));
    }
    return values;
}

} // namespace

StatisticRunResult RunStatistics(const std::vector<MessageFields>& messages, const CString& appDir,
                                 const CString& classFolder, CTime now, ReportProgress& progress)
{
    StatisticRun run(appDir, classFolder, progress);
    BeginStage(progress, "开始统计所有留言...", static_cast<int>(messages.size()));
    StatisticCounts counts = CountMessages(messages, now, &progress);
    StatisticTotals totals = DeriveTotals(counts);

    auto authorOrders = BuildOrders(progress, "开始统计个人留言数据...", counts.authors,
                                    {RowOrder::KeyDescending, RowOrder::CountDescending, RowOrder::LastDescending});
    if (!run.WriteTemplatePages(
            "statistic_by_author.htm", totals, RowValues(counts.authors, counts.total, true),
            {{"开始生成个人留言数据（按姓名排序）...", "用户名称", "statistic_by_author_11.htm", "statistic_by_author_12.htm"},
             {"开始生成个人留言数据（按数量排序）...", "留言数量", "statistic_by_author_21.htm", "statistic_by_author_22.htm"},
             {"开始生成个人留言数据（按时间排序）...", "最后留言", "statistic_by_author_31.htm", "statistic_by_author_32.htm"}},
            authorOrders))
        return run.m_result;

    auto weekOrders = BuildOrders(progress, "开始统计每星期留言数据...", counts.weeks,
                                  {RowOrder::KeyDescending, RowOrder::CountDescending});
    if (!run.WriteTemplatePages(
            "statistic_by_week.htm", totals, RowValues(counts.weeks, counts.total, false),
            {{"开始生成每星期留言数据（按星期排序）...", "星期", "statistic_by_week_11.htm", "statistic_by_week_12.htm"},
             {"开始生成每星期留言数据（按数量排序）...", "留言数量", "statistic_by_week_21.htm", "statistic_by_week_22.htm"}},
            weekOrders))
        return run.m_result;

    auto monthOrders = BuildOrders(progress, "开始统计每月留言数据...", counts.months,
                                   {RowOrder::KeyDescending, RowOrder::CountDescending});
    if (!run.WriteTemplatePages(
            "statistic_by_month.htm", totals, RowValues(counts.months, counts.total, false),
            {{"开始生成每月留言数据（按月份排序）...", "月份", "statistic_by_month_11.htm", "statistic_by_month_12.htm"},
             {"开始生成每月留言数据（按数量排序）...", "留言数量", "statistic_by_month_21.htm", "statistic_by_month_22.htm"}},
            monthOrders))
        return run.m_result;

    run.m_result.completed = true;
    return run.m_result;
}

} // namespace tavrin::reports
