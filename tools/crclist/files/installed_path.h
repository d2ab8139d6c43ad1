// The path of an installed file, read from the title's registry key as the program reads it:
// with the program's own registry code on Windows (engine/registry.h). Elsewhere there is no
// registry to read.
#pragma once

#include <string>

#include "inf/check_list.h"

namespace crclist {

#ifdef _WIN32
constexpr bool kCanReadInstalledPaths = true;
#else
constexpr bool kCanReadInstalledPaths = false;
#endif

// The path held by the value `entry.name` of HKEY_CURRENT_USER\<gameKey>, up to its first
// zero byte, in the system's encoding. False when the key or the value cannot be read, or the
// value holds more than 512 bytes.
bool ReadInstalledFilePath(const std::string& gameKey, const FileEntry& entry, std::string* path);

}  // namespace crclist
