// The page plan of a message export: which stored messages go to which page,
// under which title and in which order.
#pragma once

#include "platform/base/String.h"
#include "platform/base/Time.h"

#include <vector>

namespace tavrin::reports {

enum ExportPaging { kPagingNone = 0, kPagingDay = 1, kPagingWeek = 2, kPagingMonth = 3, kPagingEqual = 4 };
enum ExportFilter { kFilterTime = 0, kFilterAuthor = 1 };

struct PlanOptions {
    int paging = kPagingMonth;
    int filter = kFilterTime;
    CString author;
    CTime from;
    CTime to;
    CString pageCount;  // as typed
};

// The fields of a message the plan reads, copied under the store's items lock.
struct PlanMessage {
    CString custoId;
    CString user;
    CString time;
};

struct ExportPage {
    CString title;
    std::vector<CString> custoIds;  // in store order
};

struct ExportPlan {
    std::vector<ExportPage> pages;  // in page order
    int messageCount = 0;           // messages in the pages
    // Messages of the author that need a date for their page but have none.
    int skippedNoDate = 0;
};

// The leading decimal number of the page-count text (0 without digits).
int ReadPageCount(const CString& text);
// The count the plan uses: below 1, empty or no number gives 1.
int ParsePageCount(const CString& text);

// The date of a time text: "/" and "-" removed, characters 1-4 the year, 5-6
// the month and 7-8 the day, at local midnight. False when it makes no date.
bool ParseExportDate(const CString& time, CTime& date);

ExportPlan BuildExportPlan(const std::vector<PlanMessage>& messages, const PlanOptions& options);

} // namespace tavrin::reports
