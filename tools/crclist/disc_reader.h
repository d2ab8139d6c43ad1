// The files of one disc, read from where the disc is: a folder (on Windows also a drive such as
// E:), or natively an ISO 9660 image read straight from the file. Every command that reads a
// disc's files for their sizes and CRCs goes through this, so that each kind of disc is read
// one way, in the order that suits it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/crclist/file_digest.h"

namespace crclist {

class DiscReader {
  public:
    virtual ~DiscReader() = default;

    // Reads the files with the names in `names`, as a check list gives them (Shift-JIS, '\'
    // between folders), found as Windows finds them: the exact name, else the letter case
    // ignored. Each file is read once, in the order that suits the medium: a folder in the
    // order of `names`, an image in its own order. `observer` learns of every index once
    // (Done), unless a stop was requested first.
    virtual void Read(const std::vector<std::string>& names, ReadObserver& observer) = 0;

    // The names of every file on the disc, in UTF-8 with '\' between folders, in byte order.
    // False when the disc cannot be read to its end.
    virtual bool ListFiles(std::vector<std::string>* names) = 0;
};

// The reader for the disc at `where`: a folder, or natively an ISO 9660 image. False with the
// reason in `error` when `where` is neither, or is an image on Windows, where Explorer mounts
// images as drives.
bool OpenDisc(const std::string& where, std::unique_ptr<DiscReader>* reader, std::string* error);

}  // namespace crclist
