#include "tools/crclist/discs/disc_reader.h"
#include "tools/crclist/text/windows_text.h"

namespace crclist {

DiscPlace WhatIsAt(const std::string& where, std::string* root) {
    // "E:" alone would be the current folder of drive E:; a disc is always read from its root.
    *root = where;
    if (root->size() == 2 && (*root)[1] == ':') {
        *root += '\\';
    }
    std::wstring wide;
    const DWORD attributes =
        ToWide(CP_UTF8, *root, &wide) ? GetFileAttributesW(wide.c_str()) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return DiscPlace::kNone;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? DiscPlace::kFolder : DiscPlace::kImage;
}

}  // namespace crclist
