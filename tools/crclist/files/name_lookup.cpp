#include "tools/crclist/files/name_lookup.h"

#include "tools/crclist/text/windows_names.h"

namespace crclist {

void FolderNames::Add(const std::string& name) {
    if (!exact_.insert(name).second) {
        return;
    }
    const auto [at, added] = byFolded_.emplace(FoldCase(name), name);
    if (!added && name < at->second) {
        at->second = name;
    }
}

const std::string* FolderNames::Find(const std::string& wanted) const {
    const auto exact = exact_.find(wanted);
    if (exact != exact_.end()) {
        return &*exact;
    }
    const auto folded = byFolded_.find(FoldCase(wanted));
    return folded == byFolded_.end() ? nullptr : &folded->second;
}

}  // namespace crclist
