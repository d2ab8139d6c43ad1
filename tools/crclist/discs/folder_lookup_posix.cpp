#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>

#include <vector>

#include "tools/crclist/discs/folder_lookup.h"
#include "tools/crclist/text/path_join.h"
#include "tools/crclist/text/windows_names.h"

namespace crclist {
namespace {

// The names in the folder at `path`: none when there is no such folder; null when it is there
// but cannot be read.
std::unique_ptr<FolderNames> ReadFolder(const std::string& path) {
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr) {
        return errno == ENOENT || errno == ENOTDIR ? std::make_unique<FolderNames>() : nullptr;
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

}  // namespace

bool FolderLookup::Find(const std::string& sjisName, std::string* path) {
    std::vector<std::string> components;
    if (!SplitListedName(sjisName, &components) || components.empty()) {
        return false;
    }
    return FindInTree(*this, root_, components, path);
}

const FolderNames* FolderLookup::NamesIn(const std::string& path) {
    {
        LockHeld held(lock_);
        const auto known = folders_.find(path);
        if (known != folders_.end()) {
            return known->second.get();
        }
    }
    // Read without the lock, so that a large folder does not hold up the others; a folder
    // read by two threads at once is kept once.
    std::unique_ptr<FolderNames> names = ReadFolder(path);
    LockHeld held(lock_);
    return folders_.emplace(path, std::move(names)).first->second.get();
}

std::string FolderLookup::Join(const std::string& path, const std::string& name) const {
    return JoinSystemPath(path, name);
}

bool FolderLookup::Exists(const std::string& path) const {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace crclist
