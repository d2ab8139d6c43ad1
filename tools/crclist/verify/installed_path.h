// The path of an installed file, read from the title's registry key as the program reads it:
// with the program's own registry code on Windows (engine/registry.h). Elsewhere there is no
// registry to read.
#pragma once

#include <string>

#include "inf/check_list.h"

namespace crclist {

// Whether there is a registry, and it can be read by the names that `list` gives (its key and the
// value names of [REG], Shift-JIS). The program's own reading passes them to Windows as they are,
// so that Windows must take them in code page 932: on Windows 11 the manifest of crclist.exe asks
// for it, but older Windows keep the system's code page. False, with `why` and what to do, when a
// name that is not plain ASCII would be read in another code page.
bool InstalledNamesReadable(const CheckList& list, std::string* why);

// The path held by the value `entry.name` of HKEY_CURRENT_USER\<gameKey>, up to its first
// zero byte, in UTF-8. False when the key or the value cannot be read, or the value holds more
// than 512 bytes.
bool ReadInstalledFilePath(const std::string& gameKey, const FileEntry& entry, std::string* path);

}  // namespace crclist
