#include "tools/crclist/authoring/entry_digest.h"

#include "tools/crclist/discs/read_plan.h"
#include "tools/crclist/text/shown_text.h"

namespace crclist {

bool InstalledFile::Parse(const std::string& option, InstalledFile* file) {
    const std::size_t equals = option.find('=');
    if (equals == std::string::npos) {
        return false;
    }
    file->valueName = option.substr(0, equals);
    file->path = option.substr(equals + 1);
    return true;
}

std::vector<FileDigest> DigestsForEntries(const std::vector<std::string>& paths, std::size_t jobs) {
    EntryDigests digests(paths.size());
    ReadFilesPlanned(paths, "the installed files", jobs, digests);
    std::vector<FileDigest> all;
    all.reserve(paths.size());
    for (std::size_t index = 0; index < paths.size(); ++index) {
        all.push_back(digests[index]);
    }
    return all;
}

bool EntryNumbers(const FileDigest& digest, std::int32_t* size, std::uint32_t* crc,
                  std::string* why) {
    switch (digest.outcome) {
        case FileDigest::Outcome::kRead:
        case FileDigest::Outcome::kNotRead:  // only a file too large is not read
            if (digest.outcome == FileDigest::Outcome::kNotRead ||
                digest.size > kLargestEntrySize) {
                *why = "is over 2147483647 bytes, more than an entry can describe";
                return false;
            }
            *size = static_cast<std::int32_t>(digest.size);
            *crc = digest.crc;
            return true;
        case FileDigest::Outcome::kMissing:
            *why = digest.reason.empty() ? "is not found or cannot be opened"
                                         : "is missing: " + ShownSystemText(digest.reason);
            return false;
        case FileDigest::Outcome::kChanged:
            *why = "changed while it was read";
            return false;
        case FileDigest::Outcome::kReadError:
        case FileDigest::Outcome::kStopped:
            break;
    }
    *why = "cannot be read";
    if (!digest.reason.empty()) {
        *why += ": " + ShownSystemText(digest.reason);
    }
    return false;
}

}  // namespace crclist
