// The file system of a disc image as Windows shows it, read through a sector view: the folders
// and files with their names and sizes, and where each file's data lies. One for ISO 9660 and
// Joliet (our own reader) and one for UDF (through libudfread); the image reader above them
// finds names, and the reading engine reads the data from where they say.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/crclist/images/disc_volumes.h"
#include "tools/crclist/images/sector_view.h"
#include "tools/crclist/reading/byte_source.h"

namespace crclist {

struct ImageEntry {
    std::vector<std::string> components;  // UTF-8, one name a folder
    bool folder = false;
    std::uint64_t size = 0;
    // The entry whose data this is: itself, or the first of several names that share data.
    std::size_t dataOf = 0;
    // Where its `size` bytes lie, in order: in the view (counted in bytes of user data, as
    // SectorView reads them) or, when `source` is set, there.
    const ByteSource* source = nullptr;
    std::vector<Extent> extents;
};

// Images with more entries than this are refused: no disc holds so many, and a damaged
// directory could otherwise claim millions.
constexpr std::size_t kMostImageEntries = std::size_t{1} << 20;

class ImageFileSystem {
  public:
    virtual ~ImageFileSystem() = default;
    // Every folder and file. False, with the reason in `problem`, when the tree cannot be read
    // to its end or a file's data lies past the end of the image.
    virtual bool List(std::vector<ImageEntry>* entries, std::string* problem) = 0;
};

// The ISO 9660 tree of `view` as Windows shows it: the Joliet tree when the disc has one, else
// the primary tree with its names taken as Shift-JIS; Rock Ridge never.
std::unique_ptr<ImageFileSystem> IsoFileSystem(SectorView& view, const DiscVolumes& volumes);

// The UDF file system of `view`; null, with the reason in `problem`, when it cannot be opened.
std::unique_ptr<ImageFileSystem> UdfFileSystem(SectorView& view, std::string* problem);

}  // namespace crclist
