// A check list as the program reads it, with the record of how it was read: every token with
// its place in the file, the sections, the values and the entries, and the fault where reading
// stopped. The reading is the program's own (LoadInfFile); this only listens to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "inf/check_list.h"
#include "inf/inf_observer.h"
#include "inf/token.h"

namespace crclist {

struct ReadToken {
    Token token;
    std::int32_t start = 0;  // first byte in the file
    std::int32_t end = 0;    // where the lexer stopped after it
};

struct ReadSection {
    std::int32_t keyword = 0;  // TokTitle, TokCdFiles, ...
    std::size_t bracket = 0;   // the token index of its '['
    int ordinal = 0;           // 1 for the first section with this keyword, and so on
};

struct ReadValue {
    std::size_t section = 0;  // index into sections
    std::size_t token = 0;
};

struct ReadEntry {
    std::size_t section = 0;
    std::size_t name = 0, size = 0, crc = 0;  // token indices
    FileEntry entry;
};

struct ListReading {
    std::string bytes;      // the whole file
    bool tooLarge = false;  // over 2147483647 bytes: not read at all
    bool loaded = false;    // what LoadInfFile returned
    CheckList list;
    std::vector<ReadToken> tokens;
    std::vector<ReadSection> sections;
    std::vector<ReadValue> values;
    std::vector<ReadEntry> entries;
    std::map<std::int32_t, int> sectionCounts;  // keyword -> how many sections have it
    std::vector<std::int32_t> lineStarts;       // the offset of each line's first byte
    bool faulted = false;
    InfFault fault = InfFault::kPassLimit;  // with faulted: why reading stopped at the last token

    std::int32_t Size() const { return static_cast<std::int32_t>(bytes.size()); }
    // The bytes of token `index` as the file has them (a punctuation token has no text of its
    // own; a cut-off word is the end token's source).
    std::string Source(std::size_t index) const;
    // "LINE:COLUMN" of a byte offset, both 1-based byte counts.
    std::string Place(std::int32_t offset) const;
};

// Reads the list at `source` (list_source.h: a path in the system's encoding, or "-" for
// standard input) into `reading`. False, with what is wrong in `problem`, when it cannot be
// read at all; a list the program refuses is still read, with `loaded` false.
bool ReadList(const std::string& source, ListReading* reading, std::string* problem);

// Kinds of token.
bool IsPunctuation(std::int32_t kind);  // no text of its own: + - * / ... [ ] ; , == ...
bool IsKeyword(std::int32_t kind);

}  // namespace crclist
