// The file system of a disc image as Windows shows it, read through a sector view: the folders
// and files with their names and sizes, and the data of the files asked for. One for ISO 9660
// (through libarchive) and one for UDF (through libudfread); the image reader above them finds
// names and makes the digests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/crclist/images/sector_view.h"
#include "tools/crclist/reading/fast_crc.h"

namespace crclist {

struct ImageEntry {
    std::vector<std::string> components;  // UTF-8, one name a folder
    bool folder = false;
    std::uint64_t size = 0;
    // The entry whose data this is: itself, or the first of several names that share data.
    std::size_t dataOf = 0;
};

// The data of one entry, a block at a time.
class EntryData {
  public:
    enum class Block { kData, kEnd, kError };
    // The next block and its place in the file; a gap before it holds zeros.
    virtual Block NextBlock(const void** block, std::size_t* size, std::uint64_t* offset) = 0;
    // The CRC of `crc`'s bytes followed by the `size` bytes at `data`, a block that NextBlock
    // gave or a part of one: a reader that took CRCs as it read gives it from those.
    virtual std::uint32_t ContinueCrc(std::uint32_t crc, const void* data, std::size_t size) {
        return FastCrc32(crc, data, size);
    }

  protected:
    ~EntryData() = default;
};

// Told of each entry that was asked for, with its data; false ends the reading.
using EntryVisitor = std::function<bool(std::size_t entry, EntryData& data)>;

// Images with more entries than this are refused: no disc holds so many, and a damaged
// directory could otherwise claim millions.
constexpr std::size_t kMostImageEntries = std::size_t{1} << 20;

class ImageFileSystem {
  public:
    virtual ~ImageFileSystem() = default;
    // Every folder and file, in the order the medium holds them. False, with the reason in
    // `problem`, when the tree cannot be read to its end or a file's data lies past the end of
    // the image.
    virtual bool List(std::vector<ImageEntry>* entries, std::string* problem) = 0;
    // Visits the entries `wanted` (indices into the listing, each the holder of its data) in the
    // order that reads the medium forward. False, with the reason in `problem`, when the
    // reading broke off before every one was visited; a false from the visitor is no problem.
    virtual bool ReadData(const std::vector<std::size_t>& wanted, const EntryVisitor& visit,
                          std::string* problem) = 0;
};

// The ISO 9660 tree of `view`: the Joliet tree when the disc has one, else the primary tree
// with its names taken as Shift-JIS; Rock Ridge never. `volumeSectors` is the size that the
// primary volume descriptor gives.
std::unique_ptr<ImageFileSystem> IsoFileSystem(SectorView& view, bool joliet,
                                               std::uint64_t volumeSectors);

// The UDF file system of `view`; null, with the reason in `problem`, when it cannot be opened.
std::unique_ptr<ImageFileSystem> UdfFileSystem(SectorView& view, std::string* problem);

}  // namespace crclist
