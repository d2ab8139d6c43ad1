// The UDF file system of an image, through libudfread, fed from the sector view: what Windows
// shows of a DVD and of a bridge disc that also has ISO 9660. libudfread reads the folders and
// maps each file's blocks to the disc's sectors, which the reading engine then reads itself.
#include <udfread/blockinput.h>
#include <udfread/udfread.h>

#include <algorithm>
#include <cstring>

#include "tools/crclist/images/image_file_system.h"
#include "tools/crclist/reading/folder_loop_guard.h"
#include "tools/crclist/reading/reading_threads.h"
#include "tools/crclist/text/path_join.h"

namespace crclist {
namespace {

// The sector view as libudfread's input. libudfread keeps no other handle of its own.
struct ViewInput : udfread_block_input {
    explicit ViewInput(SectorView& sectors) : udfread_block_input(), view(sectors) {
        read = &ViewInput::Read;
        size = &ViewInput::Size;
    }
    static int Read(udfread_block_input* input, uint32_t lba, void* buffer, uint32_t blocks,
                    int /*flags*/) {
        std::size_t got = 0;
        if (!static_cast<ViewInput*>(input)->view.ReadSectors(
                lba, blocks, static_cast<unsigned char*>(buffer), &got)) {
            return -1;
        }
        return static_cast<int>(got);
    }
    static uint32_t Size(udfread_block_input* input) {
        return static_cast<uint32_t>(
            std::min<std::uint64_t>(static_cast<ViewInput*>(input)->view.Sectors(), UINT32_MAX));
    }
    SectorView& view;
};

struct FolderClose {
    void operator()(UDFDIR* folder) const { udfread_closedir(folder); }
};
struct FileClose {
    void operator()(UDFFILE* file) const { udfread_file_close(file); }
};
using Folder = std::unique_ptr<UDFDIR, FolderClose>;
using File = std::unique_ptr<UDFFILE, FileClose>;

// A file found again by its folder and name.
struct Place {
    std::size_t folder = 0;  // index into the open folders
    std::string name;        // as libudfread names it
};

class Udf : public ImageFileSystem, private ByteSource {
  public:
    explicit Udf(SectorView& view) : input_(view) {}
    Udf(const Udf&) = delete;
    Udf& operator=(const Udf&) = delete;
    ~Udf() override {
        folders_.clear();  // before the volume that they belong to
        if (udf_ != nullptr) {
            udfread_close(udf_);
        }
    }

    bool Open() {
        udf_ = udfread_init();
        return udf_ != nullptr && udfread_open_input(udf_, &input_) >= 0;
    }

    bool List(std::vector<ImageEntry>* entries, std::string* problem) override {
        entries->clear();
        small_.clear();
        folders_.clear();
        folders_.emplace_back(udfread_opendir(udf_, "/"));
        if (!folders_.back()) {
            *problem = "cannot be read: its root folder is damaged";
            return false;
        }
        FolderLoopGuard guard;
        return ListFolder(0, {}, guard, entries, problem);
    }

  private:
    // A file smaller than a block may be held in its entry, where libudfread maps no block, so
    // it is read through libudfread: file k at bytes k * kSectorSize of this source.
    bool Read(std::uint64_t offset, std::size_t count, ReadScratch& scratch, const SpanSink& take,
              std::size_t* got, std::string* reason) const override {
        *got = 0;
        const auto index = static_cast<std::size_t>(offset / kSectorSize);
        const auto within = static_cast<std::int64_t>(offset % kSectorSize);
        count = std::min(count, scratch.buffer.Size());
        LockHeld held(lock_);  // libudfread and the view's own reads serve one thread at a time
        const Place& place = small_.at(index);
        const File file(udfread_file_openat(folders_[place.folder].get(), place.name.c_str()));
        if (!file || udfread_file_seek(file.get(), within, UDF_SEEK_SET) != within) {
            *reason = "its file entry cannot be read";
            return false;
        }
        const ssize_t read = udfread_file_read(file.get(), scratch.buffer.Data(), count);
        if (read < 0) {
            *reason = "input/output error";
            return false;
        }
        *got = static_cast<std::size_t>(read);
        if (*got > 0) {
            take(scratch.buffer.Data(), *got);
        }
        return true;
    }

    bool ListFolder(std::size_t folder, const std::vector<std::string>& path,
                    FolderLoopGuard& guard, std::vector<ImageEntry>* entries,
                    std::string* problem) {
        // libudfread does not tell where a folder's entry lies, so a folder has no identity
        // here, and depth alone ends a folder that contains itself.
        if (guard.Enter({}) != FolderLoopGuard::Entry::kEntered) {
            *problem = "has folders deeper than any path can go";
            return false;
        }
        udfread_dirent found;
        while (udfread_readdir(folders_[folder].get(), &found) != nullptr) {
            const std::string name = found.d_name;
            if (name == "." || name == ".." ||
                (found.d_type != UDF_DT_DIR && found.d_type != UDF_DT_REG)) {
                continue;
            }
            if (entries->size() == kMostImageEntries) {
                *problem = "has more entries than any disc";
                return false;
            }
            ImageEntry entry;
            entry.components = path;
            entry.components.push_back(name);
            entry.folder = found.d_type == UDF_DT_DIR;
            entry.dataOf = entries->size();
            if (!entry.folder && !Locate(folder, name, &entry, problem)) {
                return false;
            }
            entries->push_back(entry);
            if (entry.folder) {
                Folder inner(udfread_opendir_at(folders_[folder].get(), name.c_str()));
                if (!inner) {
                    *problem = "cannot be read: the folder " + JoinImagePath(entry.components) +
                               " is damaged";
                    return false;
                }
                folders_.push_back(std::move(inner));
                if (!ListFolder(folders_.size() - 1, entry.components, guard, entries, problem)) {
                    return false;
                }
            }
        }
        guard.Leave();
        return true;
    }

    // The size of a file and where its data lies: the sectors of each of its blocks, joined
    // where they follow each other, or for a small file its place in this source. False when
    // it cannot be opened or its data goes on past the end of the image.
    bool Locate(std::size_t folder, const std::string& name, ImageEntry* entry,
                std::string* problem) {
        const std::string shown = JoinImagePath(entry->components);
        const File file(udfread_file_openat(folders_[folder].get(), name.c_str()));
        const std::int64_t bytes = file ? udfread_file_size(file.get()) : -1;
        if (bytes < 0) {
            *problem = "cannot be read: the file " + shown + " is damaged";
            return false;
        }
        entry->size = static_cast<std::uint64_t>(bytes);
        if (entry->size == 0) {
            return true;
        }
        if (entry->size < kSectorSize) {
            entry->source = this;
            entry->extents.push_back({small_.size() * kSectorSize, entry->size, false});
            small_.push_back({folder, name});
            return true;
        }
        const std::uint64_t blocks = (entry->size + kSectorSize - 1) / kSectorSize;
        for (std::uint64_t block = 0; block < blocks; ++block) {
            // Block 0 of a disc is never a file's: libudfread gives it for a block that was
            // never recorded, which reads as zeros.
            const std::uint32_t lba =
                udfread_file_lba(file.get(), static_cast<std::uint32_t>(block));
            if (lba >= input_.view.Sectors()) {
                *problem = "is cut short: the data of " + shown + " goes on past its end";
                return false;
            }
            const std::uint64_t length =
                std::min<std::uint64_t>(kSectorSize, entry->size - block * kSectorSize);
            const bool zeros = lba == 0;
            Extent* last = entry->extents.empty() ? nullptr : &entry->extents.back();
            if (last != nullptr && last->zeros == zeros &&
                (zeros || last->offset + last->length == std::uint64_t{lba} * kSectorSize)) {
                last->length += length;
            } else {
                entry->extents.push_back({std::uint64_t{lba} * kSectorSize, length, zeros});
            }
        }
        return true;
    }

    ViewInput input_;
    udfread* udf_ = nullptr;
    std::vector<Folder> folders_;  // every folder, open as long as the volume
    std::vector<Place> small_;     // the small files, by their place in this source
    mutable ReadingLock lock_;
};

}  // namespace

std::unique_ptr<ImageFileSystem> UdfFileSystem(SectorView& view, std::string* problem) {
    auto udf = std::make_unique<Udf>(view);
    if (!udf->Open()) {
        *problem = "has a UDF file system that cannot be read";
        return nullptr;
    }
    return udf;
}

}  // namespace crclist
