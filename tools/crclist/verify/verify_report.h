// What `crclist verify` writes: one line per file and a summary as text, or one JSON
// document. Names and paths come out in UTF-8.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/crclist/list/list_load.h"
#include "tools/crclist/verify/progress_line.h"
#include "tools/crclist/verify/verify_run.h"

namespace crclist {

class VerifyReport : public ResultSink {
  public:
    virtual ~VerifyReport() = default;
    virtual void Finish(const RunTotals& totals) = 0;
};

// Text: a line for each failed file (every file with `verbose`) as its verdict comes, then
// the summary. The progress line is taken off before each line.
std::unique_ptr<VerifyReport> MakeTextReport(std::FILE* out, const ListLoad& load, bool verbose,
                                             ProgressLine& progress);
// JSON: the whole document at the end.
std::unique_ptr<VerifyReport> MakeJsonReport(std::FILE* out, const ListLoad& load);

}  // namespace crclist
