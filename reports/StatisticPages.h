// The statistics run after the copy of the messages: counting, orders and the
// fourteen pages filled from the author, week and month templates.
#pragma once

#include "platform/base/String.h"
#include "platform/base/Time.h"
#include "reports/StatisticCount.h"

#include <vector>

namespace tavrin::reports {

class ReportProgress;

inline constexpr int kStatisticPageCount = 14;
// The page the program shows after a run.
inline constexpr const char* kFirstStatisticPage = "statistic_by_author_11.htm";

struct StatisticRunResult {
    // Every stage ran; the run may still have skipped pages it could not write.
    bool completed = false;
    int pagesWritten = 0;
    bool firstPageWritten = false;
};

// Runs the eleven stages on the copy of the messages: templates from
// appDir + "\styles\common\", pages into classFolder. now is the run's start.
StatisticRunResult RunStatistics(const std::vector<MessageFields>& messages, const CString& appDir,
                                 const CString& classFolder, CTime now, ReportProgress& progress);

} // namespace tavrin::reports
