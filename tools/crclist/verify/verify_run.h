// One verification run: every listed file of the chosen checks, disc group after disc group and
// then the installed files, each group read by the threads of a reading, with a verdict for
// each.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "inf/check_list.h"
#include "tools/crclist/discs/disc_reader.h"
#include "tools/crclist/verify/progress_line.h"
#include "tools/crclist/verify/verdict.h"

namespace crclist {

struct VerifyPlan {
    // The reader of each disc group, in group order (one reader may serve several); empty
    // when no disc is verified. Not owned.
    std::vector<DiscReader*> discs;
    bool installed = false;
    std::size_t jobs = 0;  // at most this many threads read the installed files; 0: auto
};

// How one group was read: disc group `group` (from 1), or the installed files (0).
struct GroupReading {
    int group = 0;
    ReadPlan plan;
};

// Where the verdicts go, in list order.
class ResultSink {
  public:
    virtual void Add(const FileResult& result) = 0;

  protected:
    ~ResultSink() = default;
};

struct RunTotals {
    Tally tally;
    std::uint64_t bytes = 0;  // read and taken into a CRC
    double seconds = 0;
    bool stopped = false;          // a stop was requested before every file was verified
    std::uint64_t notReached = 0;  // the listed files without a verdict: after a stop, the rest
    std::vector<GroupReading> readings;  // in the order read

    // The reading speed of the run; 0 for a run too short to time.
    double MegabytesPerSecond() const {
        return seconds > 0 ? static_cast<double>(bytes) / seconds / 1e6 : 0;
    }
};

// The sum of the listed sizes of what `plan` verifies: the total of the progress line.
std::uint64_t ListedBytes(const CheckList& list, const VerifyPlan& plan);

// Verifies what `plan` says. Each verdict goes to `sink` as soon as every one before it in the
// list is in, whatever order the files are read in. `stopRequested` is
// asked before every read of the calling thread and while it waits for the others; once it
// says yes, the run ends with the verdicts made so far.
RunTotals RunVerification(const CheckList& list, const VerifyPlan& plan, ResultSink& sink,
                          ProgressLine& progress, const std::function<bool()>& stopRequested);

}  // namespace crclist
