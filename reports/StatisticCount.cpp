#include "reports/StatisticCount.h"

#include "core/model/ClassStore.h"
#include "reports/ReportProgress.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <unordered_map>

namespace tavrin::reports {

namespace {

// A leading decimal number of a field: blanks, one sign, digits; 0 without digits.
int FieldValue(std::string_view field)
{
    long long value = StoreTextNumber(CString(field));
    return value > 1000000 || value < -1000000 ? 0 : static_cast<int>(value);
}

struct DateInfo {
    bool valid = false;
    CTime date;
    std::string week;
    std::string month;
};

// Rows by key, ascending.
class KeyTable {
public:
    StatisticRow& At(std::string_view key)
    {
        auto [it, added] = m_index.try_emplace(std::string(key), m_rows.size());
        if (added) {
            m_rows.emplace_back();
            m_rows.back().key = CString(key);
        }
        return m_rows[it->second];
    }
    std::vector<StatisticRow> TakeSorted()
    {
        std::sort(m_rows.begin(), m_rows.end(),
                  [](const StatisticRow& a, const StatisticRow& b) { return a.key.Str() < b.key.Str(); });
        m_index.clear();
        return std::move(m_rows);
    }

private:
    std::unordered_map<std::string, size_t> m_index;
    std::vector<StatisticRow> m_rows;
};

} // namespace

bool ParseMessageDate(const CString& time, CTime& date)
{
    if (time.GetLength() < 10)
        return false;
    std::string_view text = time.View();
    CTime parsed(FieldValue(text.substr(0, 4)), FieldValue(text.substr(5, 2)), FieldValue(text.substr(8, 2)), 0, 0,
                 0);
    if (!parsed.IsValid())
        return false;
    date = parsed;
    return true;
}

StatisticCounts CountMessages(const std::vector<MessageFields>& messages, CTime now, ReportProgress* progress)
{
    StatisticCounts counts;
    counts.total = static_cast<int>(messages.size());
    counts.first = now;
    counts.last = CTime(1977, 8, 21, 12, 12, 12);
    // Only the first ten bytes make the date: one conversion per distinct day.
    std::unordered_map<std::string, DateInfo> dates;
    KeyTable authors, weeks, months;
    for (size_t i = 0; i < messages.size(); ++i) {
        if (progress)
            progress->SetPos(static_cast<int>(i));
        const MessageFields& message = messages[i];
        if (message.time.GetLength() < 10)
            continue;
        auto [it, added] = dates.try_emplace(std::string(message.time.View().substr(0, 10)));
        DateInfo& info = it->second;
        if (added && ParseMessageDate(message.time, info.date)) {
            info.valid = true;
            info.week = info.date.Format("%Y年第%W周").Str();
            info.month = info.date.Format("%Y年%m月").Str();
        }
        // A date the time values cannot hold counts in the total only.
        if (!info.valid)
            continue;
        StatisticRow& author = authors.At(message.user.View());
        if (author.count == 0 || info.date > author.last)
            author.last = info.date;
        ++author.count;
        ++weeks.At(info.week).count;
        ++months.At(info.month).count;
        if (info.date > counts.last)
            counts.last = info.date;
        if (info.date < counts.first)
            counts.first = info.date;
    }
    counts.authors = authors.TakeSorted();
    counts.weeks = weeks.TakeSorted();
    counts.months = months.TakeSorted();
    return counts;
}

StatisticTotals DeriveTotals(const StatisticCounts& counts)
{
    StatisticTotals totals;
    long long days = (counts.last - counts.first).GetTimeSpan() / 86400;
    if (days <= 0)
        days = 1;
    totals.firstDate = counts.first.Format("%Y年%m月%d日");
    totals.lastDate = counts.last.Format("%Y年%m月%d日");
    totals.days.Format("%lld", days);
    totals.total.Format("%d", counts.total);
    totals.average.Format("%.4f", static_cast<double>(counts.total) / static_cast<double>(days));
    return totals;
}

CString FormatShare(int count, int total)
{
    CString share;
    share.Format("%.2f", total > 0 ? static_cast<double>(count) / total * 100.0 : 0.0);
    return share;
}

std::vector<int> OrderRows(const std::vector<StatisticRow>& rows, RowOrder order)
{
    std::vector<int> indexes(rows.size());
    std::iota(indexes.begin(), indexes.end(), 0);
    switch (order) {
    case RowOrder::KeyDescending:
        // Keys are distinct: the descending order is the ascending one reversed.
        std::reverse(indexes.begin(), indexes.end());
        break;
    case RowOrder::CountDescending:
        std::stable_sort(indexes.begin(), indexes.end(),
                         [&](int a, int b) { return rows[a].count > rows[b].count; });
        break;
    case RowOrder::LastDescending:
        std::stable_sort(indexes.begin(), indexes.end(), [&](int a, int b) { return rows[a].last > rows[b].last; });
        break;
    }
    return indexes;
}

} // namespace tavrin::reports
