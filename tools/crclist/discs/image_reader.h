// A disc that is an image or a drive, read straight from the file or the device: no mounting,
// no root. Its file system is chosen as Windows chooses it: UDF when the disc has it, else the
// Joliet tree, else the primary ISO 9660 tree; never Rock Ridge. The image is listed once when
// it is opened; each reading then goes through it once, forward, reading only the files that
// were asked for.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/crclist/discs/disc_reader.h"
#include "tools/crclist/discs/name_lookup.h"
#include "tools/crclist/images/image_file_system.h"
#include "tools/crclist/images/sector_view.h"

namespace crclist {

class ImageReader : public DiscReader {
  public:
    ImageReader(const ImageReader&) = delete;
    ImageReader& operator=(const ImageReader&) = delete;
    ~ImageReader() override = default;

    // Opens the disc at `image` (any form image_track.h reads) and lists it. Null, with the
    // reason in `error` naming the image, when it is in no form that is read, or it is
    // damaged or cut short.
    static std::unique_ptr<ImageReader> Open(const std::string& image, std::string* error);

    void Read(const std::vector<std::string>& names, ReadObserver& observer) override;
    // `skip` is for folders: a list being written is never inside an image.
    bool ListFiles(const std::string& skip, const ListingFilter& leaveOut,
                   std::vector<DiscFile>* files, std::vector<std::string>* problems) override;
    // A copy of the file, removed with the reader.
    bool ReadSmallFile(const std::string& name, std::string* bytes, std::string* where,
                       std::string* error) override;

  private:
    explicit ImageReader(std::string image) : image_(std::move(image)) {}

    // The entry that Windows opens for the listed (Shift-JIS) `name`; false when none, or it
    // is a folder.
    bool Find(const std::string& name, std::size_t* entry) const;
    std::string PathOf(std::size_t entry) const;

    std::string image_;
    ImageFile file_;
    std::unique_ptr<SectorView> view_;
    std::unique_ptr<ImageFileSystem> fileSystem_;
    std::vector<ImageEntry> entries_;
    std::map<std::string, FolderNames> folders_;  // the names in each folder, by its path
    std::map<std::string, std::size_t> byPath_;   // every entry, by its path
};

}  // namespace crclist
