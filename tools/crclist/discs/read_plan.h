// How a reading goes: with how many streams and in which order, as its medium and the page
// cache decide, or as the user says with --jobs. Every reader reads with every processor where
// that is fast, in memory and on flash; a medium that seeks is read as one stream, in the order
// in which it holds the data, since several streams make it seek between them on almost every
// request.
#pragma once

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
    std::size_t streams = 1;

    // The shape of the reading that follows from it.
    ReadShape Shape() const { return ReadShapeOfStreams(streams); }
};

// The streams of a reading: at most `jobs` when the user gave a number (above 0), else every
// processor's for a medium that does not seek or for data in memory, and one for a medium that
// seeks.
std::size_t PlannedStreams(bool seeking, bool cached, std::size_t jobs);

// The plan for reading the files at `paths` (system encoding) from `medium`, and `*order`, the
// order to read them in: as given, or, when they come from a medium that seeks, in the order
// in which it holds them where the system tells it (FIEMAP), those it does not after the rest.
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
