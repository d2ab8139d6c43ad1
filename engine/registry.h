// The title's registry key below HKEY_CURRENT_USER: whether it exists, and the paths of the
// installed files that its values hold. The program's checks and the crclist tool both read
// the registry through these two, so that the tool sees exactly what the program sees.
#pragma once

#include <string>

#include "inf/check_list.h"

// True when HKEY_CURRENT_USER\<keyPath> exists (can be opened); the key is closed at once.
// An empty path names HKEY_CURRENT_USER itself.
bool IsGameInstalled(const std::string& keyPath);

// The size of the path buffer of ReadInstalledPath, terminating zero included.
constexpr unsigned kInstalledPathBufferSize = 512;

// Reads the path held by the registry value `entry.name` of the key `keyPath` below
// HKEY_CURRENT_USER into `pathBuffer`, which is grown to 512 characters if shorter; afterwards
// the path is the buffer's text up to its first zero byte. False when the key cannot be
// opened or the value cannot be read, including data longer than 512 bytes.
bool ReadInstalledPath(const FileEntry& entry, const std::string& keyPath, std::string& pathBuffer);
