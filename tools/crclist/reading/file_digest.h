// Reading one file for its size and CRC-32 with the fast CRC: what the installed-files check
// does for each path, and what make and update do for an installed file. Disc readers read
// many at once (file_batch.h). The verdict on the result is made elsewhere (verify/verdict.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/crclist/reading/read_observer.h"
#include "tools/crclist/reading/read_shape.h"

namespace crclist {

// The read size, chosen by measuring: a 1 GiB file in the page cache read and taken into the
// CRC with ISA-L, median of five runs, two sweeps on the same machine: 64 KiB 8.1 and 6.7 GB/s,
// 128 KiB 9.2 and 7.6, 256 KiB 9.6 and 7.9, 512 KiB 7.5 and 8.3, 1 MiB 9.2 and 8.3, 4 MiB 9.2
// and 8.2. From 256 KiB up it is a plateau within the noise; its smallest size keeps a stop
// quick on a slow optical drive (a fifth of a second at 1x DVD speed) and the memory small.
constexpr std::size_t kReadSize = std::size_t{256} << 10;

// What reading a file gave.
struct FileDigest {
    enum class Outcome {
        kMissing,    // not found, or it cannot be opened or its size cannot be taken
        kNotRead,    // found; its content was not wanted (its size differed)
        kRead,       // read from start to end: `crc` is its CRC-32
        kReadError,  // the system reported an error while reading
        kChanged,    // it ended before its size or went on past it while it was read
        kStopped,    // a stop was requested while it was read
    };
    Outcome outcome = Outcome::kMissing;
    // Where it was found, or looked for, in the system's encoding.
    std::string path;
    // Its size when it was opened; for kChanged, how much it held as it was read.
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    // For kMissing and kReadError: why, in words that follow the file's name ("not found",
    // "not a regular file", "permission denied", "input/output error at byte 4096"). Empty
    // where the reader cannot tell.
    std::string reason;
};

// Reads the file at `path` (system encoding) as file `index` of `observer`'s request, with the
// threads and reads of `shape`. Calls all of `observer` but Done.
FileDigest DigestFile(const std::string& path, std::size_t index, ReadObserver& observer,
                      const ReadShape& shape = MachineReadShape());

}  // namespace crclist
