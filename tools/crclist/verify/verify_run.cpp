#include "tools/crclist/verify/verify_run.h"

#include <chrono>
#include <map>

#include "tools/crclist/reading/mapped_request.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/shown_text.h"
#include "tools/crclist/verify/installed_path.h"

namespace crclist {
namespace {

// Follows the reading of one group of listed files (a disc group, or the installed files)
// and passes the verdicts on in list order.
class GroupRun : public ReadObserver {
  public:
    GroupRun(const std::vector<FileEntry>& entries, int group, ResultSink& sink,
             ProgressLine& progress, const std::function<bool()>& stopRequested, RunTotals& totals)
        : entries_(entries),
          group_(group),
          sink_(sink),
          progress_(progress),
          stopRequested_(stopRequested),
          totals_(totals) {}

    bool WantContent(std::size_t index, std::uint64_t size) const override {
        // As the program does: a file of another size is not read.
        return SizeMatches(entries_[index].size, size);
    }
    void NowReading(std::size_t index) override {
        progress_.SetName(ShownListText(entries_[index].name));
    }
    void BytesRead(std::uint64_t count) override {
        totals_.bytes += count;
        progress_.Add(count);
    }
    bool StopRequested() override {
        if (!totals_.stopped && stopRequested_()) {
            totals_.stopped = true;
        }
        return totals_.stopped;
    }
    void Done(std::size_t index, const FileDigest& digest) override {
        Put(index, Judge(entries_[index], digest));
    }

    // The verdict when no digest could be made: the registry value cannot be read.
    void NoValue(std::size_t index) {
        FileResult result;
        result.name = entries_[index].name;
        result.expectedSize = entries_[index].size;
        result.expectedCrc = entries_[index].crc;
        result.status = Status::kNoValue;
        Put(index, result);
    }

    // Passes on what is left after a stop, gaps skipped.
    void Flush() {
        for (const auto& [index, result] : waiting_) {
            Emit(result);
        }
        waiting_.clear();
    }

  private:
    void Put(std::size_t index, FileResult result) {
        result.group = group_;
        if (index != next_) {
            waiting_.emplace(index, std::move(result));
            return;
        }
        Emit(result);
        ++next_;
        while (!waiting_.empty() && waiting_.begin()->first == next_) {
            Emit(waiting_.begin()->second);
            waiting_.erase(waiting_.begin());
            ++next_;
        }
    }
    void Emit(const FileResult& result) {
        totals_.tally.Add(result);
        sink_.Add(result);
    }

    const std::vector<FileEntry>& entries_;
    const int group_;  // 0 for the installed files
    ResultSink& sink_;
    ProgressLine& progress_;
    const std::function<bool()>& stopRequested_;
    RunTotals& totals_;
    // The verdicts that came before one that is listed earlier, by index: left by a reading
    // in the order of its medium (an image, a disc that seeks) and by threads that finish
    // out of turn.
    std::map<std::size_t, FileResult> waiting_;
    std::size_t next_ = 0;
};

std::uint64_t SumOfSizes(const std::vector<FileEntry>& entries) {
    std::uint64_t sum = 0;
    for (const FileEntry& entry : entries) {
        sum += entry.size > 0 ? static_cast<std::uint64_t>(entry.size) : 0;
    }
    return sum;
}

ReadPlan VerifyInstalled(const CheckList& list, std::size_t jobs, GroupRun& run) {
    // Every path first, each from the registry, then the files that have one in one batch.
    std::vector<std::string> paths;
    std::vector<std::vector<std::size_t>> entries;
    for (std::size_t index = 0; index < list.installedFiles.size(); ++index) {
        std::string path;
        if (!ReadInstalledFilePath(list.gameKey, list.installedFiles[index], &path)) {
            run.NoValue(index);
            continue;
        }
        paths.push_back(std::move(path));
        entries.push_back({index});
    }
    MappedRequest request(std::move(entries), run);
    return ReadFilesPlanned(paths, "the installed files", jobs, request);
}

// How many files `plan` verifies.
std::uint64_t ListedFiles(const CheckList& list, const VerifyPlan& plan) {
    std::uint64_t count = plan.installed ? list.installedFiles.size() : 0;
    for (std::size_t group = 0; group < plan.discs.size() && group < list.discGroups.size();
         ++group) {
        count += list.discGroups[group].size();
    }
    return count;
}

}  // namespace

std::uint64_t ListedBytes(const CheckList& list, const VerifyPlan& plan) {
    std::uint64_t sum = 0;
    for (std::size_t group = 0; group < plan.discs.size() && group < list.discGroups.size();
         ++group) {
        sum += SumOfSizes(list.discGroups[group]);
    }
    return sum + (plan.installed ? SumOfSizes(list.installedFiles) : 0);
}

RunTotals RunVerification(const CheckList& list, const VerifyPlan& plan, ResultSink& sink,
                          ProgressLine& progress, const std::function<bool()>& stopRequested) {
    const auto start = std::chrono::steady_clock::now();
    RunTotals totals;
    for (std::size_t group = 0;
         group < plan.discs.size() && group < list.discGroups.size() && !totals.stopped; ++group) {
        const std::vector<FileEntry>& entries = list.discGroups[group];
        std::vector<std::string> names;
        names.reserve(entries.size());
        for (const FileEntry& entry : entries) {
            names.push_back(entry.name);
        }
        GroupRun run(entries, static_cast<int>(group) + 1, sink, progress, stopRequested, totals);
        plan.discs[group]->Read(names, run);
        run.Flush();
        totals.readings.push_back({static_cast<int>(group) + 1, plan.discs[group]->LastPlan()});
    }
    if (plan.installed && !totals.stopped) {
        GroupRun run(list.installedFiles, 0, sink, progress, stopRequested, totals);
        totals.readings.push_back({0, VerifyInstalled(list, plan.jobs, run)});
        run.Flush();
    }
    progress.Clear();
    totals.notReached = ListedFiles(list, plan) - totals.tally.files;
    totals.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return totals;
}

}  // namespace crclist
