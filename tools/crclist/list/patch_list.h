// Rewriting the numbers of a list's entries in place: each changed size or CRC replaces the
// bytes of its own token, in the form that make writes, and nothing else changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/crclist/list/list_reading.h"

namespace crclist {

struct EntryUpdate {
    std::size_t entry = 0;  // index into the reading's entries
    std::int32_t size = 0;
    std::uint32_t crc = 0;
};

// The file's bytes with the numbers of `updates` where they differ from what the program
// reads now; `changed` gets the updates that changed something. False, with `problem` set,
// when a number to change stands in a token that cannot take another (a cut-off word).
bool ApplyUpdates(const ListReading& reading, const std::vector<EntryUpdate>& updates,
                  std::string* bytes, std::vector<EntryUpdate>* changed, std::string* problem);

// The check list that the program should read after the updates.
CheckList UpdatedList(const ListReading& reading, const std::vector<EntryUpdate>& updates);

}  // namespace crclist
