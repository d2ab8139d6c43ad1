#include <sys/stat.h>

#include "tools/crclist/discs/disc_reader.h"

namespace crclist {

DiscPlace WhatIsAt(const std::string& where, std::string* /*root*/) {
    struct stat info;
    if (::stat(where.c_str(), &info) != 0) {
        return DiscPlace::kNone;
    }
    if (S_ISDIR(info.st_mode)) {
        return DiscPlace::kFolder;
    }
    // A drive's device holds the disc's sectors as a plain image does; anything else is
    // refused by the image's reader, which says why.
    return DiscPlace::kImage;
}

}  // namespace crclist
