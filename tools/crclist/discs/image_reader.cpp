#include "tools/crclist/discs/image_reader.h"

#include <algorithm>
#include <tuple>

#include "tools/crclist/discs/folder_lookup.h"
#include "tools/crclist/images/disc_volumes.h"
#include "tools/crclist/images/image_track.h"
#include "tools/crclist/reading/file_batch.h"
#include "tools/crclist/reading/mapped_request.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/path_join.h"
#include "tools/crclist/text/windows_names.h"

namespace crclist {
namespace {

// A file that a sheet names, found as Windows finds it: the name as it is, else with its
// letter case ignored. Sheets written on Windows hold Shift-JIS names, others UTF-8.
bool FindBesideSheet(const std::string& folder, const std::string& name, std::string* path) {
    FolderLookup lookup(folder.empty() ? "." : folder);
    const std::string exact = JoinSystemPath(folder, name);
    if (lookup.Exists(exact)) {
        *path = exact;
        return true;
    }
    std::string sjis;
    if (!Utf8ToSjis(name, &sjis)) {
        sjis = name;
    }
    return lookup.Find(sjis, path) && lookup.Exists(*path);
}

}  // namespace

std::unique_ptr<ImageReader> ImageReader::Open(const std::string& image, const std::string& where,
                                               std::string* error) {
    std::unique_ptr<ImageReader> reader(new ImageReader(image, where));
    reader->medium_ = MediumOf(image);
    SectorLayout layout;
    if (!OpenDataTrack(image, &FindBesideSheet, &reader->file_, &layout, error)) {
        return nullptr;
    }
    reader->file_.ReadingToTheEnd();
    reader->view_ = std::make_unique<SectorView>(reader->file_, layout);
    DiscVolumes volumes;
    std::string problem = "cannot be read";
    if (!ReadDiscVolumes(*reader->view_, &volumes)) {
        *error = image + " " + problem;
        return nullptr;
    }
    if (volumes.udf) {
        reader->fileSystem_ = UdfFileSystem(*reader->view_, &problem);
    } else if (volumes.iso9660) {
        reader->fileSystem_ = IsoFileSystem(*reader->view_, volumes);
    } else {
        problem = "holds no ISO 9660 or UDF volume";
    }
    if (!reader->fileSystem_ || !reader->fileSystem_->List(&reader->entries_, &problem)) {
        *error = image + " " + problem;
        return nullptr;
    }
    std::map<std::string, std::vector<std::string>> folders;
    for (std::size_t entry = 0; entry < reader->entries_.size(); ++entry) {
        // Each folder is an entry of its own, so a name goes only into its parent's listing.
        const std::vector<std::string>& components = reader->entries_[entry].components;
        folders[JoinImagePath(components, components.size() - 1)].push_back(components.back());
        reader->byPath_.emplace(JoinImagePath(components), entry);
    }
    for (auto& [path, names] : folders) {
        reader->folders_.emplace(path, FolderNames(std::move(names)));
    }
    return reader;
}

const FolderNames* ImageReader::NamesIn(const std::string& path) {
    static const FolderNames kNone;
    const auto names = folders_.find(path);
    return names == folders_.end() ? &kNone : &names->second;
}

std::string ImageReader::Join(const std::string& path, const std::string& name) const {
    return JoinImagePath(path, name);
}

bool ImageReader::Find(const std::string& name, std::size_t* entry) {
    std::vector<std::string> components;
    std::string path;
    if (!SplitListedName(name, &components) || components.empty() ||
        !FindInTree(*this, "", components, &path)) {
        return false;
    }
    const auto at = byPath_.find(path);
    if (at == byPath_.end() || entries_[at->second].folder) {
        return false;
    }
    *entry = at->second;
    return true;
}

std::string ImageReader::PathOf(std::size_t entry) const {
    return JoinImagePath(image_, JoinImagePath(entries_[entry].components));
}

void ImageReader::Locate(std::size_t entry, FoundFile* found) const {
    const ImageEntry& data = entries_[entries_[entry].dataOf];
    found->path = PathOf(entry);
    found->source = data.source != nullptr ? data.source : view_.get();
    found->extents = data.extents;
    found->size = data.size;
}

void ImageReader::Read(const std::vector<std::string>& names, ReadObserver& observer) {
    // Each name's entry, and the names that stand for each entry's data.
    std::vector<std::size_t> found(names.size(), SIZE_MAX);
    std::map<std::size_t, std::vector<std::size_t>> byData;
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (Find(names[index], &found[index])) {
            byData[entries_[found[index]].dataOf].push_back(index);
        }
    }
    // The data in the order in which the image holds it, so that the reading goes forward.
    std::vector<std::size_t> order;
    order.reserve(byData.size());
    for (const auto& item : byData) {
        order.push_back(item.first);
    }
    const auto place = [this](std::size_t data) {
        const ImageEntry& entry = entries_[data];
        return std::make_tuple(entry.source != nullptr,
                               entry.extents.empty() ? 0 : entry.extents.front().offset, data);
    };
    std::sort(order.begin(), order.end(),
              [&place](std::size_t a, std::size_t b) { return place(a) < place(b); });
    Plan(&order);
    std::vector<std::vector<std::size_t>> callers;
    callers.reserve(order.size());
    for (const std::size_t data : order) {
        callers.push_back(byData[data]);
    }
    MappedRequest request(std::move(callers), observer,
                          [&](std::size_t index) { return PathOf(found[index]); });
    ReadFileBatch(
        order.size(),
        [&](std::size_t index, FoundFile* file) {
            Locate(order[index], file);
            return true;
        },
        request, LastPlan().shape);
    if (request.Stopped()) {
        return;
    }
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (found[index] == SIZE_MAX) {
            // Not there, or a folder: the path says where it was looked for.
            FileDigest digest;
            digest.path = JoinImagePath(image_, ListedNameAsPath(names[index]));
            digest.reason = "not found";
            observer.Done(index, digest);
        }
    }
}

void ImageReader::Plan(std::vector<std::size_t>* order) {
    // Asked of the image's file, for the sectors that hold each file's data; the files keep
    // the order of their data on either side.
    const auto onMedium = [this, order](std::size_t at, std::uint64_t* place) {
        const ImageEntry& entry = entries_[(*order)[at]];
        *place = at;
        for (const Extent& extent : entry.extents) {
            if (entry.source == nullptr && !extent.zeros &&
                !view_->Cached(extent.offset, extent.length)) {
                return true;
            }
        }
        return false;
    };
    std::vector<std::size_t> positions;
    SetPlan(PlanItems(medium_, Jobs(), order->size(), onMedium, &positions));
    std::vector<std::size_t> planned;
    planned.reserve(positions.size());
    for (const std::size_t at : positions) {
        planned.push_back((*order)[at]);
    }
    *order = std::move(planned);
}

bool ImageReader::ListFiles(const std::string& /*skip*/, const ListingFilter& leaveOut,
                            std::vector<DiscFile>* files, std::vector<std::string>* /*problems*/) {
    files->clear();
    for (std::size_t entry = 0; entry < entries_.size(); ++entry) {
        const std::vector<std::string>& components = entries_[entry].components;
        bool left = false;
        // A file in a folder left out is left out with it, as a folder's listing leaves it.
        for (std::size_t depth = 1; leaveOut && !left && depth <= components.size(); ++depth) {
            left = leaveOut(
                {components.begin(), components.begin() + static_cast<std::ptrdiff_t>(depth)});
        }
        if (!entries_[entry].folder && !left) {
            files->push_back({components, PathOf(entry), entries_[entry].size});
        }
    }
    return true;
}

bool ImageReader::ReadSmallFile(const std::string& name, std::string* bytes, std::string* where,
                                std::string* error) {
    std::size_t entry = 0;
    if (!Find(name, &entry)) {
        *error = "there is no " + ListedNameAsPath(name) + " in " + image_;
        return false;
    }
    *where = PathOf(entry);
    FoundFile found;
    Locate(entry, &found);
    if (found.size > kLargestSmallFile) {
        *error = *where + " is too large to be a check list";
        return false;
    }
    std::string reason;
    if (!CopyExtents(*found.source, found.extents, found.size, bytes, &reason)) {
        *error = *where + " cannot be read: " + reason;
        return false;
    }
    return true;
}

}  // namespace crclist
