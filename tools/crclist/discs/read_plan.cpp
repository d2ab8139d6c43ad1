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
    ReadPlan plan = PlanUnasked(medium, jobs);
    order->resize(paths.size());
    std::iota(order->begin(), order->end(), std::size_t{0});
    if (!plan.seeking || jobs > 0) {
        return plan;
    }
    // Each file is asked about without reading it: whether it is in memory, and where on its
    // disk it lies when it is not.
    constexpr std::uint64_t kUnknown = std::numeric_limits<std::uint64_t>::max();
    std::vector<bool> inMemory(paths.size(), true);
    std::vector<std::uint64_t> places(paths.size(), kUnknown);
    for (std::size_t index = 0; index < paths.size(); ++index) {
        PositionalFile file;
        FileFailure failure;
        std::uint64_t cached = 0;
        // A file that does not open is the reading's to tell about.
        if (file.Open(paths[index], PositionalFile::Accept::kRegularFile, &failure) &&
            !(file.CachedBytes(0, file.Size(), &cached) && cached == file.Size())) {
            inMemory[index] = false;
            file.PhysicalOffset(&places[index]);
        }
    }
    PlanAroundMemory(inMemory, places, &plan, order);
    return plan;
}

void PlanAroundMemory(const std::vector<bool>& inMemory, const std::vector<std::uint64_t>& places,
                      ReadPlan* plan, std::vector<std::size_t>* order) {
    order->resize(inMemory.size());
    std::iota(order->begin(), order->end(), std::size_t{0});
    const auto fromMedium =
        static_cast<std::size_t>(std::count(inMemory.begin(), inMemory.end(), false));
    plan->cached = fromMedium == 0;
    if (fromMedium == inMemory.size() && !inMemory.empty()) {
        // Nothing in memory: one stream, in the order in which the medium holds the files.
        std::stable_sort(order->begin(), order->end(),
                         [&places](std::size_t a, std::size_t b) { return places[a] < places[b]; });
        plan->shape = ReadShapeOfStreams(1);
        plan->shape.fromMedium.assign(inMemory.size(), true);
        return;
    }
    // With some in memory (most often but a few pages that the system let go), the files stay
    // in the order given, so that their verdicts need not wait for each other, and those on the
    // medium take turns.
    plan->shape = ReadShapeOfStreams(PlannedStreams(true, true, 0));
    if (!plan->cached) {
        plan->shape.fromMedium = inMemory;
        plan->shape.fromMedium.flip();
    }
}

ReadPlan PlanUnasked(const Medium& medium, std::size_t jobs) {
    ReadPlan plan;
    plan.medium = medium.kind;
    plan.seeking = medium.Seeking();
    plan.shape = ReadShapeOfStreams(PlannedStreams(plan.seeking, false, jobs));
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
        observer, plan.shape);
    return plan;
}

}  // namespace crclist
