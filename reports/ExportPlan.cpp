#include "reports/ExportPlan.h"

#include "core/model/ClassStore.h"

#include <algorithm>
#include <map>
#include <string>

namespace tavrin::reports {

namespace {

// Blanks, one sign, digits; 0 without digits.
int LeadingNumber(std::string_view text)
{
    long long value = StoreTextNumber(CString(text));
    return static_cast<int>(std::clamp<long long>(value, -1000000000, 1000000000));
}

// Calendar days compare as year, month and day of the local date.
long DayKey(const CTime& t) { return (t.GetYear() * 100L + t.GetMonth()) * 100L + t.GetDay(); }

} // namespace

int ReadPageCount(const CString& text) { return LeadingNumber(text.View()); }

int ParsePageCount(const CString& text)
{
    int n = ReadPageCount(text);
    return n < 1 ? 1 : n;
}

bool ParseExportDate(const CString& time, CTime& date)
{
    std::string digits;
    for (char c : time.View())
        if (c != '/' && c != '-')
            digits += c;
    std::string_view d = digits;
    auto field = [&](size_t at, size_t length) { return at < d.size() ? LeadingNumber(d.substr(at, length)) : 0; };
    CTime parsed(field(0, 4), field(4, 2), field(6, 2), 0, 0, 0);
    if (!parsed.IsValid())
        return false;
    date = parsed;
    return true;
}

ExportPlan BuildExportPlan(const std::vector<PlanMessage>& messages, const PlanOptions& options)
{
    ExportPlan plan;
    std::vector<const PlanMessage*> chosen;
    std::vector<CTime> dates;
    const bool byDate = options.paging == kPagingDay || options.paging == kPagingWeek ||
                        options.paging == kPagingMonth;
    const long fromDay = DayKey(options.from), toDay = DayKey(options.to);
    for (const PlanMessage& message : messages) {
        CTime date;
        bool dated = ParseExportDate(message.time, date);
        if (options.filter == kFilterAuthor) {
            if (message.user != options.author)
                continue;
            if (byDate && !dated) {
                // Never formatted as a date: left out and counted.
                ++plan.skippedNoDate;
                continue;
            }
        } else {
            if (message.time.GetLength() < 10 || !dated)
                continue;
            long day = DayKey(date);
            if (day < fromDay || day > toDay)
                continue;
        }
        chosen.push_back(&message);
        dates.push_back(date);
    }
    plan.messageCount = static_cast<int>(chosen.size());

    if (options.paging == kPagingEqual) {
        int n = ParsePageCount(options.pageCount);
        size_t k = chosen.size(), q = k / static_cast<size_t>(n), r = k % static_cast<size_t>(n);
        size_t next = 0;
        for (int page = 1; page <= n && next < k; ++page) {
            size_t size = q + (static_cast<size_t>(page) <= r ? 1 : 0);
            if (size == 0)
                break;
            ExportPage p;
            p.title.Format("第%d页", page);
            for (size_t i = 0; i < size; ++i)
                p.custoIds.push_back(chosen[next++]->custoId);
            plan.pages.push_back(std::move(p));
        }
        return plan;
    }

    // Titles in byte order: the dates are zero-padded, so this is chronological.
    std::map<std::string, std::vector<CString>> pages;
    CString rangeTitle = options.from.Format("%Y年%m月%d日_") + options.to.Format("%Y年%m月%d日");
    for (size_t i = 0; i < chosen.size(); ++i) {
        CString title;
        switch (options.paging) {
        case kPagingDay: title = dates[i].Format("%Y年%m月%d日"); break;
        case kPagingWeek: title = dates[i].Format("%Y年第%W周"); break;
        case kPagingMonth: title = dates[i].Format("%Y年%m月"); break;
        default: title = rangeTitle; break;
        }
        pages[title.Str()].push_back(chosen[i]->custoId);
    }
    for (auto& [title, ids] : pages)
        plan.pages.push_back({CString(title), std::move(ids)});
    return plan;
}

} // namespace tavrin::reports
