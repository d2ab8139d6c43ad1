// Where Windows would find a check list's disc names below a folder: '\' (or '/') between
// folders, the Shift-JIS name in the system's encoding, and the letter case ignored when the
// exact name is not there. Any number of threads may look names up at once.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "tools/crclist/discs/folder_names.h"
#include "tools/crclist/reading/reading_threads.h"

namespace crclist {

class FolderLookup : public FolderTree {
  public:
    // `root`: a folder, or on Windows also a drive root such as E: or E:\.
    explicit FolderLookup(std::string root) : root_(std::move(root)) {}

    // The path of the file that Windows would open for the listed `sjisName`. Natively each
    // component is found as FolderNames finds it, every folder read once (in a folder that
    // cannot be read, only the exact name); false when nothing matches or the name is not
    // Shift-JIS. On Windows the system does the finding when the file is opened, so the path
    // is the root followed by the name.
    bool Find(const std::string& sjisName, std::string* path);

    const FolderNames* NamesIn(const std::string& path) override;
    std::string Join(const std::string& path, const std::string& name) const override;
    // Whether something is at `path`.
    bool Exists(const std::string& path) const;

  private:
    std::string root_;
    // Natively: the names of each folder by its path, once read; null for one that cannot be.
    ReadingLock lock_;
    std::map<std::string, std::unique_ptr<FolderNames>> folders_;
};

}  // namespace crclist
