// How a reading goes: with how many streams and in which order, as its medium and the page
// cache decide, or as the user says with --jobs. Every reader reads with every processor where
// that is fast, in memory and on flash; a medium that seeks is read as one stream, in the order
// in which it holds the data, since several streams make it seek between them on almost every
// request.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
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

// Whether the items to read are asked about first, where they lie and whether they are in
// memory: only on a medium that seeks, and only when the user left the threads to the plan
// (`jobs` 0).
bool AsksAboutItems(const Medium& medium, std::size_t jobs);

// The plan where the items are not asked about. Its streams: at most `jobs` when the user gave
// a number (above 0), else one for a medium that seeks and every processor's for the others.
ReadPlan PlanUnasked(const Medium& medium, std::size_t jobs);

// Whether item `index` must come from the medium, not from memory; if so, where it lies there,
// in `*place`, when that can be told (left as it is when not).
using ItemOnMedium = std::function<bool(std::size_t index, std::uint64_t* place)>;

// The plan of reading `count` items, and `*order`, the order to read them in. Unasked, as
// given. Asked: all in memory, with every processor, as given; none, one stream in the order of
// their places; some, with every processor, as given, those on the medium one at a time, in
// turns.
ReadPlan PlanItems(const Medium& medium, std::size_t jobs, std::size_t count,
                   const ItemOnMedium& onMedium, std::vector<std::size_t>* order);

// The plan for reading the files at `paths` (system encoding) from `medium`, and `*order`, the
// order to read them in, as PlanItems makes them: a file is in memory when the system holds all
// its bytes, and lies where its data starts on its disk where the system tells it (FIEMAP);
// those it does not come after the rest.
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
