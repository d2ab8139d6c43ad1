// The ISO 9660 tree of an image, through libarchive, fed from the sector view by callbacks.
// libarchive reads an image in one forward pass; a listing is one pass over the directories
// (file data skipped), and each reading of data one more.
#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "tools/crclist/images/image_file_system.h"
#include "tools/crclist/images/sector_runs.h"
#include "tools/crclist/text/encoding.h"

namespace crclist {
namespace {

using Components = std::vector<std::string>;

// The sectors that libarchive gets at a time when it lists the image: a listing reads the
// folders, which are small and far apart, and passes over the files' data between them.
constexpr std::size_t kBlockSectors = 16;
// libarchive will not take an image that ends before the sectors it looks at to know one.
constexpr std::uint64_t kFewestSectors = 24;

// libarchive converts Joliet's UTF-16 names to the character set of the locale, and gives up
// on a Japanese name in the C locale that the tool runs in. While this lives, the thread's
// locale is C.UTF-8, whatever the process's is.
class Utf8Locale {
  public:
    Utf8Locale() : utf8_(::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))) {
        if (utf8_ != nullptr) {
            previous_ = ::uselocale(utf8_);
        }
    }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;
    ~Utf8Locale() {
        if (utf8_ != nullptr) {
            ::uselocale(previous_);
            ::freelocale(utf8_);
        }
    }

  private:
    locale_t utf8_;
    locale_t previous_ = nullptr;
};

// A name of the primary tree as Windows shows it: without the version (";1") and a trailing
// dot, its bytes taken as Shift-JIS, which is what Japanese mastering tools wrote there.
// libarchive has cut ";1" and one dot already; other versions are cut here.
std::string PrimaryName(std::string name) {
    const auto semicolon = name.rfind(';');
    if (semicolon != std::string::npos &&
        name.find_first_not_of("0123456789", semicolon + 1) == std::string::npos) {
        name.erase(semicolon);
    }
    if (name.size() > 1 && name.back() == '.') {
        name.pop_back();
    }
    std::string utf8;
    return SjisToUtf8Exact(name, &utf8) ? utf8 : SjisToUtf8(name);
}

Components Split(const std::string& path, bool primary) {
    Components components;
    std::size_t from = 0;
    while (from <= path.size()) {
        const auto slash = std::min(path.find('/', from), path.size());
        const std::string part = path.substr(from, slash - from);
        if (!part.empty() && part != ".") {
            components.push_back(primary ? PrimaryName(part) : part);
        }
        from = slash + 1;
    }
    return components;
}

// One pass of libarchive over the view.
class IsoPass : private EntryData {
  public:
    // `sectors`: the view's, or more, up to which zero sectors follow it. With `runs`, the
    // view's sectors come from them, read ahead and with their CRCs taken.
    IsoPass(SectorView& view, bool joliet, std::uint64_t sectors, SectorRuns* runs = nullptr)
        : view_(view),
          runs_(runs),
          joliet_(joliet),
          sectors_(sectors),
          block_(kBlockSectors * kSectorSize) {
        archive_ = archive_read_new();
        if (archive_ == nullptr) {
            return;
        }
        archive_read_support_format_iso9660(archive_);
        // A null value turns an option off. Windows never reads Rock Ridge, and it reads the
        // Joliet tree whenever a disc has one.
        archive_read_set_format_option(archive_, "iso9660", "rockridge", nullptr);
        if (!joliet) {
            archive_read_set_format_option(archive_, "iso9660", "joliet", nullptr);
        }
        archive_read_set_callback_data(archive_, this);
        archive_read_set_read_callback(archive_, &IsoPass::ReadCallback);
        archive_read_set_skip_callback(archive_, &IsoPass::SkipCallback);
        archive_read_set_seek_callback(archive_, &IsoPass::SeekCallback);
        opened_ = archive_read_open1(archive_) == ARCHIVE_OK;
    }
    IsoPass(const IsoPass&) = delete;
    IsoPass& operator=(const IsoPass&) = delete;
    ~IsoPass() {
        if (archive_ != nullptr) {
            archive_read_free(archive_);
        }
    }

    // The next folder or regular file (the root and other kinds are passed over). False at the
    // end, with `problem` set when the pass broke off: a warning from libarchive means that
    // something Windows would show is lost, so it ends the pass as well.
    bool NextEntry(ImageEntry* entry, std::string* problem) {
        problem->clear();
        for (archive_entry* header = nullptr; opened_;) {
            const int result = archive_read_next_header(archive_, &header);
            if (result == ARCHIVE_EOF) {
                return false;
            }
            if (result != ARCHIVE_OK) {
                break;
            }
            const auto type = archive_entry_filetype(header);
            if (type != AE_IFDIR && type != AE_IFREG) {
                continue;
            }
            const char* utf8 = joliet_ ? archive_entry_pathname_utf8(header) : nullptr;
            const char* raw = archive_entry_pathname(header);
            if (utf8 == nullptr && raw == nullptr) {
                *problem = "has a name that cannot be read";
                return false;
            }
            entry->components = Split(utf8 != nullptr ? utf8 : raw, utf8 == nullptr);
            if (entry->components.empty()) {
                continue;  // the root
            }
            entry->folder = type == AE_IFDIR;
            entry->size =
                static_cast<std::uint64_t>(std::max<la_int64_t>(0, archive_entry_size(header)));
            link_ = archive_entry_hardlink(header) != nullptr;
            last_ = utf8 != nullptr ? utf8 : raw;
            return true;
        }
        *problem = Error();
        return false;
    }

    // Whether the entry that NextEntry gave last shares the data of the file before it.
    bool IsLink() const { return link_; }

    // The data of the entry that NextEntry gave last.
    EntryData& Data() { return *this; }
    bool Broken() const { return broken_; }

    std::string Error() const {
        if (truncated_) {
            return "is cut short: the data of " + last_ + " goes on past its end";
        }
        const char* text = archive_ == nullptr ? nullptr : archive_error_string(archive_);
        return std::string("cannot be read: ") + (text != nullptr ? text : "libarchive failed");
    }

  private:
    Block NextBlock(const void** block, std::size_t* size, std::uint64_t* offset) override {
        la_int64_t at = 0;
        const int result = archive_read_data_block(archive_, block, size, &at);
        *offset = static_cast<std::uint64_t>(std::max<la_int64_t>(0, at));
        if (result == ARCHIVE_EOF) {
            return Block::kEnd;
        }
        if (result != ARCHIVE_OK) {
            broken_ = true;  // libarchive's state after a failed block is not to be trusted
            return Block::kError;
        }
        return Block::kData;
    }

    std::uint32_t ContinueCrc(std::uint32_t crc, const void* data, std::size_t size) override {
        return runs_ != nullptr ? runs_->ContinueCrc(crc, data, size) : FastCrc32(crc, data, size);
    }

    static la_ssize_t ReadCallback(archive* archive, void* data, const void** block) {
        auto& pass = *static_cast<IsoPass*>(data);
        const std::uint64_t sector = pass.position_ / kSectorSize;
        const std::size_t within = static_cast<std::size_t>(pass.position_ % kSectorSize);
        if (sector >= pass.sectors_) {
            return 0;
        }
        if (pass.runs_ != nullptr && sector < pass.view_.Sectors()) {
            // Straight from the run, up to its end.
            SectorRun run;
            if (!pass.runs_->Take(sector, &run)) {
                archive_set_error(archive, EIO, "a sector cannot be read");
                return -1;
            }
            const std::size_t skipped = static_cast<std::size_t>(sector - run.first) * kSectorSize;
            *block = run.data + skipped + within;
            const std::size_t size = run.sectors * kSectorSize - skipped - within;
            pass.position_ += size;
            return static_cast<la_ssize_t>(size);
        }
        const std::size_t wanted = static_cast<std::size_t>(
            std::min<std::uint64_t>(kBlockSectors, pass.sectors_ - sector));
        std::size_t got = 0;
        if (!pass.view_.Read(sector, wanted, pass.block_.data(), &got)) {
            archive_set_error(archive, EIO, "a sector cannot be read");
            return -1;
        }
        if (got < wanted && sector + got >= pass.view_.Sectors()) {
            // The zero sectors after a small image.
            std::fill(pass.block_.begin() + static_cast<std::ptrdiff_t>(got * kSectorSize),
                      pass.block_.begin() + static_cast<std::ptrdiff_t>(wanted * kSectorSize), 0);
            got = wanted;
        }
        *block = pass.block_.data() + within;
        const std::size_t size = got * kSectorSize - within;
        pass.position_ += size;
        return static_cast<la_ssize_t>(size);
    }

    // Skipping past the end is not done: libarchive then knows the image to be cut short.
    static la_int64_t SkipCallback(archive* /*archive*/, void* data, la_int64_t request) {
        auto& pass = *static_cast<IsoPass*>(data);
        const std::uint64_t end = pass.sectors_ * kSectorSize;
        const std::uint64_t left = end > pass.position_ ? end - pass.position_ : 0;
        const std::uint64_t skipped =
            std::min<std::uint64_t>(left, static_cast<std::uint64_t>(request));
        pass.truncated_ = pass.truncated_ || skipped < static_cast<std::uint64_t>(request);
        pass.position_ += skipped;
        return static_cast<la_int64_t>(skipped);
    }

    static la_int64_t SeekCallback(archive* /*archive*/, void* data, la_int64_t offset,
                                   int whence) {
        auto& pass = *static_cast<IsoPass*>(data);
        const la_int64_t end = static_cast<la_int64_t>(pass.sectors_ * kSectorSize);
        const la_int64_t base = whence == SEEK_SET   ? 0
                                : whence == SEEK_END ? end
                                                     : static_cast<la_int64_t>(pass.position_);
        if (offset < -base || base + offset > end) {
            return ARCHIVE_FATAL;
        }
        pass.position_ = static_cast<std::uint64_t>(base + offset);
        return base + offset;
    }

    Utf8Locale locale_;  // first made, last undone: around every call into libarchive
    SectorView& view_;
    SectorRuns* runs_;
    const bool joliet_;
    const std::uint64_t sectors_;
    std::vector<unsigned char> block_;
    struct archive* archive_ = nullptr;
    bool opened_ = false;
    std::uint64_t position_ = 0;  // in bytes of user data
    bool truncated_ = false;
    bool link_ = false;
    std::string last_;  // the path of the entry given last, for messages
    bool broken_ = false;
};

class Iso9660 : public ImageFileSystem {
  public:
    // A small image is followed by zero sectors up to what libarchive looks at, but only when
    // it holds its whole volume: nothing of a file lies in them then.
    Iso9660(SectorView& view, bool joliet, std::uint64_t volumeSectors)
        : view_(view),
          joliet_(joliet),
          volumeSectors_(volumeSectors),
          sectors_(view.Sectors() >= volumeSectors ? std::max(view.Sectors(), kFewestSectors)
                                                   : view.Sectors()) {}

    bool List(std::vector<ImageEntry>* entries, std::string* problem) override {
        entries->clear();
        IsoPass pass(view_, joliet_, sectors_);
        std::size_t lastData = SIZE_MAX;
        for (ImageEntry entry; pass.NextEntry(&entry, problem);) {
            if (entries->size() == kMostImageEntries) {
                *problem = "has more entries than any disc";
                return false;
            }
            entry.dataOf = entries->size();
            if (!entry.folder && pass.IsLink() && lastData != SIZE_MAX) {
                // libarchive gives shared data with its first name only.
                entry.dataOf = lastData;
                entry.size = (*entries)[lastData].size;
            } else if (!entry.folder) {
                lastData = entry.dataOf;
            }
            entries->push_back(std::move(entry));
        }
        listed_ = *entries;
        // An image that libarchive would not even open may just be too short.
        if (!problem->empty() && entries->empty() && view_.Sectors() < volumeSectors_) {
            *problem = "is cut short: it ends after " + std::to_string(view_.Sectors()) +
                       " of the " + std::to_string(volumeSectors_) + " sectors of its volume";
        }
        return problem->empty();
    }

    bool ReadData(const std::vector<std::size_t>& wanted, const EntryVisitor& visit,
                  std::string* problem) override {
        problem->clear();
        if (wanted.empty()) {
            return true;
        }
        std::vector<std::size_t> order = wanted;
        std::sort(order.begin(), order.end());
        SectorRuns runs(view_, MachineReadShape());
        IsoPass pass(view_, joliet_, sectors_, &runs);
        std::size_t index = 0;
        ImageEntry entry;
        for (const std::size_t next : order) {
            // The passes see the same entries in the same order, unless the medium changed.
            for (; index <= next; ++index) {
                if (!pass.NextEntry(&entry, problem) || index >= listed_.size() ||
                    entry.components != listed_[index].components) {
                    if (problem->empty()) {
                        *problem = "changed while it was read";
                    }
                    return false;
                }
            }
            if (!visit(next, pass.Data())) {
                return true;
            }
            if (pass.Broken()) {
                *problem = pass.Error();
                return false;
            }
        }
        return true;
    }

  private:
    SectorView& view_;
    const bool joliet_;
    const std::uint64_t volumeSectors_;
    const std::uint64_t sectors_;
    std::vector<ImageEntry> listed_;
};

}  // namespace

std::unique_ptr<ImageFileSystem> IsoFileSystem(SectorView& view, bool joliet,
                                               std::uint64_t volumeSectors) {
    return std::make_unique<Iso9660>(view, joliet, volumeSectors);
}

}  // namespace crclist
