#include "tools/crclist/discs/folder_names.h"

#include <algorithm>

#include "tools/crclist/text/windows_names.h"

namespace crclist {

FolderNames::FolderNames(std::vector<std::string> names) : names_(std::move(names)) {
    std::sort(names_.begin(), names_.end());
    names_.erase(std::unique(names_.begin(), names_.end()), names_.end());
    folded_.reserve(names_.size());
    for (std::size_t index = 0; index < names_.size(); ++index) {
        folded_.emplace_back(FoldCase(names_[index]), static_cast<std::uint32_t>(index));
    }
    // With the index as the second key: among names that fold alike, the first in byte order
    // comes first.
    std::sort(folded_.begin(), folded_.end());
}

const std::string* FolderNames::Find(const std::string& wanted) const {
    const auto exact = std::lower_bound(names_.begin(), names_.end(), wanted);
    if (exact != names_.end() && *exact == wanted) {
        return &*exact;
    }
    const std::pair<std::string, std::uint32_t> key(FoldCase(wanted), 0);
    const auto folded = std::lower_bound(folded_.begin(), folded_.end(), key);
    if (folded == folded_.end() || folded->first != key.first) {
        return nullptr;
    }
    return &names_[folded->second];
}

bool FindInTree(FolderTree& tree, const std::string& root,
                const std::vector<std::string>& components, std::string* path) {
    // Every name through its folder's index, the exact one too: a folder is read once, and a
    // name costs the same in any letter case, without a call to the system.
    std::string at = root;
    for (const std::string& component : components) {
        const FolderNames* names = tree.NamesIn(at);
        if (names == nullptr) {
            at = tree.Join(at, component);
            continue;
        }
        const std::string* found = names->Find(component);
        if (found == nullptr) {
            return false;
        }
        at = tree.Join(at, *found);
    }
    *path = std::move(at);
    return true;
}

}  // namespace crclist
