#include "tools/crclist/discs/image_reader.h"

#include <cstdint>
#include <set>

#include "tools/crclist/images/disc_volumes.h"
#include "tools/crclist/images/image_track.h"
#include "tools/crclist/reading/fast_crc.h"
#include "tools/crclist/text/windows_names.h"

namespace crclist {
namespace {

std::string Join(const std::vector<std::string>& components, std::size_t count) {
    std::string joined;
    for (std::size_t index = 0; index < count; ++index) {
        joined += (index == 0 ? "" : "/") + components[index];
    }
    return joined;
}

// Feeds the data of one entry to `add`, block by block, its gaps as zeros.
// kRead when the data ends at `size`; kStopped when `observer` asks for a stop
// before a block.
template <typename Add>
FileDigest::Outcome ReadEntry(EntryData& data, std::uint64_t size, ReadObserver& observer,
                              const Add& add) {
    static const unsigned char kZeros[4096] = {};
    std::uint64_t done = 0;
    for (;;) {
        if (observer.StopRequested()) {
            return FileDigest::Outcome::kStopped;
        }
        const void* block = nullptr;
        std::size_t length = 0;
        std::uint64_t offset = 0;
        const EntryData::Block next = data.NextBlock(&block, &length, &offset);
        if (next != EntryData::Block::kData) {
            return next == EntryData::Block::kEnd && done == size ? FileDigest::Outcome::kRead
                                                                  : FileDigest::Outcome::kReadError;
        }
        if (offset < done || offset + length > size) {
            return FileDigest::Outcome::kReadError;
        }
        for (; done < offset;) {
            const auto gap =
                static_cast<std::size_t>(std::min<std::uint64_t>(sizeof kZeros, offset - done));
            add(kZeros, gap);
            done += gap;
        }
        add(block, length);
        done += length;
    }
}

// An observer for a copy: it wants everything and never stops.
class CopyObserver : public ReadObserver {
  public:
    bool WantContent(std::size_t /*index*/, std::uint64_t /*size*/) const override { return true; }
    void BytesRead(std::uint64_t /*count*/) override {}
    bool StopRequested() override { return false; }
    void Done(std::size_t /*index*/, const FileDigest& /*digest*/) override {}
};

}  // namespace

std::unique_ptr<ImageReader> ImageReader::Open(const std::string& image, std::string* error) {
    std::unique_ptr<ImageReader> reader(new ImageReader(image));
    SectorLayout layout;
    if (!OpenDataTrack(image, &reader->file_, &layout, error)) {
        return nullptr;
    }
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
        reader->fileSystem_ = IsoFileSystem(*reader->view_, volumes.joliet, volumes.isoSectors);
    } else {
        problem = "holds no ISO 9660 or UDF volume";
    }
    if (!reader->fileSystem_ || !reader->fileSystem_->List(&reader->entries_, &problem)) {
        *error = image + " " + problem;
        return nullptr;
    }
    std::map<std::string, std::vector<std::string>> folders;
    for (std::size_t entry = 0; entry < reader->entries_.size(); ++entry) {
        const std::vector<std::string>& components = reader->entries_[entry].components;
        for (std::size_t depth = 0; depth < components.size(); ++depth) {
            folders[Join(components, depth)].push_back(components[depth]);
        }
        reader->byPath_.emplace(Join(components, components.size()), entry);
    }
    for (auto& [path, names] : folders) {
        reader->folders_.emplace(path, FolderNames(std::move(names)));
    }
    return reader;
}

bool ImageReader::Find(const std::string& name, std::size_t* entry) const {
    std::vector<std::string> components;
    if (!SplitListedName(name, &components) || components.empty()) {
        return false;
    }
    std::string folder;
    for (const std::string& component : components) {
        const auto names = folders_.find(folder);
        const std::string* found =
            names == folders_.end() ? nullptr : names->second.Find(component);
        if (found == nullptr) {
            return false;
        }
        folder += (folder.empty() ? "" : "/") + *found;
    }
    const auto at = byPath_.find(folder);
    if (at == byPath_.end() || entries_[at->second].folder) {
        return false;
    }
    *entry = at->second;
    return true;
}

std::string ImageReader::PathOf(std::size_t entry) const {
    const std::vector<std::string>& components = entries_[entry].components;
    return image_ + "/" + Join(components, components.size());
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
    std::vector<std::size_t> wanted;
    wanted.reserve(byData.size());
    for (const auto& item : byData) {
        wanted.push_back(item.first);
    }

    std::set<std::size_t> visited;
    bool stopped = false;
    std::string problem;
    fileSystem_->ReadData(
        wanted,
        [&](std::size_t data, EntryData& content) {
            const std::vector<std::size_t>& indices = byData[data];
            FileDigest digest;
            digest.size = entries_[data].size;
            bool want = false;
            for (const std::size_t index : indices) {
                want = observer.WantContent(index, digest.size) || want;
            }
            digest.outcome = FileDigest::Outcome::kNotRead;
            if (want) {
                observer.NowReading(indices.front());
                digest.outcome = ReadEntry(
                    content, digest.size, observer, [&](const void* block, std::size_t length) {
                        digest.crc = content.ContinueCrc(digest.crc, block, length);
                        observer.BytesRead(length);
                    });
            }
            if (digest.outcome == FileDigest::Outcome::kStopped) {
                stopped = true;
                return false;
            }
            for (const std::size_t index : indices) {
                digest.path = PathOf(found[index]);
                observer.Done(index, digest);
            }
            visited.insert(data);
            return true;
        },
        &problem);
    if (stopped) {
        return;
    }
    for (std::size_t index = 0; index < names.size(); ++index) {
        FileDigest digest;
        if (found[index] == SIZE_MAX) {
            // Not there, or a folder: the path says where it was looked for.
            digest.path = image_ + "/" + ListedNameAsPath(names[index]);
        } else if (visited.count(entries_[found[index]].dataOf) == 0) {
            // The reading broke off before it.
            digest.path = image_;
            digest.outcome = FileDigest::Outcome::kReadError;
        } else {
            continue;
        }
        observer.Done(index, digest);
    }
}

bool ImageReader::ListFiles(const std::string& /*skip*/, const ListingFilter& leaveOut,
                            std::vector<DiscFile>* files, std::vector<std::string>* /*problems*/) {
    files->clear();
    for (std::size_t entry = 0; entry < entries_.size(); ++entry) {
        const std::vector<std::string>& components = entries_[entry].components;
        bool left = false;
        // A file in a folder left out is left out with it, as a folder's listing leaves it.
        for (std::size_t depth = 1; leaveOut && !left && depth <= components.size(); ++depth) {
            left = leaveOut({components.begin(), components.begin() + static_cast<long>(depth)});
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
    const std::size_t data = entries_[entry].dataOf;
    if (entries_[data].size > kLargestSmallFile) {
        *error = *where + " is too large to be a check list";
        return false;
    }
    bytes->clear();
    CopyObserver observer;
    FileDigest::Outcome outcome = FileDigest::Outcome::kReadError;
    std::string problem;
    fileSystem_->ReadData(
        {data},
        [&](std::size_t /*entry*/, EntryData& content) {
            outcome = ReadEntry(content, entries_[data].size, observer,
                                [&](const void* block, std::size_t length) {
                                    bytes->append(static_cast<const char*>(block), length);
                                });
            return true;
        },
        &problem);
    if (outcome != FileDigest::Outcome::kRead) {
        *error = *where + " cannot be read";
        return false;
    }
    return true;
}

}  // namespace crclist
