// The ISO 9660 tree of an image as Windows shows it, read straight from its directory records:
// the Joliet tree when the disc has one, else the primary tree. Rock Ridge and the other
// system-use fields are never read, nor any field that Windows does not use (dates, owners),
// so a damaged date does not cost a readable disc. Each file comes out as the extents of its
// data, which the reading engine reads at random, on any thread.
#include <algorithm>
#include <map>
#include <string>
#include <utility>

#include "tools/crclist/images/byte_order.h"
#include "tools/crclist/images/image_file_system.h"
#include "tools/crclist/reading/folder_loop_guard.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/path_join.h"
#include "tools/crclist/text/utf8.h"

namespace crclist {
namespace {

// Where a volume descriptor holds what is read here.
constexpr std::size_t kLogicalBlockSize = 128;
constexpr std::size_t kRootRecord = 156;

// A directory record.
constexpr std::size_t kSmallestRecord = 33;
constexpr unsigned char kDirectoryFlag = 0x02;
constexpr unsigned char kAssociatedFlag = 0x04;
constexpr unsigned char kMultiExtentFlag = 0x80;

struct Record {
    std::uint64_t data = 0;    // where its data begins, in bytes of the volume
    std::uint32_t length = 0;  // of its data
    unsigned char flags = 0;
    bool interleaved = false;
    std::string identifier;  // its bytes as written
};

// A record of `bytes`, `size` bytes long as its first byte says; false when it does not fit.
bool ParseRecord(const unsigned char* bytes, std::size_t size, std::uint32_t blockSize,
                 Record* record) {
    const std::size_t identifierLength = bytes[32];
    if (size < kSmallestRecord || kSmallestRecord + identifierLength > size) {
        return false;
    }
    // The extended attribute record, when there is one, comes before the data.
    const std::uint64_t block = LittleEndian(bytes + 2, 4) + bytes[1];
    record->data = block * blockSize;
    record->length = static_cast<std::uint32_t>(LittleEndian(bytes + 10, 4));
    record->flags = bytes[25];
    record->interleaved = bytes[26] != 0 || bytes[27] != 0;
    record->identifier.assign(reinterpret_cast<const char*>(bytes + 33), identifierLength);
    return true;
}

// A name as Windows shows it: without its version (";1") and its trailing dots; the primary
// tree's bytes taken as Shift-JIS, which is what Japanese mastering tools wrote there.
std::string ShownName(const std::string& identifier, bool joliet) {
    std::string name =
        joliet ? Utf16BigEndianToUtf8(reinterpret_cast<const unsigned char*>(identifier.data()),
                                      identifier.size())
               : identifier;
    const auto semicolon = name.rfind(';');
    if (semicolon != std::string::npos &&
        name.find_first_not_of("0123456789", semicolon + 1) == std::string::npos) {
        name.erase(semicolon);
    }
    while (!name.empty() && name.back() == '.') {
        name.pop_back();
    }
    if (joliet) {
        return name;
    }
    return SjisToUtf8(name);
}

class Iso9660 : public ImageFileSystem {
  public:
    Iso9660(SectorView& view, bool joliet, std::uint64_t descriptor, std::uint64_t volumeSectors)
        : view_(view),
          joliet_(joliet),
          descriptor_(descriptor),
          volumeBytes_(volumeSectors * kSectorSize),
          sector_(kSectorSize) {}

    bool List(std::vector<ImageEntry>* entries, std::string* problem) override;

  private:
    // A folder being listed: where its records are, and how far they have been read.
    struct Folder {
        Record record;
        std::vector<std::string> components;
        std::uint64_t done = 0;  // bytes of its records read
    };

    bool ReadRoot(Record* root, std::string* problem);
    // Whether the data of `record` (named `path`) lies in the volume and in the image.
    bool Within(const Record& record, const std::string& path, std::string* problem) const;
    // Reads the records of the folder on top of the walk up to its next folder, which it puts
    // on top; pops it when its records end.
    bool ListFolder(std::vector<Folder>& walk, FolderLoopGuard& guard,
                    std::vector<ImageEntry>* entries, std::string* problem);
    void AddFile(std::vector<std::string> components, const std::vector<Record>& parts,
                 std::vector<ImageEntry>* entries);

    SectorView& view_;
    const bool joliet_;
    const std::uint64_t descriptor_;
    const std::uint64_t volumeBytes_;
    std::uint32_t blockSize_ = kSectorSize;
    std::vector<unsigned char> sector_;
    // The first file with each piece of data, by where its data begins and its size.
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::size_t> byData_;
};

bool Iso9660::ReadRoot(Record* root, std::string* problem) {
    std::size_t got = 0;
    if (!view_.ReadSectors(descriptor_, 1, sector_.data(), &got) || got != 1) {
        *problem = "cannot be read: its volume descriptor cannot be read";
        return false;
    }
    blockSize_ = static_cast<std::uint32_t>(LittleEndian(sector_.data() + kLogicalBlockSize, 2));
    if (blockSize_ != 512 && blockSize_ != 1024 && blockSize_ != 2048) {
        *problem = "is damaged: its logical block size is " + std::to_string(blockSize_) +
                   " bytes, not 512, 1024 or 2048";
        return false;
    }
    if (!ParseRecord(sector_.data() + kRootRecord, sector_[kRootRecord], blockSize_, root) ||
        (root->flags & kDirectoryFlag) == 0) {
        *problem = "is damaged: the record of its root folder does not fit";
        return false;
    }
    return Within(*root, "its root folder", problem);
}

bool Iso9660::Within(const Record& record, const std::string& path, std::string* problem) const {
    if (record.length == 0) {
        return true;
    }
    const std::uint64_t end = record.data + record.length;
    if (end > volumeBytes_) {
        *problem = "is damaged: the data of " + path + " lies past the end of its volume";
        return false;
    }
    if (end > view_.Sectors() * kSectorSize) {
        *problem = "is cut short: the data of " + path + " goes on past its end, after " +
                   std::to_string(view_.Sectors()) + " of the " +
                   std::to_string(volumeBytes_ / kSectorSize) + " sectors of its volume";
        return false;
    }
    return true;
}

bool Iso9660::List(std::vector<ImageEntry>* entries, std::string* problem) {
    entries->clear();
    byData_.clear();
    Folder root;
    if (!ReadRoot(&root.record, problem)) {
        return false;
    }
    FolderLoopGuard guard;
    guard.Enter({0, root.record.data, true});
    // The folders from the root down to the one being listed, each in the guard: a walk of
    // its own rather than a call for each folder, so that no depth of folders can use up the
    // stack.
    std::vector<Folder> walk;
    walk.push_back(std::move(root));
    while (!walk.empty()) {
        if (!ListFolder(walk, guard, entries, problem)) {
            return false;
        }
    }
    return true;
}

bool Iso9660::ListFolder(std::vector<Folder>& walk, FolderLoopGuard& guard,
                         std::vector<ImageEntry>* entries, std::string* problem) {
    Folder& folder = walk.back();
    const std::string path =
        folder.components.empty() ? "the root folder" : JoinImagePath(folder.components);
    std::vector<Record> parts;  // the records of a file of several extents, so far
    while (folder.done < folder.record.length) {
        // A record never crosses a sector: a zero length byte, or the sector's end, ends them.
        const std::uint64_t at = folder.record.data + folder.done;
        const std::size_t within = static_cast<std::size_t>(at % kSectorSize);
        std::size_t got = 0;
        if (!view_.ReadSectors(at / kSectorSize, 1, sector_.data(), &got) || got != 1) {
            *problem = "cannot be read: a sector of " + path + " cannot be read";
            return false;
        }
        const std::size_t size = static_cast<std::size_t>(
            std::min<std::uint64_t>(kSectorSize - within, folder.record.length - folder.done));
        std::size_t position = within;
        while (position < within + size && sector_[position] != 0) {
            const std::size_t length = sector_[position];
            Record record;
            if (position + length > within + size ||
                !ParseRecord(&sector_[position], length, blockSize_, &record)) {
                *problem = "is damaged: a directory record of " + path + " does not fit";
                return false;
            }
            position += length;
            // The folder itself and its parent.
            if (record.identifier.size() == 1 &&
                (record.identifier[0] == '\0' || record.identifier[0] == '\1')) {
                continue;
            }
            // A resource fork of a Macintosh file: Windows never shows it.
            if ((record.flags & kAssociatedFlag) != 0) {
                continue;
            }
            const std::string name = ShownName(record.identifier, joliet_);
            if (name.empty()) {
                continue;
            }
            std::vector<std::string> components = folder.components;
            components.push_back(name);
            const std::string shown = JoinImagePath(components);
            if (record.interleaved) {
                *problem = "holds " + shown + ", which is interleaved: that is not read";
                return false;
            }
            if (!Within(record, shown, problem)) {
                return false;
            }
            if (entries->size() == kMostImageEntries) {
                *problem = "has more entries than any disc";
                return false;
            }
            if (!parts.empty() && parts.front().identifier != record.identifier) {
                *problem = "is damaged: the parts of " + JoinImagePath(folder.components) + "/" +
                           ShownName(parts.front().identifier, joliet_) + " lie apart";
                return false;
            }
            if ((record.flags & kDirectoryFlag) != 0) {
                if (!parts.empty()) {
                    *problem = "is damaged: " + shown + " is a folder in several parts";
                    return false;
                }
                ImageEntry entry;
                entry.components = components;
                entry.folder = true;
                entry.dataOf = entries->size();
                entries->push_back(std::move(entry));
                const FolderLoopGuard::Entry entered = guard.Enter({0, record.data, true});
                if (entered == FolderLoopGuard::Entry::kLoop) {
                    *problem =
                        "is damaged: the folder " + shown + " leads back into a folder above it";
                    return false;
                }
                Folder inner;
                inner.record = record;
                inner.components = std::move(components);
                folder.done = at - folder.record.data + (position - within);
                walk.push_back(std::move(inner));  // `folder` is not to be touched from here
                return true;  // the folder on top now is the new one; this one goes on later
            }
            parts.push_back(record);
            if ((record.flags & kMultiExtentFlag) != 0) {
                continue;
            }
            AddFile(std::move(components), parts, entries);
            parts.clear();
        }
        folder.done += size;
    }
    if (!parts.empty()) {
        *problem = "is damaged: the last part of a file in " + path + " is missing";
        return false;
    }
    guard.Leave();
    walk.pop_back();
    return true;
}

void Iso9660::AddFile(std::vector<std::string> components, const std::vector<Record>& parts,
                      std::vector<ImageEntry>* entries) {
    ImageEntry entry;
    entry.components = std::move(components);
    entry.dataOf = entries->size();
    for (const Record& part : parts) {
        if (part.length > 0) {
            entry.extents.push_back({part.data, part.length, false});
        }
        entry.size += part.length;
    }
    if (entry.size > 0) {
        // Names that share their data, as a disc's hard links do, are read once.
        const auto shared =
            byData_.emplace(std::make_pair(entry.extents.front().offset, entry.size), entry.dataOf);
        entry.dataOf = shared.first->second;
    }
    entries->push_back(std::move(entry));
}

}  // namespace

std::unique_ptr<ImageFileSystem> IsoFileSystem(SectorView& view, const DiscVolumes& volumes) {
    const bool joliet = volumes.joliet;
    return std::make_unique<Iso9660>(
        view, joliet, joliet ? volumes.jolietSector : volumes.primarySector, volumes.isoSectors);
}

}  // namespace crclist
