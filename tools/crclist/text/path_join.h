// Paths of the three kinds that crclist puts together, each joined one way: paths of the
// system (a folder and a name in it), paths inside a disc image, and names as a check list
// writes them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace crclist {

// `name` inside `folder`, with the system's separator between them unless `folder` ends with
// one already; `name` alone when `folder` is empty.
std::string JoinSystemPath(const std::string& folder, const std::string& name);

// The separator that this system writes between folders: '/', on Windows '\'.
extern const char kSystemSeparator;

// The folder part of the system path `path`, up to and with its last separator; empty for a
// name in the current folder.
std::string FolderOfPath(const std::string& path);

// Whether `c` separates folders in a path of this system: '/', and on Windows '\' too.
bool IsSystemSeparator(char c);

// `name` inside `folder` of a disc image, with '/' between them; `name` alone when `folder` is
// empty (the root).
std::string JoinImagePath(const std::string& folder, const std::string& name);

// The first `count` components of a path inside a disc image, joined so.
std::string JoinImagePath(const std::vector<std::string>& components,
                          std::size_t count = static_cast<std::size_t>(-1));

// Components as a check list names a file, with '\' between folders.
std::string JoinListedName(const std::vector<std::string>& components);

}  // namespace crclist
