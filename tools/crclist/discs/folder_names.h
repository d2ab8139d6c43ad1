// How Windows finds a name in a folder: the exact name when the folder holds it, else the
// first name in byte order that matches it without regard to case. Folders and images both
// find their files through this, each folder indexed once, so that a name in another letter
// case costs about what an exact one does.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace crclist {

// The names of one folder, in UTF-8, kept compact: a list of twenty thousand files is looked
// up through these, within the tool's few MiB.
class FolderNames {
  public:
    FolderNames() = default;
    // The names in any order; a name given twice counts once.
    explicit FolderNames(std::vector<std::string> names);

    // The name that Windows opens for `wanted`; null when none matches.
    const std::string* Find(const std::string& wanted) const;

  private:
    std::vector<std::string> names_;  // in byte order
    // Each folded name with the index of its name in names_, by the folded name, then the name.
    std::vector<std::pair<std::string, std::uint32_t>> folded_;
};

// A tree of folders whose names are found as Windows finds them: a folder disc, or the tree of
// an image.
class FolderTree {
  public:
    // The names of the folder at `path`; null when it cannot be listed.
    virtual const FolderNames* NamesIn(const std::string& path) = 0;
    // `name` inside the folder at `path`.
    virtual std::string Join(const std::string& path, const std::string& name) const = 0;

  protected:
    ~FolderTree() = default;
};

// The path below `root` that Windows opens for `components` (UTF-8), one folder at a time.
// False when a component matches nothing. In a folder that cannot be listed only the exact
// name can be opened: it is taken as it is, and opening the file tells whether it is there or
// may not be read.
bool FindInTree(FolderTree& tree, const std::string& root,
                const std::vector<std::string>& components, std::string* path);

}  // namespace crclist
