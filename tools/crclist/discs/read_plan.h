// How a reading goes: with how many streams and in which order, as its medium and the page
// cache decide, or as the user says with --jobs. Every reader reads with every processor where
// that is fast, in memory and on flash; a medium that seeks is read as one stream, in the order
// in which it holds the data, since several streams make it seek between them on almost every
// request.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "tools/crclist/discs/medium.h"
#include "tools/crclist/reading/read_observer.h"
#include "tools/crclist/reading/read_shape.h"

namespace crclist {

struct ReadPlan {
    std::string where;  // what is read, as the user named it, for the report
    Medium::Kind medium = Medium::Kind::kOther;
    bool seeking = false;
    // Every byte to be read is in memory already, as the system told without touching the
    // medium: it is read with every processor whatever the medium.
    bool cached = false;
    // The reading that follows from it: its threads, and the files that must come from a
    // medium that seeks, read one at a time in turns (shape.fromMedium).
    ReadShape shape = ReadShapeOfStreams(1);

    // The threads that read.
    std::size_t Streams() const { return shape.helpers + 1; }
    // How many files come from the medium one at a time.
    std::size_t FromMedium() const {
        return static_cast<std::size_t>(
            std::count(shape.fromMedium.begin(), shape.fromMedium.end(), true));
    }
};

// The plan where the files are not asked about: on a medium that does not seek, or with the
// threads that the user gave (`jobs` above 0).
ReadPlan PlanUnasked(const Medium& medium, std::size_t jobs);

// The order and the plan of reading items from a medium that seeks, `inMemory[i]` saying
// whether item i is in memory and `places[i]` where it lies on the medium. All in memory: read
// with every processor, in the order given. None: one stream, in the order of their places.
// Some: with every processor, in the order given, those on the medium one at a time, in turns.
void PlanAroundMemory(const std::vector<bool>& inMemory, const std::vector<std::uint64_t>& places,
                      ReadPlan* plan, std::vector<std::size_t>* order);

// The streams of a reading: at most `jobs` when the user gave a number (above 0), else every
// processor's for a medium that does not seek or for data in memory, and one for a medium that
// seeks.
std::size_t PlannedStreams(bool seeking, bool cached, std::size_t jobs);

// The plan for reading the files at `paths` (system encoding) from `medium`, and `*order`, the
// order to read them in: as given, or, when they come from a medium that seeks, those in memory
// first and then the others in the order in which it holds them where the system tells it
// (FIEMAP), those it does not after the rest.
ReadPlan PlanFiles(const std::vector<std::string>& paths, const Medium& medium, std::size_t jobs,
                   std::vector<std::size_t>* order);

// The medium that the files at `paths` lie on, taken together: the one that seeks, when any
// does.
Medium MediumOfFiles(const std::vector<std::string>& paths);

// Reads the files at `paths` as files 0 to n-1 of `observer`'s request, as PlanFiles plans it
// for their media; gives the plan, whose `where` is `where`.
ReadPlan ReadFilesPlanned(const std::vector<std::string>& paths, const std::string& where,
                          std::size_t jobs, ReadObserver& observer);

}  // namespace crclist
