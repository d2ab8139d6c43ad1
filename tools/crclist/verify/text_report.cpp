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
            return "not found";
        case Status::kSize:
            return "size " + std::to_string(result.size) + ", listed " +
                   std::to_string(result.expectedSize);
        case Status::kCrc:
            return "CRC " + CrcText(result.crc) + ", listed " + CrcText(result.expectedCrc);
        case Status::kReadError:
            return "read error";
        case Status::kNoValue:
            return "its registry value cannot be read";
    }
    return "";
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
        char summary[512];
        const int counted = std::snprintf(
            summary, sizeof summary,
            "%" PRIu64 " files: %" PRIu64 " ok, %" PRIu64 " failed (%" PRIu64 " missing, %" PRIu64
            " size, %" PRIu64 " crc, %" PRIu64 " read-error, %" PRIu64 " no-value)\n",
            tally.files, tally.Count(Status::kOk), tally.Failed(), tally.Count(Status::kMissing),
            tally.Count(Status::kSize), tally.Count(Status::kCrc), tally.Count(Status::kReadError),
            tally.Count(Status::kNoValue));
        std::snprintf(summary + counted, sizeof summary - static_cast<std::size_t>(counted),
                      "%" PRIu64 " bytes in %.3f s, %.1f MB/s\n", totals.bytes, totals.seconds,
                      totals.MegabytesPerSecond());
        std::string text = summary;
        if (totals.stopped) {
            text += "stopped before every listed file was verified\n";
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
