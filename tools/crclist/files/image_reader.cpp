#include "tools/crclist/files/image_reader.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "tools/crclist/files/fast_crc.h"
#include "tools/crclist/files/name_lookup.h"
#include "tools/crclist/text/windows_names.h"

namespace crclist {
namespace {

using Components = std::vector<std::string>;

std::string Join(const Components& components, const char* separator) {
    std::string joined;
    for (const std::string& component : components) {
        joined += (joined.empty() ? "" : separator) + component;
    }
    return joined;
}

Components Folded(Components components) {
    for (std::string& component : components) {
        component = FoldCase(component);
    }
    return components;
}

// An image opened for one pass through libarchive; closed on every way out.
class ImageArchive {
  public:
    explicit ImageArchive(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        if (fd_ < 0) {
            return;
        }
        archive_ = archive_read_new();
        if (archive_ == nullptr) {
            return;
        }
        ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
        archive_read_support_format_iso9660(archive_);
        opened_ = archive_read_open_fd(archive_, fd_, kReadSize) == ARCHIVE_OK;
    }
    ImageArchive(const ImageArchive&) = delete;
    ImageArchive& operator=(const ImageArchive&) = delete;
    ~ImageArchive() {
        if (archive_ != nullptr) {
            archive_read_free(archive_);
        }
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    enum class Next { kEntry, kEnd, kBroken };
    Next NextEntry(archive_entry** entry) {
        if (!opened_) {
            return Next::kBroken;
        }
        const int result = archive_read_next_header(archive_, entry);
        if (result == ARCHIVE_OK || result == ARCHIVE_WARN) {
            return Next::kEntry;
        }
        return result == ARCHIVE_EOF ? Next::kEnd : Next::kBroken;
    }

    std::string Error() const {
        if (fd_ < 0) {
            return "cannot be opened";
        }
        const char* text = archive_ == nullptr ? nullptr : archive_error_string(archive_);
        return text == nullptr ? "cannot be read" : text;
    }

    // Only for an archive that was opened: NextEntry gave kEntry.
    struct archive* get() const {
        return archive_;
    }

  private:
    struct archive* archive_ = nullptr;
    int fd_;
    bool opened_ = false;
};

// The components of an entry's path. Joliet and Rock Ridge names come out in UTF-8: through
// the locale when it is UTF-8, and as they are in the C locale that this tool runs in.
Components EntryComponents(archive_entry* entry) {
    const char* utf8 = archive_entry_pathname_utf8(entry);
    const char* name = utf8 != nullptr ? utf8 : archive_entry_pathname(entry);
    Components components;
    std::string part;
    for (const char* c = name == nullptr ? "" : name;; ++c) {
        if (*c == '/' || *c == '\0') {
            if (!part.empty() && part != ".") {
                components.push_back(part);
            }
            part.clear();
            if (*c == '\0') {
                break;
            }
        } else {
            part += *c;
        }
    }
    return components;
}

std::uint64_t EntrySize(archive_entry* entry) {
    return static_cast<std::uint64_t>(std::max<la_int64_t>(0, archive_entry_size(entry)));
}

// The data of the last entry that other names share: libarchive gives it with the first name
// only, and the others as links to it, with no size.
struct SharedData {
    // An image that gives a link before its data gives nothing for it.
    FileDigest::Outcome outcome = FileDigest::Outcome::kReadError;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
};

// Reads the data of the current entry into the CRC. Holes that libarchive skips are zeros.
FileDigest::Outcome DigestEntry(const ImageArchive& archive, std::uint64_t size,
                                ReadObserver& observer, std::uint32_t* crc, bool* broken) {
    static const unsigned char kZeros[4096] = {};
    std::uint64_t done = 0;
    for (;;) {
        if (observer.StopRequested()) {
            return FileDigest::Outcome::kStopped;
        }
        const void* block = nullptr;
        std::size_t length = 0;
        la_int64_t offset = 0;
        const int result = archive_read_data_block(archive.get(), &block, &length, &offset);
        if (result == ARCHIVE_EOF) {
            break;
        }
        if (result != ARCHIVE_OK) {
            *broken = result == ARCHIVE_FATAL;
            return FileDigest::Outcome::kReadError;
        }
        for (; offset > 0 && done < static_cast<std::uint64_t>(offset);) {
            const auto gap = std::min<std::uint64_t>(sizeof kZeros, offset - done);
            *crc = FastCrc32(*crc, kZeros, gap);
            done += gap;
        }
        *crc = FastCrc32(*crc, block, length);
        done += length;
        observer.BytesRead(length);
    }
    return done == size ? FileDigest::Outcome::kRead : FileDigest::Outcome::kReadError;
}

// The names seen in the image so far: for each folder (its components joined by '/', the
// root ""), the names in it.
class NameTree {
  public:
    void Add(const Components& components) {
        std::string folder;
        for (const std::string& component : components) {
            children_[folder].Add(component);
            folder += (folder.empty() ? "" : "/") + component;
        }
    }

    // The path of the entry that Windows opens for `components`.
    bool Resolve(const Components& components, std::string* path) const {
        std::string folder;
        for (const std::string& component : components) {
            const auto names = children_.find(folder);
            const std::string* found =
                names == children_.end() ? nullptr : names->second.Find(component);
            if (found == nullptr) {
                return false;
            }
            folder += (folder.empty() ? "" : "/") + *found;
        }
        *path = folder;
        return true;
    }

  private:
    std::map<std::string, FolderNames> children_;
};

}  // namespace

bool ImageReader::Check(const std::string& image, std::string* error) {
    ImageArchive archive(image);
    archive_entry* entry = nullptr;
    if (archive.NextEntry(&entry) == ImageArchive::Next::kBroken) {
        *error = image + " is no ISO 9660 image that can be read: " + archive.Error();
        return false;
    }
    return true;
}

void ImageReader::Read(const std::vector<std::string>& names, ReadObserver& observer) {
    // What is asked for: the components of each name (none for a name that is not
    // Shift-JIS, or names no file), and the indices that each name, with the letter case
    // ignored, stands for.
    std::vector<Components> wanted(names.size());
    std::map<Components, std::vector<std::size_t>> byFolded;
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (!SplitListedName(names[index], &wanted[index])) {
            wanted[index].clear();
        }
        if (!wanted[index].empty()) {
            byFolded[Folded(wanted[index])].push_back(index);
        }
    }

    // One pass: every file that some name could stand for is read, since which of two names
    // that differ only in case Windows takes is known only once both have been seen.
    NameTree tree;
    std::map<std::string, FileDigest> digests;  // by path in the image
    SharedData shared;
    ImageArchive archive(image_);
    bool broken = false;
    bool stopped = false;
    archive_entry* entry = nullptr;
    for (;;) {
        const ImageArchive::Next next = archive.NextEntry(&entry);
        if (next != ImageArchive::Next::kEntry) {
            broken = next == ImageArchive::Next::kBroken;
            break;
        }
        const Components components = EntryComponents(entry);
        tree.Add(components);
        if (archive_entry_filetype(entry) != AE_IFREG) {
            continue;
        }
        const bool isLink = archive_entry_hardlink(entry) != nullptr;
        if (!isLink) {
            shared = SharedData();
        }
        // The first of several names for the same data is read even when no name asks for
        // it: the names after it come without the data.
        const bool hasLinks = !isLink && archive_entry_nlink(entry) > 1;
        const auto asked = byFolded.find(Folded(components));
        if (asked == byFolded.end() && !hasLinks) {
            continue;
        }
        const std::string inImage = Join(components, "/");
        FileDigest digest;
        digest.path = image_ + "/" + inImage;
        digest.size = isLink ? shared.size : EntrySize(entry);
        bool wantContent = false;
        if (asked != byFolded.end()) {
            for (const std::size_t index : asked->second) {
                wantContent = observer.WantContent(index, digest.size) || wantContent;
            }
        }
        FileDigest::Outcome read = FileDigest::Outcome::kNotRead;
        if (isLink) {
            read = shared.outcome;
            digest.crc = shared.crc;
        } else if (wantContent || hasLinks) {
            read = DigestEntry(archive, digest.size, observer, &digest.crc, &broken);
            shared = {read, digest.size, digest.crc};
        }
        if (read == FileDigest::Outcome::kStopped) {
            stopped = true;
            break;
        }
        digest.outcome = wantContent ? read : FileDigest::Outcome::kNotRead;
        if (asked != byFolded.end()) {
            digests[inImage] = digest;
        }
        if (broken) {
            break;
        }
    }

    for (std::size_t index = 0; index < names.size(); ++index) {
        if (stopped || broken) {
            // The image was not seen to its end: only a file found by its exact name is
            // surely the one Windows would open.
            const auto found = digests.find(Join(wanted[index], "/"));
            if (found != digests.end()) {
                observer.Done(index, found->second);
            } else if (broken) {
                FileDigest digest;
                digest.path = image_;
                digest.outcome = FileDigest::Outcome::kReadError;
                observer.Done(index, digest);
            }
            continue;
        }
        std::string inImage;
        const auto found = !wanted[index].empty() && tree.Resolve(wanted[index], &inImage)
                               ? digests.find(inImage)
                               : digests.end();
        if (found != digests.end()) {
            observer.Done(index, found->second);
        } else {
            FileDigest missing;  // not there, or a folder
            missing.path = image_ + "/" + ListedNameAsPath(names[index]);
            observer.Done(index, missing);
        }
    }
}

bool ImageReader::ListFiles(const std::string& /*skip*/, std::vector<DiscFile>* files,
                            std::vector<std::string>* problems) {
    files->clear();
    ImageArchive archive(image_);
    std::uint64_t sharedSize = 0;
    archive_entry* entry = nullptr;
    ImageArchive::Next next;
    while ((next = archive.NextEntry(&entry)) == ImageArchive::Next::kEntry) {
        if (archive_entry_filetype(entry) != AE_IFREG) {
            continue;
        }
        DiscFile file;
        file.components = EntryComponents(entry);
        file.path = image_ + "/" + Join(file.components, "/");
        // A link has the size of the data that it shares with the file before it.
        const bool isLink = archive_entry_hardlink(entry) != nullptr;
        file.size = isLink ? sharedSize : EntrySize(entry);
        sharedSize = file.size;
        files->push_back(std::move(file));
    }
    if (next == ImageArchive::Next::kBroken) {
        problems->push_back(image_ + " cannot be read to its end: " + archive.Error());
        return false;
    }
    return true;
}

}  // namespace crclist
