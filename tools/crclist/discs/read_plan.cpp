#include "tools/crclist/discs/read_plan.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "tools/crclist/reading/file_batch.h"
#include "tools/crclist/reading/mapped_request.h"
#include "tools/crclist/reading/positional_file.h"

namespace crclist {

namespace {

std::size_t MachineStreams() {
    return MachineReadShape().helpers + 1;
}

// The order and the plan of reading items from a medium that seeks, `inMemory[i]` saying
// whether item i is in memory and `places[i]` where it lies on the medium. All in memory: read
// with every processor, in the order given. None: one stream, in the order of their places.
// Some: with every processor, in the order given, those on the medium one at a time, in turns.
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
    plan->shape = ReadShapeOfStreams(MachineStreams());
    if (!plan->cached) {
        plan->shape.fromMedium = inMemory;
        plan->shape.fromMedium.flip();
    }
}

}  // namespace

bool AsksAboutItems(const Medium& medium, std::size_t jobs) {
    return medium.Seeking() && jobs == 0;
}

ReadPlan PlanUnasked(const Medium& medium, std::size_t jobs) {
    ReadPlan plan;
    plan.medium = medium.kind;
    plan.seeking = medium.Seeking();
    const std::size_t streams = jobs > 0       ? std::min(jobs, MachineStreams())
                                : plan.seeking ? 1
                                               : MachineStreams();
    plan.shape = ReadShapeOfStreams(streams);
    return plan;
}

ReadPlan PlanItems(const Medium& medium, std::size_t jobs, std::size_t count,
                   const ItemOnMedium& onMedium, std::vector<std::size_t>* order) {
    ReadPlan plan = PlanUnasked(medium, jobs);
    order->resize(count);
    std::iota(order->begin(), order->end(), std::size_t{0});
    if (!AsksAboutItems(medium, jobs)) {
        return plan;
    }
    constexpr std::uint64_t kUnknown = std::numeric_limits<std::uint64_t>::max();
    std::vector<bool> inMemory(count, true);
    std::vector<std::uint64_t> places(count, kUnknown);
    for (std::size_t index = 0; index < count; ++index) {
        inMemory[index] = !onMedium(index, &places[index]);
    }
    PlanAroundMemory(inMemory, places, &plan, order);
    return plan;
}

ReadPlan PlanFiles(const std::vector<std::string>& paths, const Medium& medium, std::size_t jobs,
                   std::vector<std::size_t>* order) {
    // Each file is asked about without reading it: whether it is in memory, and where on its
    // disk it lies when it is not.
    const auto onMedium = [&paths](std::size_t index, std::uint64_t* place) {
        PositionalFile file;
        FileFailure failure;
        std::uint64_t cached = 0;
        // A file that does not open is the reading's to tell about.
        if (!file.Open(paths[index], PositionalFile::Accept::kRegularFile, &failure) ||
            (file.CachedBytes(0, file.Size(), &cached) && cached == file.Size())) {
            return false;
        }
        file.PhysicalOffset(place);
        return true;
    };
    return PlanItems(medium, jobs, paths.size(), onMedium, order);
}

Medium MediumOfFiles(const std::vector<std::string>& paths) {
    Medium worst;
    // The first place that seeks decides; the rest need not be asked.
    for (std::size_t index = 0; index < paths.size() && !worst.Seeking(); ++index) {
        worst = MediumOf(paths[index]);
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
