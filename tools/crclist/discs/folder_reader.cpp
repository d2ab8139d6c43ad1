#include "tools/crclist/discs/folder_reader.h"

#include <filesystem>

#include "tools/crclist/discs/folder_lookup.h"
#include "tools/crclist/discs/folder_walk.h"
#include "tools/crclist/reading/file_batch.h"
#include "tools/crclist/reading/sequential_file.h"
#include "tools/crclist/text/windows_names.h"

namespace crclist {

namespace {

bool IsPathSeparator(char c) {
    return c == '/' || c == static_cast<char>(std::filesystem::path::preferred_separator);
}

}  // namespace

FolderReader::FolderReader(std::string root) : root_(std::move(root)) {
    // "disc//" as "disc/": a path joined to the root then has one separator at the joint.
    while (root_.size() > 1 && IsPathSeparator(root_.back()) &&
           IsPathSeparator(root_[root_.size() - 2])) {
        root_.pop_back();
    }
}

void FolderReader::Read(const std::vector<std::string>& names, ReadObserver& observer) {
    FolderLookup lookup(root_);
    const auto locate = [&](std::size_t index, std::string* path) {
        if (lookup.Find(names[index], path)) {
            return true;
        }
        // Not there (only natively: on Windows the system looks when the file is opened).
        // The path says where it was looked for.
        *path = (std::filesystem::path(root_) / ListedNameAsPath(names[index])).string();
        return false;
    };
    ReadFileBatch(names.size(), locate, observer, MachineReadShape());
}

bool FolderReader::ListFiles(const std::string& skip, std::vector<DiscFile>* files,
                             std::vector<std::string>* problems) {
    files->clear();
    if (!ListDiscFiles(root_, skip, files, problems)) {
        problems->push_back(root_ + " is no folder that can be read");
        return false;
    }
    return true;
}

bool FolderReader::ReadSmallFile(const std::string& name, std::string* bytes, std::string* where,
                                 std::string* error) {
    FolderLookup lookup(root_);
    if (!lookup.Find(name, where)) {
        *error = "there is no " + ListedNameAsPath(name) + " in " + root_;
        return false;
    }
    if (!ReadWholeFile(*where, kLargestSmallFile, bytes)) {
        *error = *where + " cannot be read, or holds more than a check list";
        return false;
    }
    return true;
}

}  // namespace crclist
