#include "tools/crclist/discs/disc_reader.h"
#include "tools/crclist/discs/folder_reader.h"
#include "tools/crclist/text/windows_text.h"

namespace crclist {

bool OpenDisc(const std::string& where, std::unique_ptr<DiscReader>* reader, std::string* error) {
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
}

}  // namespace crclist
