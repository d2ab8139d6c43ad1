#include "tools/crclist/discs/disc_reader.h"

#include "tools/crclist/discs/folder_reader.h"
#include "tools/crclist/discs/image_reader.h"
#include "tools/crclist/discs/medium.h"

namespace crclist {

bool OpenDisc(const std::string& where, std::unique_ptr<DiscReader>* reader, std::string* error) {
    std::string root = where;
    switch (WhatIsAt(where, &root)) {
        case DiscPlace::kFolder: {
            // An optical disc mounted here is read through its drive when the drive opens: as
            // Windows shows it, and in the order in which the disc holds it.
            const Medium medium = MediumOf(root);
            if (!medium.device.empty()) {
                std::string ignored;
                *reader = ImageReader::Open(medium.device, where, &ignored);
                if (*reader) {
                    return true;
                }
            }
            *reader = std::make_unique<FolderReader>(where, root, medium);
            return true;
        }
        case DiscPlace::kImage:
            *reader = ImageReader::Open(where, where, error);
            return *reader != nullptr;
        case DiscPlace::kNone:
            break;
    }
    *error = where + ": no such folder, disc image or drive";
    return false;
}

bool OpenedDiscs::Open(const std::vector<std::string>& wheres, std::string* error,
                       std::size_t jobs) {
    wheres_ = wheres;
    for (const std::string& where : wheres) {
        std::unique_ptr<DiscReader>& reader = readers_[where];
        if (!reader && !OpenDisc(where, &reader, error)) {
            readers_.erase(where);
            return false;
        }
        reader->SetJobs(jobs);
    }
    return true;
}

}  // namespace crclist
