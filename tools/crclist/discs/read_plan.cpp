#include "tools/crclist/discs/read_plan.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "tools/crclist/reading/file_batch.h"
#include "tools/crclist/reading/mapped_request.h"
#include "tools/crclist/reading/positional_file.h"

namespace crclist {

std::size_t PlannedStreams(bool seeking, bool cached, std::size_t jobs) {
    const std::size_t machine = MachineReadShape().helpers + 1;
    if (jobs > 0) {
        return std::min(jobs, machine);
    }
    return seeking && !cached ? 1 : machine;
}

ReadPlan PlanFiles(const std::vector<std::string>& paths, const Medium& medium, std::size_t jobs,
                   std::vector<std::size_t>* order) {
    ReadPlan plan;
    plan.medium = medium.kind;
    plan.seeking = medium.Seeking();
    order->resize(paths.size());
    std::iota(order->begin(), order->end(), std::size_t{0});
    if (!plan.seeking || jobs > 0) {
        plan.streams = PlannedStreams(plan.seeking, false, jobs);
        return plan;
    }
    // The files are asked about without reading them: whether each is in memory, up to the
    // first that is not, and then where each lies on its disk.
    plan.cached = std::all_of(paths.begin(), paths.end(), [](const std::string& path) {
        PositionalFile file;
        FileFailure failure;
        std::uint64_t inMemory = 0;
        // A file that does not open is the reading's to tell about.
        return !file.Open(path, PositionalFile::Accept::kRegularFile, &failure) ||
               (file.CachedBytes(0, file.Size(), &inMemory) && inMemory == file.Size());
    });
    plan.streams = PlannedStreams(true, plan.cached, 0);
    if (plan.cached) {
        return plan;
    }
    constexpr std::uint64_t kUnknown = std::numeric_limits<std::uint64_t>::max();
    std::vector<std::uint64_t> places(paths.size(), kUnknown);
    for (std::size_t index = 0; index < paths.size(); ++index) {
        PositionalFile file;
        FileFailure failure;
        if (file.Open(paths[index], PositionalFile::Accept::kRegularFile, &failure)) {
            file.PhysicalOffset(&places[index]);
        }
    }
    std::stable_sort(order->begin(), order->end(),
                     [&places](std::size_t a, std::size_t b) { return places[a] < places[b]; });
    return plan;
}

Medium MediumOfFiles(const std::vector<std::string>& paths) {
    Medium worst;
    for (const std::string& path : paths) {
        const Medium medium = MediumOf(path);
        if (medium.Seeking() && !worst.Seeking()) {
            worst = medium;
        }
    }
    worst.device.clear();
    return worst;
}

ReadPlan ReadFilesPlanned(const std::vector<std::string>& paths, const std::string& where,
                          std::size_t jobs, ReadObserver& observer) {
    std::vector<std::size_t> order;
    ReadPlan plan = PlanFiles(paths, MediumOfFiles(paths), jobs, &order);
    plan.where = where;
    ReadFileBatchInOrder(
        order,
        [&](std::size_t index, FoundFile* found) {
            found->path = paths[index];
            return true;
        },
        observer, plan.Shape());
    return plan;
}

}  // namespace crclist
