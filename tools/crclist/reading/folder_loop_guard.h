// The one guard of every walk down a tree of folders (a folder disc, an ISO 9660 tree, a UDF
// tree) against a folder that leads back into one of its own parents, which a link, a junction
// or a damaged image makes: by the folder's identity where the system gives one, and by depth
// only where it gives none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace crclist {

// What tells one folder from every other on its medium: a device and an inode, a volume's
// serial number and a file index, the place of a folder's record in an image.
struct FolderIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool known = false;  // the system gave none

    // Whether both are known and the same; one that is not known is like no other.
    bool SameAs(const FolderIdentity& other) const {
        return known && other.known && volume == other.volume && index == other.index;
    }
};

class FolderLoopGuard {
  public:
    enum class Entry { kEntered, kLoop, kTooDeep };

    // Folders without an identity that lie deeper than this are not entered: deeper than any
    // path that Windows can open (260 characters), so a folder that contains itself ends here.
    static constexpr std::size_t kDeepestUnknown = 128;

    // Enters `folder`, below the folders entered and not left. kLoop when it is one of them;
    // kTooDeep when it has no identity and lies too deep. Only kEntered is to be left.
    Entry Enter(const FolderIdentity& folder) {
        for (const FolderIdentity& parent : parents_) {
            if (folder.SameAs(parent)) {
                return Entry::kLoop;
            }
        }
        if (!folder.known && parents_.size() >= kDeepestUnknown) {
            return Entry::kTooDeep;
        }
        parents_.push_back(folder);
        return Entry::kEntered;
    }
    void Leave() { parents_.pop_back(); }

  private:
    std::vector<FolderIdentity> parents_;
};

}  // namespace crclist
