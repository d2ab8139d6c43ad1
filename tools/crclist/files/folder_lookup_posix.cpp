#include <dirent.h>
#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "tools/crclist/files/folder_lookup.h"
#include "tools/crclist/text/windows_names.h"

namespace crclist {
namespace {

// The names in the folder at `path`; none when it cannot be read.
FolderNames ReadFolder(const std::string& path) {
    FolderNames names;
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.Add(name);
        }
    }
    ::closedir(folder);
    return names;
}

}  // namespace

bool FolderLookup::Find(const std::string& sjisName, std::string* path) {
    std::vector<std::string> components;
    if (!SplitListedName(sjisName, &components) || components.empty()) {
        return false;
    }
    std::filesystem::path at(root_);
    for (const std::string& component : components) {
        const std::filesystem::path exact = at / component;
        struct stat info;
        if (::stat(exact.c_str(), &info) == 0) {
            at = exact;
            continue;
        }
        auto folder = folders_.find(at.string());
        if (folder == folders_.end()) {
            folder = folders_.emplace(at.string(), ReadFolder(at.string())).first;
        }
        const std::string* found = folder->second.Find(component);
        if (found == nullptr) {
            return false;
        }
        at /= *found;
    }
    *path = at.string();
    return true;
}

}  // namespace crclist
