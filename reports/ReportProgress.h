// What a report worker shows while it runs: a status line and a bar. The
// dialogs forward these to their controls; tests and benchmarks record them.
#pragma once

#include "platform/base/String.h"

namespace tavrin::reports {

class ReportProgress {
public:
    virtual ~ReportProgress() = default;
    virtual void SetStatus(const CString& text) = 0;
    // The bar runs from 0 to upper (counts above 65,535 included).
    virtual void SetRange(int upper) = 0;
    virtual void SetPos(int pos) = 0;
};

// Shows nothing.
class NoProgress : public ReportProgress {
public:
    void SetStatus(const CString&) override {}
    void SetRange(int) override {}
    void SetPos(int) override {}
};

// A stage: its status text, the position back to 0 and the range 0..n.
inline void BeginStage(ReportProgress& progress, const char* status, int n)
{
    progress.SetStatus(status);
    progress.SetPos(0);
    progress.SetRange(n);
}

} // namespace tavrin::reports
