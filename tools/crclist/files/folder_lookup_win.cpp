#include "tools/crclist/files/folder_lookup.h"

namespace crclist {

bool FolderLookup::Find(const std::string& sjisName, std::string* path) {
    // CreateFileA takes the Shift-JIS bytes as they are, and the system finds the name
    // without regard to case, as it does for the program.
    std::string base = root_;
    if (base.empty() || (base.back() != '\\' && base.back() != '/')) {
        base += '\\';
    }
    *path = base + sjisName;
    return true;
}

}  // namespace crclist
