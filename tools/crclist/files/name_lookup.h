// How Windows finds a name in a folder: the exact name when the folder holds it, else the
// first name in byte order that matches it without regard to case. Folders and images both
// find their files through this, each folder indexed once, so that a name in another letter
// case costs about what an exact one does.
#pragma once

#include <map>
#include <set>
#include <string>

namespace crclist {

// The names of one folder, in UTF-8.
class FolderNames {
  public:
    void Add(const std::string& name);
    // The name that Windows opens for `wanted`; null when none matches.
    const std::string* Find(const std::string& wanted) const;

  private:
    std::set<std::string> exact_;
    std::map<std::string, std::string> byFolded_;  // folded -> the first such name in byte order
};

}  // namespace crclist
