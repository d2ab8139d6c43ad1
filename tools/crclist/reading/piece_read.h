// One piece of a file read in reads of a buffer's size, each taken into the CRC at once, while
// the copy that the system made is still in the core's cache.
#pragma once

#include <cstdint>
#include <functional>

#include "tools/crclist/reading/file_digest.h"
#include "tools/crclist/reading/read_buffer.h"
#include "tools/crclist/reading/sequential_file.h"

namespace crclist {

// What one thread reads with, and whom it tells.
struct PieceReader {
    ReadBuffer& buffer;
    // Asked before each read: true ends the piece as kStopped.
    std::function<bool()> stop;
    // Told of the bytes of each read.
    std::function<void(std::uint64_t count)> bytesRead;
};

struct PieceRead {
    FileDigest::Outcome outcome = FileDigest::Outcome::kRead;  // or kReadError, kChanged, kStopped
    std::uint32_t crc = 0;                                     // kRead: of the piece
    // kChanged: where the file ended before the piece did, or its size when it went on past.
    std::uint64_t end = 0;
};

// Reads `length` bytes at `offset`. The last piece of a file (`last`) also makes sure that
// the file ends there: its last read asks for a byte more, and a file that gives it has grown.
PieceRead ReadPiece(const SequentialFile& file, std::uint64_t offset, std::uint64_t length,
                    bool last, PieceReader& reader);

}  // namespace crclist
