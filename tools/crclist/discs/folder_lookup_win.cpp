#include "tools/crclist/discs/folder_lookup.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/path_join.h"
#include "tools/crclist/text/windows_text.h"

namespace crclist {

bool FolderLookup::Find(const std::string& sjisName, std::string* path) {
    // The system finds the name without regard to case when the file is opened, as it does for
    // the program; the Shift-JIS name goes to it through UTF-16, whatever the code page.
    std::string utf8;
    if (!SjisToUtf8Exact(sjisName, &utf8)) {
        return false;
    }
    *path = JoinSystemPath(root_, utf8);
    return true;
}

// The system finds names itself: the tree is never walked here.
const FolderNames* FolderLookup::NamesIn(const std::string& /*path*/) {
    return nullptr;
}

std::string FolderLookup::Join(const std::string& path, const std::string& name) const {
    return JoinSystemPath(path, name);
}

bool FolderLookup::Exists(const std::string& path) const {
    std::wstring wide;
    return ToWide(CP_UTF8, path, &wide) &&
           GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace crclist
