// A CloneCD control file (.ccd): the tracks of the raw image (.img) beside it, each with its
// mode and where it starts. Only the [TRACK n] sections are read: they find the data track.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace crclist {

struct CcdTrack {
    int number = 0;
    int mode = 0;              // 0 audio, 1 MODE1, 2 MODE2
    std::int64_t pregap = -1;  // INDEX 0, in sectors from the start of the image; -1: none
    std::int64_t start = -1;   // INDEX 1, likewise
};

// Whether `text` begins as a CloneCD control file does, with its [CloneCD] section.
bool LooksLikeCcdSheet(const std::string& text);

// The tracks of `text`, in the order of their numbers. False, with the reason in `error`, when
// a track's number, mode or index is no number, a track has no INDEX 1, or there is no track.
bool ParseCcdSheet(const std::string& text, std::vector<CcdTrack>* tracks, std::string* error);

}  // namespace crclist
