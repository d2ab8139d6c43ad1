// A cue sheet (.cue): the files of a CD image and the tracks in each, as image tools write
// them, one FILE for the whole disc or one for each track. Only what finds a track's sectors
// is kept.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace crclist {

struct CueTrack {
    int number = 0;
    std::string file;          // the FILE that holds it, as the sheet names it
    std::string fileType;      // BINARY, MOTOROLA, WAVE, ..., in upper case
    std::string mode;          // AUDIO, MODE1/2048, MODE1/2352, MODE2/2352, ..., in upper case
    std::int64_t pregap = -1;  // INDEX 00, in sectors from the start of its file; -1: none
    std::int64_t start = -1;   // INDEX 01, likewise
};

// The tracks of `text`, in order. False, with the line and the reason in `error`, when it is
// no cue sheet: a TRACK before any FILE, an INDEX outside a track, a time that is not
// mm:ss:ff, a track without INDEX 01, or no track at all.
bool ParseCueSheet(const std::string& text, std::vector<CueTrack>* tracks, std::string* error);

// The bytes a sector of a data track of `mode` takes in its file: 2048, 2336 or 2352; 0 for
// audio and for the modes that are not read (CDG).
std::uint32_t CueSectorSize(const std::string& mode);

}  // namespace crclist
