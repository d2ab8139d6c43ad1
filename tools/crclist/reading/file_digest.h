// What reading a file for its size and CRC-32 gives, and the reading of files named by their
// paths, such as the installed files of verify, make and update: one batch for them all. Disc
// readers make their requests through file_batch.h. The verdict on a digest is made elsewhere
// (verify/verdict.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/crclist/reading/read_observer.h"
#include "tools/crclist/reading/read_shape.h"

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

// Reads the files at `paths` (system encoding) as files 0 to n-1 of `observer`'s request, in
// one batch with the threads and reads of `shape`.
void ReadFilesAt(const std::vector<std::string>& paths, ReadObserver& observer,
                 const ReadShape& shape = MachineReadShape());

}  // namespace crclist
