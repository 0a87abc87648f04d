// Counting of a class's messages per author, week and month, the figures
// derived from the counts, and the row orders of the statistics pages.
#pragma once

#include "platform/base/String.h"
#include "platform/base/Time.h"

#include <vector>

namespace tavrin::reports {

class ReportProgress;

// The two fields the statistics read of a message, copied under the store's
// items lock.
struct MessageFields {
    CString user;
    CString time;
};

// The local midnight of the date at the start of a time text ("2005-03-12
// ..."): year from bytes 1-4, month 6-7, day 9-10, each read as a leading
// decimal number, out-of-range fields rolled over as mktime does. False for a
// text shorter than 10 bytes or a date the time values cannot hold.
bool ParseMessageDate(const CString& time, CTime& date);

struct StatisticRow {
    CString key;  // author, week or month text
    int count = 0;
    CTime last;  // authors only: the latest date among their messages
};

struct StatisticCounts {
    int total = 0;                    // every message, counted or not
    std::vector<StatisticRow> authors;  // each table in ascending key order
    std::vector<StatisticRow> weeks;
    std::vector<StatisticRow> months;
    CTime first;  // the run's start when no date was counted
    CTime last;   // 1977-08-21 12:12:12 when no date was counted
};

// The counting pass. The position goes to each message's index before it is
// read; the stage itself is begun by the caller.
StatisticCounts CountMessages(const std::vector<MessageFields>& messages, CTime now, ReportProgress* progress);

// The figures every page shows, formatted.
struct StatisticTotals {
    CString firstDate;  // "%Y年%m月%d日"
    CString lastDate;
    CString days;       // "%d", at least 1
    CString total;      // "%d"
    CString average;    // "%.4f" messages per day
};
StatisticTotals DeriveTotals(const StatisticCounts& counts);

// A row's share of the total, "%.2f" percent.
CString FormatShare(int count, int total);

// The orders, as indexes into the ascending table. Equal elements keep the
// ascending key order.
enum class RowOrder {
    KeyDescending,    // author name, week, month: newest or largest text first
    CountDescending,  // count descending
    LastDescending,   // authors: last message descending
};
std::vector<int> OrderRows(const std::vector<StatisticRow>& rows, RowOrder order);

} // namespace tavrin::reports
