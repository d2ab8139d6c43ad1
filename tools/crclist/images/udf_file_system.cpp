// The UDF file system of an image, through libudfread, fed from the sector view: what Windows
// shows of a DVD and of a bridge disc that also has ISO 9660.
#include <udfread/blockinput.h>
#include <udfread/udfread.h>

#include <algorithm>
#include <cstring>

#include "tools/crclist/images/image_file_system.h"
#include "tools/crclist/reading/file_digest.h"

namespace crclist {
namespace {

// Deeper than any path that Windows can open (260 characters), so a folder that contains
// itself ends here.
constexpr std::size_t kDeepestFolder = 128;

// The sector view as libudfread's input. libudfread keeps no other handle of its own.
struct ViewInput : udfread_block_input {
    explicit ViewInput(SectorView& sectors) : udfread_block_input(), view(sectors) {
        read = &ViewInput::Read;
        size = &ViewInput::Size;
    }
    static int Read(udfread_block_input* input, uint32_t lba, void* buffer, uint32_t blocks,
                    int /*flags*/) {
        std::size_t got = 0;
        if (!static_cast<ViewInput*>(input)->view.Read(lba, blocks,
                                                       static_cast<unsigned char*>(buffer), &got)) {
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

// Where a file is found again to be read.
struct Place {
    std::size_t folder = 0;  // index into the open folders
    std::string name;        // as libudfread names it
    std::uint32_t firstBlock = 0;
};

// The data of one open file, read in large blocks straight into a buffer of its own.
class FileData : public EntryData {
  public:
    explicit FileData(UDFFILE* file) : file_(file), buffer_(kReadSize) {}
    Block NextBlock(const void** block, std::size_t* size, std::uint64_t* offset) override {
        const ssize_t got = udfread_file_read(file_, buffer_.data(), buffer_.size());
        if (got < 0) {
            return Block::kError;
        }
        if (got == 0) {
            return Block::kEnd;
        }
        *block = buffer_.data();
        *size = static_cast<std::size_t>(got);
        *offset = done_;
        done_ += *size;
        return Block::kData;
    }

  private:
    UDFFILE* file_;
    std::vector<unsigned char> buffer_;
    std::uint64_t done_ = 0;
};

class Udf : public ImageFileSystem {
  public:
    explicit Udf(SectorView& view) : input_(view), view_(view) {}
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
        places_.clear();
        folders_.clear();
        folders_.emplace_back(udfread_opendir(udf_, "/"));
        if (!folders_.back()) {
            *problem = "cannot be read: its root folder is damaged";
            return false;
        }
        return ListFolder(0, {}, entries, problem);
    }

    bool ReadData(const std::vector<std::size_t>& wanted, const EntryVisitor& visit,
                  std::string* problem) override {
        std::vector<std::size_t> order = wanted;
        std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
            return places_[a].firstBlock < places_[b].firstBlock;
        });
        for (const std::size_t entry : order) {
            const Place& place = places_[entry];
            const File file(udfread_file_openat(folders_[place.folder].get(), place.name.c_str()));
            if (!file) {
                *problem = "changed while it was read";
                return false;
            }
            FileData data(file.get());
            if (!visit(entry, data)) {
                return true;
            }
        }
        return true;
    }

  private:
    bool ListFolder(std::size_t folder, const std::vector<std::string>& path,
                    std::vector<ImageEntry>* entries, std::string* problem) {
        if (path.size() > kDeepestFolder) {
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
            Place place{folder, name, 0};
            const std::string shown = Joined(entry.components);
            if (!entry.folder && !Measure(place, &entry.size, problem, shown)) {
                return false;
            }
            entries->push_back(entry);
            places_.push_back(place);
            if (entry.folder) {
                Folder inner(udfread_opendir_at(folders_[folder].get(), name.c_str()));
                if (!inner) {
                    *problem = "cannot be read: the folder " + shown + " is damaged";
                    return false;
                }
                folders_.push_back(std::move(inner));
                if (!ListFolder(folders_.size() - 1, entry.components, entries, problem)) {
                    return false;
                }
            }
        }
        return true;
    }

    // The size of a file and where its data begins; false when it cannot be opened or its
    // data goes on past the end of the image.
    bool Measure(Place& place, std::uint64_t* size, std::string* problem,
                 const std::string& shown) {
        const File file(udfread_file_openat(folders_[place.folder].get(), place.name.c_str()));
        const std::int64_t bytes = file ? udfread_file_size(file.get()) : -1;
        if (bytes < 0) {
            *problem = "cannot be read: the file " + shown + " is damaged";
            return false;
        }
        *size = static_cast<std::uint64_t>(bytes);
        place.firstBlock = udfread_file_lba(file.get(), 0);
        // A block number of 0 is data held in the file's entry, or none.
        const std::uint32_t last =
            bytes == 0 ? 0
                       : udfread_file_lba(file.get(),
                                          static_cast<std::uint32_t>((*size - 1) / kSectorSize));
        if (last >= view_.Sectors()) {
            *problem = "is cut short: the data of " + shown + " goes on past its end";
            return false;
        }
        return true;
    }

    static std::string Joined(const std::vector<std::string>& components) {
        std::string joined;
        for (const std::string& component : components) {
            joined += (joined.empty() ? "" : "/") + component;
        }
        return joined;
    }

    ViewInput input_;
    SectorView& view_;
    udfread* udf_ = nullptr;
    std::vector<Folder> folders_;  // every folder, open as long as the volume
    std::vector<Place> places_;    // by entry
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
