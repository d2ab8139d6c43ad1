#include "tools/crclist/discs/disc_reader.h"

#include "tools/crclist/discs/folder_reader.h"
#include "tools/crclist/discs/image_reader.h"

namespace crclist {

bool OpenDisc(const std::string& where, std::unique_ptr<DiscReader>* reader, std::string* error) {
    std::string root = where;
    switch (WhatIsAt(where, &root)) {
        case DiscPlace::kFolder:
            *reader = std::make_unique<FolderReader>(root);
            return true;
        case DiscPlace::kImage:
            *reader = ImageReader::Open(where, error);
            return *reader != nullptr;
        case DiscPlace::kNone:
            break;
    }
    *error = where + ": no such folder, disc image or drive";
    return false;
}

bool OpenedDiscs::Open(const std::vector<std::string>& wheres, std::string* error) {
    wheres_ = wheres;
    for (const std::string& where : wheres) {
        std::unique_ptr<DiscReader>& reader = readers_[where];
        if (!reader && !OpenDisc(where, &reader, error)) {
            readers_.erase(where);
            return false;
        }
    }
    return true;
}

}  // namespace crclist
