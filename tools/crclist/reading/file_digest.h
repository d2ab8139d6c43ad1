// What reading a file for its size and CRC-32 gives (file_batch.h reads them). The verdict on
// a digest is made elsewhere (verify/verdict.h).
#pragma once

#include <cstdint>
#include <string>

namespace crclist {

// What reading a file gave.
struct FileDigest {
    enum class Outcome {
        kMissing,    // not found, or not a regular file
        kNotRead,    // found; its content was not wanted (its size differed)
        kRead,       // read from start to end: `crc` is its CRC-32
        kReadError,  // it is there but cannot be opened, or the system failed a read
        kChanged,    // it ended before its size or went on past it while it was read
        kStopped,    // a stop was requested while it was read
    };
    Outcome outcome = Outcome::kMissing;
    // Where it was found, or looked for, in the system's encoding.
    std::string path;
    // Its size when it was opened; for kChanged, how much it held as it was read. Known only
    // with `sized`: a file that cannot be opened has none.
    std::uint64_t size = 0;
    bool sized = false;
    std::uint32_t crc = 0;
    // For kMissing and kReadError: why, in words that follow the file's name ("not found",
    // "not a regular file", "permission denied", "input/output error at byte 4096"). Empty
    // where the reader cannot tell.
    std::string reason;
};

}  // namespace crclist
