// The user data of a disc's sectors, 2048 bytes each, read from wherever it lies in a file: one
// sector after another in a plain image or a drive, or inside raw sectors of 2352 bytes (2448
// with subchannel data) behind their sync pattern and header. Every file system reader of an
// image reads through this, and the reading engine reads the files' data through it as a
// source of bytes, so that the form of the image is known in one place only.
//
// Reads are large, one system call each; raw sectors are read a whole read at a time, and each
// sector's data handed over where it lies in the read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/crclist/reading/positional_file.h"

namespace crclist {

constexpr std::size_t kSectorSize = 2048;

// Where a track's sectors lie in a file.
struct SectorLayout {
    std::uint64_t start = 0;       // where sector 0 begins
    std::uint32_t stride = 2048;   // the bytes a sector takes: 2048, 2336, 2352 or 2448
    std::uint32_t dataOffset = 0;  // where its user data begins: 0, 8, 16 (MODE1) or 24
    std::uint64_t sectors = 0;     // how many the track holds
};

class SectorView final : public ByteSource {
  public:
    // Reads the track that `layout` describes from `file`, which must stay open while the view
    // is read. The layout's sector count is cut to what the file holds.
    SectorView(const PositionalFile& file, const SectorLayout& layout);

    std::uint64_t Sectors() const { return layout_.sectors; }
    bool Raw() const { return layout_.stride != kSectorSize; }

    // Reads up to `count` sectors from `first` on into `out` (2048 bytes each), on one thread
    // at a time; `*got` is less only at the end of the track. False on a read error.
    bool ReadSectors(std::uint64_t first, std::size_t count, unsigned char* out, std::size_t* got);

    // Whether the sectors that hold the `length` bytes of user data at `offset` are in the
    // system's memory, as it tells without reading them; false also when it cannot tell.
    bool Cached(std::uint64_t offset, std::uint64_t length) const;

    // As a source for the reading engine, on any thread: the user data from byte `offset` on,
    // counted as if the sectors' data lay one after another.
    bool Read(std::uint64_t offset, std::size_t count, ReadScratch& scratch, const SpanSink& take,
              std::size_t* got, std::string* reason) const override;

  private:
    const PositionalFile& file_;
    SectorLayout layout_;
    ReadScratch scratch_;  // of ReadSectors
};

}  // namespace crclist
