// A Nero image (.nrg): the disc's sectors as they were burnt, followed by a chain of chunks
// that says where each track lies, found through a footer at the file's very end: "NERO" and a
// 32-bit offset (version 1) or "NER5" and a 64-bit one (version 2). The tracks come from the
// disc-at-once chunk (DAOI, DAOX) or the track-at-once one (ETNF, ETN2). Every number is
// big-endian.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/crclist/reading/positional_file.h"

namespace crclist {

struct NeroTrack {
    std::uint64_t start = 0;  // where its sectors begin in the file (index 1)
    std::uint64_t end = 0;    // where they end
    bool audio = false;
};

// Whether `file` ends with a Nero footer.
bool IsNeroImage(const PositionalFile& file);

// The tracks of the Nero image `file`, in order. False, with the reason in `error`, when its
// chunks cannot be read, end before END!, or name no track, or a track lies outside the file.
bool ReadNeroTracks(const PositionalFile& file, std::vector<NeroTrack>* tracks, std::string* error);

}  // namespace crclist
