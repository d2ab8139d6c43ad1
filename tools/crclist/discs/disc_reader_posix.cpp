#include <sys/stat.h>

#include "tools/crclist/discs/disc_reader.h"
#include "tools/crclist/discs/folder_reader.h"
#include "tools/crclist/discs/image_reader.h"

namespace crclist {

bool OpenDisc(const std::string& where, std::unique_ptr<DiscReader>* reader, std::string* error) {
    struct stat info;
    if (::stat(where.c_str(), &info) != 0) {
        *error = where + ": no such folder or disc image";
        return false;
    }
    // A drive's device holds the disc's sectors as a plain image does.
    if (S_ISREG(info.st_mode) || S_ISBLK(info.st_mode)) {
        *reader = ImageReader::Open(where, error);
        return *reader != nullptr;
    }
    if (!S_ISDIR(info.st_mode)) {
        *error = where + " is neither a folder nor a disc image";
        return false;
    }
    *reader = std::make_unique<FolderReader>(where);
    return true;
}

}  // namespace crclist
