#include "tools/crclist/verify/verdict.h"

namespace crclist {

const char* StatusName(Status status) {
    switch (status) {
        case Status::kOk:
            return "ok";
        case Status::kMissing:
            return "missing";
        case Status::kSize:
            return "size";
        case Status::kCrc:
            return "crc";
        case Status::kReadError:
            return "read-error";
        case Status::kNoValue:
            return "no-value";
    }
    return "?";
}

bool SizeMatches(std::int32_t expected, std::uint64_t found) {
    return expected >= 0 && found == static_cast<std::uint64_t>(expected);
}

FileResult Judge(const FileEntry& entry, const FileDigest& digest) {
    using Outcome = FileDigest::Outcome;
    FileResult result;
    result.name = entry.name;
    result.expectedSize = entry.size;
    result.expectedCrc = entry.crc;
    result.hasPath = true;
    result.path = digest.path;
    result.hasSize = digest.sized;
    result.size = digest.size;
    if (digest.outcome == Outcome::kMissing) {
        result.status = Status::kMissing;
        result.reason = digest.reason.empty() ? "not found" : digest.reason;
    } else if (digest.outcome == Outcome::kReadError ||
               (digest.outcome == Outcome::kNotRead && SizeMatches(entry.size, digest.size))) {
        // The second: not read although its size matched, which only a reader that was told
        // not to read it does. Either way its content is unknown.
        result.status = Status::kReadError;
        result.reason = digest.reason.empty() ? "read error" : digest.reason;
    } else if (digest.outcome == Outcome::kChanged || !SizeMatches(entry.size, digest.size)) {
        // A file that changed while it was read holds something else than it did: its size
        // is what it held, and its CRC belongs to no version of it.
        result.status = Status::kSize;
    } else {
        result.hasCrc = true;
        result.crc = digest.crc;
        result.status = digest.crc == entry.crc ? Status::kOk : Status::kCrc;
    }
    return result;
}

}  // namespace crclist
