// The export run: message pages from the plan, photo and contact pages, the
// copies of the styles and pictures they refer to, and the index page filled
// from the styles folder's export template.
#pragma once

#include "platform/base/String.h"
#include "reports/ExportPlan.h"

#include <vector>

class CClassStore;

namespace tavrin::reports {

class ReportProgress;

// A photo or a contact as the run needs it, copied under the store's lock.
struct ExportRecord {
    CString custoId;
    CString id;
    CString title;  // a photo's title, a contact's real name
};

// Everything the run reads, the worker's own copy.
struct ExportJob {
    CString indexPath;  // the chosen index page
    ExportPlan plan;
    bool album = false;
    bool contacts = false;
    CString classLabel;  // school name, "-", class name, tags removed
    CString appDir;
    CString classFolder;
    std::vector<ExportRecord> photos;
    std::vector<ExportRecord> people;
};

struct ExportResult {
    bool refused = false;  // the folder lies inside what the export copies
    int failures = 0;      // files not written or copied, a missing template
};

// The stores render the pages; null stores render nothing. The status line
// of progress is the phase label.
ExportResult RunExport(const ExportJob& job, CClassStore* messages, CClassStore* pictures, CClassStore* contacts,
                       ReportProgress& progress);

// A name from other people's text as a file name: no separator or character
// a file name cannot hold, not "." or "..", at most 100 bytes.
CString ExportFileName(const CString& name);

// The inert form of every in-page class link: \"tavrin:点击查看...\" becomes
// \"#\" when the target holds no quote, bracket, backslash or line break.
void MakeClassLinksInert(CString& page);

// The final question of a run.
CString ExportDoneText(const ExportResult& result, int skippedMessages);

} // namespace tavrin::reports
