// A disc that is an ISO 9660 image (with Joliet or Rock Ridge names), read straight from the
// file through libarchive: no mounting, no root. The image is read once, in its own order, and
// only the files that were asked for are read in full.
#pragma once

#include <string>

#include "tools/crclist/files/disc_reader.h"

namespace crclist {

class ImageReader : public DiscReader {
  public:
    explicit ImageReader(std::string image) : image_(std::move(image)) {}

    // False, with the reason in `error`, when `image` cannot be read as an ISO 9660 image.
    static bool Check(const std::string& image, std::string* error);

    void Read(const std::vector<std::string>& names, ReadObserver& observer) override;
    // `skip` is for folders: a list being written is never inside an image.
    bool ListFiles(const std::string& skip, std::vector<DiscFile>* files,
                   std::vector<std::string>* problems) override;

  private:
    std::string image_;
};

}  // namespace crclist
