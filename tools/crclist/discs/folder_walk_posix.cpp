#include <dirent.h>
#include <sys/stat.h>

#include "tools/crclist/discs/folder_walk.h"
#include "tools/crclist/reading/folder_loop_guard.h"
#include "tools/crclist/text/path_join.h"

namespace crclist {
namespace {

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

FolderIdentity IdentityOf(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino), true};
}

struct Walk {
    FolderIdentity skip;  // known only when there is a file to skip
    FolderLoopGuard guard;
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
        const std::string full = JoinSystemPath(path, name);
        components.push_back(name);
        struct stat info;
        if (*walk.leaveOut && (*walk.leaveOut)(components)) {
            // Left out unseen: it may be a broken link, or a link round into a folder above.
        } else if (::stat(full.c_str(), &info) != 0) {
            walk.problems->push_back(full + " cannot be read (a broken link?)");
        } else if (S_ISDIR(info.st_mode)) {
            const FolderLoopGuard::Entry entered = walk.guard.Enter(IdentityOf(info));
            if (entered != FolderLoopGuard::Entry::kEntered) {
                walk.problems->push_back(full + " leads back into a folder above it");
            } else {
                if (!ListFolder(full, components, walk)) {
                    walk.problems->push_back(full + " cannot be read");
                }
                walk.guard.Leave();
            }
        } else if (S_ISREG(info.st_mode)) {
            if (!IdentityOf(info).SameAs(walk.skip)) {
                walk.files->push_back({components, full, static_cast<std::uint64_t>(info.st_size)});
            }
        }
        components.pop_back();
    }
    return true;
}

}  // namespace

bool WalkFolder(const std::string& root, const std::string& skip, const ListingFilter& leaveOut,
                std::vector<DiscFile>* files, std::vector<std::string>* problems) {
    struct stat info;
    if (::stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    Walk walk;
    walk.leaveOut = &leaveOut;
    walk.files = files;
    walk.problems = problems;
    walk.guard.Enter(IdentityOf(info));
    struct stat skipped;
    if (!skip.empty() && ::stat(skip.c_str(), &skipped) == 0) {
        walk.skip = IdentityOf(skipped);
    }
    std::vector<std::string> components;
    return ListFolder(root, components, walk);
}

}  // namespace crclist
