// A disc that is an image or a drive, read straight from the file or the device: no mounting,
// no root. Its file system is chosen as Windows chooses it: UDF when the disc has it, else the
// Joliet tree, else the primary ISO 9660 tree; never Rock Ridge. The image is listed once when
// it is opened; each reading then reads the files asked for where their data lies, in the
// order in which the image holds them.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/crclist/discs/disc_reader.h"
#include "tools/crclist/discs/folder_names.h"
#include "tools/crclist/discs/medium.h"
#include "tools/crclist/images/image_file_system.h"
#include "tools/crclist/images/sector_view.h"
#include "tools/crclist/reading/file_batch.h"

namespace crclist {

class ImageReader : public DiscReader, private FolderTree {
  public:
    ImageReader(const ImageReader&) = delete;
    ImageReader& operator=(const ImageReader&) = delete;
    ~ImageReader() override = default;

    // Opens the disc at `image` (any form that images/image_track.h reads) and lists it; `where`
    // is the disc as the user named it (the image, or the folder where its drive is mounted).
    // Null, with the reason in `error` naming the image, when it is in no form that is read,
    // or it is damaged or cut short.
    static std::unique_ptr<ImageReader> Open(const std::string& image, const std::string& where,
                                             std::string* error);

    void Read(const std::vector<std::string>& names, ReadObserver& observer) override;
    // `skip` is for folders: a list being written is never inside an image.
    bool ListFiles(const std::string& skip, const ListingFilter& leaveOut,
                   std::vector<DiscFile>* files, std::vector<std::string>* problems) override;
    bool ReadSmallFile(const std::string& name, std::string* bytes, std::string* where,
                       std::string* error) override;

  private:
    ImageReader(std::string image, std::string where)
        : DiscReader(std::move(where)), image_(std::move(image)) {}
    // Plans a reading of the data of `order` (entries, in the order of their data), and puts
    // it in the order of the reading.
    void Plan(std::vector<std::size_t>* order);

    // The entry that Windows opens for the listed (Shift-JIS) `name`; false when none, or it
    // is a folder.
    bool Find(const std::string& name, std::size_t* entry);
    std::string PathOf(std::size_t entry) const;
    // Where the data of `entry` lies, for the reading engine.
    void Locate(std::size_t entry, FoundFile* found) const;

    const FolderNames* NamesIn(const std::string& path) override;
    std::string Join(const std::string& path, const std::string& name) const override;

    std::string image_;
    Medium medium_;
    PositionalFile file_;
    std::unique_ptr<SectorView> view_;
    std::unique_ptr<ImageFileSystem> fileSystem_;
    std::vector<ImageEntry> entries_;
    std::map<std::string, FolderNames> folders_;  // the names in each folder, by its path
    std::map<std::string, std::size_t> byPath_;   // every entry, by its path
};

}  // namespace crclist
