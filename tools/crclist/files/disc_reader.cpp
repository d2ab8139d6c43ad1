#include "tools/crclist/files/disc_reader.h"

#ifdef _WIN32
#include "tools/crclist/text/windows_text.h"
#else
#include <sys/stat.h>

#include "tools/crclist/files/image_reader.h"
#endif

#include "tools/crclist/files/folder_reader.h"

namespace crclist {

bool OpenDisc(const std::string& where, std::unique_ptr<DiscReader>* reader, std::string* error) {
#ifdef _WIN32
    // "E:" alone would be the current folder of drive E:; a disc is always read from its root.
    std::string root = where;
    if (root.size() == 2 && root[1] == ':') {
        root += '\\';
    }
    std::wstring wide;
    const DWORD attributes =
        ToWide(CP_UTF8, root, &wide) ? GetFileAttributesW(wide.c_str()) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        *error = where + ": no such folder or drive, or no disc in the drive";
        return false;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        *error = where +
                 " is a file: on Windows, mount a disc image in Explorer and give its drive, "
                 "such as E:";
        return false;
    }
    *reader = std::make_unique<FolderReader>(root);
    return true;
#else
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
#endif
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
