// How a reading is cut up: how many threads share it, how much one read takes and how much of
// a large file one thread takes at a time. Taken from the machine, not from a constant that
// suited one of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace crclist {

struct ReadShape {
    // Threads beside the calling one.
    std::size_t helpers = 0;
    // The bytes of one read, and so of each buffer. A read copies the data out of the page
    // cache, and the CRC reads the copy right after: an eighth of the core's second-level
    // cache keeps the data there and the source that streams past it, with room to spare
    // when the last-level cache is shared with other work.
    std::size_t readSize = std::size_t{128} << 10;
    // The bytes of a large file that one thread takes at a time, read in order: long enough
    // that the system's read-ahead follows each thread as a stream of its own.
    std::uint64_t pieceSize = std::uint64_t{4} << 20;
    // fromMedium[i]: file i's data must come from a medium that seeks, so that it is read whole
    // by one thread at a time, in the order of the request: one stream, whatever the threads.
    // Files beyond its end, and all when it is empty, are read by any thread, in pieces.
    std::vector<bool> fromMedium;
};

// The bytes of a core's second-level cache; 0 when the system does not tell.
std::size_t SecondLevelCacheBytes();

// The shape for this machine: a helper for each further processor that the process may run
// on, at most three, reads of an eighth of the
// second-level cache where the system tells its size, between 64 and 256 KiB.
ReadShape MachineReadShape();

// The same with at most `streams` threads reading at once (at least one: the calling thread).
ReadShape ReadShapeOfStreams(std::size_t streams);

}  // namespace crclist
