#include <dirent.h>
#include <sys/stat.h>

#include <vector>

#include "tools/crclist/discs/folder_lookup.h"
#include "tools/crclist/text/windows_names.h"

namespace crclist {
namespace {

// The names in the folder at `path`; null when it cannot be read.
std::unique_ptr<FolderNames> ReadFolder(const std::string& path) {
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr) {
        return nullptr;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(folder)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(std::move(name));
        }
    }
    ::closedir(folder);
    return std::make_unique<FolderNames>(std::move(names));
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

}  // namespace

bool FolderLookup::Find(const std::string& sjisName, std::string* path) {
    std::vector<std::string> components;
    if (!SplitListedName(sjisName, &components) || components.empty()) {
        return false;
    }
    // Every name through the folder's index, the exact one too: a folder is read once, and a
    // name costs the same in any letter case, without a call to the system.
    std::string at = root_;
    for (const std::string& component : components) {
        auto folder = folders_.find(at);
        if (folder == folders_.end()) {
            folder = folders_.emplace(at, ReadFolder(at)).first;
        }
        if (folder->second == nullptr) {
            // A folder that may be passed through but not listed: only the exact name opens.
            const std::string exact = Join(at, component);
            struct stat info;
            if (::stat(exact.c_str(), &info) != 0) {
                return false;
            }
            at = exact;
            continue;
        }
        const std::string* found = folder->second->Find(component);
        if (found == nullptr) {
            return false;
        }
        at = Join(at, *found);
    }
    *path = std::move(at);
    return true;
}

}  // namespace crclist
