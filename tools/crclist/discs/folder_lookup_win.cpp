#include "tools/crclist/discs/folder_lookup.h"
#include "tools/crclist/text/encoding.h"

namespace crclist {

bool FolderLookup::Find(const std::string& sjisName, std::string* path) {
    // The system finds the name without regard to case when the file is opened, as it does for
    // the program; the Shift-JIS name goes to it through UTF-16, whatever the code page.
    std::string utf8;
    if (!SjisToUtf8Exact(sjisName, &utf8)) {
        return false;
    }
    std::string base = root_;
    if (base.empty() || (base.back() != '\\' && base.back() != '/')) {
        base += '\\';
    }
    *path = base + utf8;
    return true;
}

}  // namespace crclist
