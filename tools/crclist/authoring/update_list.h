// What crclist update decides: the sizes and CRCs of a list's entries measured again on the
// files, and the list's bytes with each number that changed rewritten in place.
#pragma once

#include <string>
#include <vector>

#include "tools/crclist/authoring/entry_digest.h"
#include "tools/crclist/discs/disc_reader.h"
#include "tools/crclist/list/list_reading.h"
#include "tools/crclist/list/patch_list.h"

namespace crclist {

struct ListUpdate {
    std::string bytes;                 // the whole list, new numbers in place
    std::vector<EntryUpdate> changed;  // the entries whose size or CRC changed
    CheckList expected;                // what the program should read from `bytes`
    // The entries left as they are for want of a place: [CDFILES] ones without discs, [REG]
    // ones that no installed file names.
    std::size_t unplacedDiscEntries = 0;
    std::size_t unplacedInstalledEntries = 0;
};

// Measures the entries of `reading` that there is a place for: the [CDFILES] entries on
// `discs` (none when it is empty), each disc read once for all the entries looked for on it,
// and the [REG] entries that `installed` names (value names compared without case), each file
// once, with at most `jobs` threads (0: as many as suit their medium; the discs read as
// `discs` were told). False, with every problem in UTF-8, when a file looked for is missing,
// cannot be read or is too large for an entry, an installed name names no entry, or a number
// cannot be rewritten.
bool UpdateList(const ListReading& reading, const OpenedDiscs& discs,
                const std::vector<InstalledFile>& installed, std::size_t jobs, ListUpdate* update,
                std::vector<std::string>* problems);

// The line that tells a change: "FILE:LINE:COLUMN: NAME: size A -> B, crc X -> Y", FILE as
// `shownFile`.
std::string DescribeChange(const ListReading& reading, const std::string& shownFile,
                           const EntryUpdate& update);

}  // namespace crclist
