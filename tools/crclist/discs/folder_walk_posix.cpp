#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <utility>

#include "tools/crclist/discs/folder_walk.h"

namespace crclist {
namespace {

using Identity = std::pair<dev_t, ino_t>;

class FolderHandle {
  public:
    explicit FolderHandle(const std::string& path) : folder_(::opendir(path.c_str())) {}
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
    ~FolderHandle() {
        if (folder_ != nullptr) {
            ::closedir(folder_);
        }
    }
    DIR* get() const { return folder_; }

  private:
    DIR* folder_;
};

struct Walk {
    Identity skip{0, 0};
    bool hasSkip = false;
    std::vector<Identity> parents;  // the folders from the root down to the one being listed
    const ListingFilter* leaveOut;
    std::vector<DiscFile>* files;
    std::vector<std::string>* problems;
};

bool ListFolder(const std::string& path, std::vector<std::string>& components, Walk& walk) {
    FolderHandle folder(path);
    if (folder.get() == nullptr) {
        return false;
    }
    while (const dirent* entry = ::readdir(folder.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        std::string full = path;
        full += '/';
        full += name;
        components.push_back(name);
        struct stat info;
        if (*walk.leaveOut && (*walk.leaveOut)(components)) {
            // Left out unseen: it may be a broken link, or a link round into a folder above.
        } else if (::stat(full.c_str(), &info) != 0) {
            walk.problems->push_back(full + " cannot be read (a broken link?)");
        } else if (S_ISDIR(info.st_mode)) {
            const Identity identity{info.st_dev, info.st_ino};
            if (std::find(walk.parents.begin(), walk.parents.end(), identity) !=
                walk.parents.end()) {
                walk.problems->push_back(full + " leads back into a folder above it");
            } else {
                walk.parents.push_back(identity);
                if (!ListFolder(full, components, walk)) {
                    walk.problems->push_back(full + " cannot be read");
                }
                walk.parents.pop_back();
            }
        } else if (S_ISREG(info.st_mode) &&
                   !(walk.hasSkip && walk.skip == Identity{info.st_dev, info.st_ino})) {
            walk.files->push_back({components, full, static_cast<std::uint64_t>(info.st_size)});
        }
        components.pop_back();
    }
    return true;
}

}  // namespace

bool ListDiscFiles(const std::string& root, const std::string& skip, const ListingFilter& leaveOut,
                   std::vector<DiscFile>* files, std::vector<std::string>* problems) {
    struct stat info;
    if (::stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    Walk walk;
    walk.leaveOut = &leaveOut;
    walk.files = files;
    walk.problems = problems;
    walk.parents.push_back({info.st_dev, info.st_ino});
    struct stat skipped;
    if (!skip.empty() && ::stat(skip.c_str(), &skipped) == 0) {
        walk.skip = {skipped.st_dev, skipped.st_ino};
        walk.hasSkip = true;
    }
    std::vector<std::string> components;
    return ListFolder(root, components, walk);
}

}  // namespace crclist
