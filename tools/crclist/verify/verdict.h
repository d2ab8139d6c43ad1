// The verdict on one listed file, and the count of verdicts over a run.
#pragma once

#include <cstdint>
#include <string>

#include "inf/check_list.h"
#include "tools/crclist/reading/file_digest.h"

namespace crclist {

enum class Status { kOk, kMissing, kSize, kCrc, kReadError, kNoValue };
constexpr int kStatusCount = 6;

// "ok", "missing", "size", "crc", "read-error", "no-value".
const char* StatusName(Status status);

struct FileResult {
    int group = 0;  // a disc file's group (CDFILES), counted from 1; 0 for an installed file (REG)
    std::string name;  // as listed: Shift-JIS
    bool hasPath = false;
    std::string path;  // where it was found or looked for, in the system's encoding
    Status status = Status::kMissing;
    std::int32_t expectedSize = 0;
    std::uint32_t expectedCrc = 0;
    bool hasSize = false;  // `size` is known: the file was found
    std::uint64_t size = 0;
    bool hasCrc = false;  // `crc` is known: the file was read in full
    std::uint32_t crc = 0;
    // For `missing` and `read-error`: why, in words that follow the name ("not found",
    // "permission denied"); empty for every other verdict.
    std::string reason;

    bool Installed() const { return group == 0; }
};

// Compared in 64 bits, as the program compares: a file of 4 GiB + n bytes is not one of n
// bytes, and a negative listed size matches no file.
bool SizeMatches(std::int32_t expected, std::uint64_t found);

// The verdict on `entry` from what reading its file gave; not for a stopped reading. The size
// is tested before the CRC, so a file that was read in full but has another size is `size`.
FileResult Judge(const FileEntry& entry, const FileDigest& digest);

// The verdicts of a run, counted.
struct Tally {
    std::uint64_t files = 0;
    std::uint64_t byStatus[kStatusCount] = {};
    std::uint64_t Count(Status status) const { return byStatus[static_cast<int>(status)]; }
    std::uint64_t Failed() const { return files - Count(Status::kOk); }
    void Add(const FileResult& result) {
        ++files;
        ++byStatus[static_cast<int>(result.status)];
    }
};

}  // namespace crclist
