// One piece of a file read in reads of a buffer's size from where its bytes lie, each taken
// into the CRC at once, while the copy that the system made is still in the core's cache.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "tools/crclist/reading/byte_source.h"
#include "tools/crclist/reading/file_digest.h"
#include "tools/crclist/reading/positional_file.h"

namespace crclist {

// What one thread reads with, and whom it tells.
struct PieceReader {
    ReadScratch& scratch;
    // Asked before each read: true ends the piece as kStopped.
    std::function<bool()> stop;
    // Told of the bytes of each read.
    std::function<void(std::uint64_t count)> bytesRead;
};

// Where a file's bytes lie: a file of its own, whose end is watched, or extents of a source.
struct FileBytes {
    const ByteSource* source = nullptr;
    const std::vector<Extent>* extents = nullptr;
    // The file of its own, when `source` is it: it may grow or shrink while it is read.
    const PositionalFile* own = nullptr;
};

struct PieceRead {
    FileDigest::Outcome outcome = FileDigest::Outcome::kRead;  // or kReadError, kChanged, kStopped
    std::uint32_t crc = 0;                                     // kRead: of the piece
    // kChanged: where the file ended before the piece did, or its size when it went on past.
    std::uint64_t end = 0;
    std::string reason;  // kReadError: why, and at which byte of the file
};

// Reads `length` bytes of the file from `offset` on. The last piece of a file of its own
// (`last`) also makes sure that the file ends there: its last read asks for a byte more, and a
// file that gives it has grown.
PieceRead ReadPiece(const FileBytes& bytes, std::uint64_t offset, std::uint64_t length, bool last,
                    PieceReader& reader);

}  // namespace crclist
