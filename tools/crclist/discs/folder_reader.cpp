#include "tools/crclist/discs/folder_reader.h"

#include "tools/crclist/discs/folder_lookup.h"
#include "tools/crclist/discs/folder_walk.h"
#include "tools/crclist/reading/file_batch.h"
#include "tools/crclist/reading/mapped_request.h"
#include "tools/crclist/reading/positional_file.h"
#include "tools/crclist/text/path_join.h"
#include "tools/crclist/text/windows_names.h"

namespace crclist {

FolderReader::FolderReader(std::string where, std::string root, const Medium& medium)
    : DiscReader(std::move(where)), root_(std::move(root)), medium_(medium) {
    // "disc//" as "disc/": a path joined to the root then has one separator at the joint.
    while (root_.size() > 1 && IsSystemSeparator(root_.back()) &&
           IsSystemSeparator(root_[root_.size() - 2])) {
        root_.pop_back();
    }
}

void FolderReader::Read(const std::vector<std::string>& names, ReadObserver& observer) {
    FolderLookup lookup(root_);
    // Where each name is, or was looked for (on Windows the system looks when the file is
    // opened, so every name is "found" there).
    const auto find = [&](std::size_t index, FoundFile* found) {
        if (lookup.Find(names[index], &found->path)) {
            return true;
        }
        found->path = JoinSystemPath(root_, ListedNameAsPath(names[index]));
        return false;
    };
    if (!AsksAboutItems(medium_, Jobs())) {
        // Every name is found by the thread that reads it, in list order.
        SetPlan(PlanUnasked(medium_, Jobs()));
        ReadFileBatch(names.size(), find, observer, LastPlan().shape);
        return;
    }
    // A medium that seeks: every name found first, to ask where each file lies.
    std::vector<bool> there(names.size());
    std::vector<std::string> paths(names.size());
    for (std::size_t index = 0; index < names.size(); ++index) {
        FoundFile found;
        there[index] = find(index, &found);
        paths[index] = std::move(found.path);
    }
    std::vector<std::size_t> order;
    SetPlan(PlanFiles(paths, medium_, Jobs(), &order));
    ReadFileBatchInOrder(
        order,
        [&](std::size_t index, FoundFile* found) {
            found->path = paths[index];
            return static_cast<bool>(there[index]);
        },
        observer, LastPlan().shape);
}

bool FolderReader::ListFiles(const std::string& skip, const ListingFilter& leaveOut,
                             std::vector<DiscFile>* files, std::vector<std::string>* problems) {
    files->clear();
    if (!WalkFolder(root_, skip, leaveOut, files, problems)) {
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
    FileFailure failure;
    if (!ReadWholeFile(*where, kLargestSmallFile, bytes, &failure)) {
        *error = failure.missing ? "there is no " + ListedNameAsPath(name) + " in " + root_
                                 : *where + " cannot be read: " + failure.reason;
        return false;
    }
    return true;
}

}  // namespace crclist
