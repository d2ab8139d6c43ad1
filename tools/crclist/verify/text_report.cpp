#include <cinttypes>

#include "tools/crclist/text/console.h"
#include "tools/crclist/text/shown_text.h"
#include "tools/crclist/verify/verify_report.h"

namespace crclist {
namespace {

std::string Detail(const FileResult& result) {
    switch (result.status) {
        case Status::kOk:
            return "";
        case Status::kMissing:
        case Status::kReadError:
            return ShownSystemText(result.reason);
        case Status::kSize:
            return "size " + std::to_string(result.size) + ", listed " +
                   std::to_string(result.expectedSize);
        case Status::kCrc:
            return "CRC " + CrcText(result.crc) + ", listed " + CrcText(result.expectedCrc);
        case Status::kNoValue:
            return "its registry value cannot be read";
    }
    return "";
}

// "disc 1 (master/disc1): a rotating disk, read from it as one stream", "...: a rotating
// disk, in memory, read by 4 threads", "...: a rotating disk, 2 files read from it as one
// stream, the others in memory by 4 threads".
std::string Described(const GroupReading& reading) {
    const ReadPlan& plan = reading.plan;
    std::string line = reading.group > 0 ? "disc " + std::to_string(reading.group) + " (" +
                                               ShownSystemText(plan.where) + ")"
                                         : std::string("installed files");
    line += std::string(": ") + MediumName(plan.medium);
    const std::size_t fromMedium = plan.FromMedium();
    if (fromMedium == 0) {
        return line + (plan.cached ? ", in memory" : "") + ", read by " +
               CountText(plan.Streams(), "thread");
    }
    if (fromMedium == plan.shape.fromMedium.size()) {
        return line + ", read from it as one stream";
    }
    return line + ", " + CountText(fromMedium, "file") +
           " read from it as one stream, the others in memory by " +
           CountText(plan.Streams(), "thread");
}

// "9437184 bytes in 0.008 s, 1185.1 MB/s". The speed is left out where it would say nothing:
// when nothing was read, or the run was too short to time; a slow one is not shown as 0.0.
std::string AmountAndSpeed(const RunTotals& totals) {
    char text[64];
    std::snprintf(text, sizeof text, "%" PRIu64 " bytes in %.3f s", totals.bytes, totals.seconds);
    std::string line = text;
    const double speed = totals.MegabytesPerSecond();
    if (speed >= 0.1) {
        std::snprintf(text, sizeof text, ", %.1f MB/s", speed);
        line += text;
    } else if (speed > 0) {
        line += ", under 0.1 MB/s";
    }
    return line + "\n";
}

class TextReport : public VerifyReport {
  public:
    TextReport(std::FILE* out, const ListLoad& load, bool verbose, ProgressLine& progress)
        : out_(out), verbose_(verbose), progress_(progress) {
        const std::string list = "list " + ShownSystemText(load.path) + ": ";
        std::string head;
        if (!load.loaded) {
            head += list + "did not load in full\n";
        }
        for (const std::string& complaint : load.complaints) {
            head += list + ShownListText(complaint) + "\n";
        }
        WriteText(out_, head);
    }

    void Add(const FileResult& result) override {
        if (result.status == Status::kOk && !verbose_) {
            return;
        }
        progress_.Clear();
        const std::string where =
            result.Installed() ? "installed" : "disc " + std::to_string(result.group);
        std::string line = StatusName(result.status);
        line.resize(10, ' ');
        line += "  " + where + "  " + ShownListText(result.name);
        const std::string detail = Detail(result);
        if (!detail.empty()) {
            line += "  " + detail;
        }
        if (result.hasPath) {
            line += "  " + ShownSystemText(result.path);
        }
        line += '\n';
        WriteText(out_, line);
    }

    void Finish(const RunTotals& totals) override {
        const Tally& tally = totals.tally;
        char counts[256];
        std::snprintf(counts, sizeof counts,
                      ": %" PRIu64 " ok, %" PRIu64 " failed (%" PRIu64 " missing, %" PRIu64
                      " size, %" PRIu64 " crc, %" PRIu64 " read-error, %" PRIu64 " no-value)\n",
                      tally.Count(Status::kOk), tally.Failed(), tally.Count(Status::kMissing),
                      tally.Count(Status::kSize), tally.Count(Status::kCrc),
                      tally.Count(Status::kReadError), tally.Count(Status::kNoValue));
        std::string text;
        if (verbose_) {
            for (const GroupReading& reading : totals.readings) {
                text += Described(reading) + "\n";
            }
        }
        text += CountText(tally.files, "file") + counts + AmountAndSpeed(totals);
        if (totals.stopped) {
            text += "stopped before every listed file was verified: " +
                    std::to_string(totals.notReached) + " not reached\n";
        }
        WriteText(out_, text);
    }

  private:
    std::FILE* out_;
    bool verbose_;
    ProgressLine& progress_;
};

}  // namespace

std::unique_ptr<VerifyReport> MakeTextReport(std::FILE* out, const ListLoad& load, bool verbose,
                                             ProgressLine& progress) {
    return std::make_unique<TextReport>(out, load, verbose, progress);
}

}  // namespace crclist
