// The sizes and CRCs that make and update write into entries, read the way verify reads them:
// through the disc readers, and the installed files in one batch of their own. An entry
// holds a size of at most 2147483647 bytes; a larger file is not read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/crclist/reading/file_digest.h"
#include "tools/crclist/reading/read_observer.h"

namespace crclist {

constexpr std::uint64_t kLargestEntrySize = 2147483647;

// An installed file named on a command line as --installed NAME=PATH: the registry value that
// holds its path, and where it is, both in the system's encoding.
struct InstalledFile {
    std::string valueName;
    std::string path;

    // Splits `option` at its first '='; false when it has none.
    static bool Parse(const std::string& option, InstalledFile* file);
    // NAME=PATH again, for messages.
    std::string Option() const { return valueName + "=" + path; }
};

// What a reader gives for a request, kept by index; the content of a file too large for an
// entry is not read.
class EntryDigests : public ReadObserver {
  public:
    explicit EntryDigests(std::size_t count) : digests_(count) {}

    bool WantContent(std::size_t /*index*/, std::uint64_t size) const override {
        return size <= kLargestEntrySize;
    }
    void BytesRead(std::uint64_t /*count*/) override {}
    bool StopRequested() override { return false; }
    void Done(std::size_t index, const FileDigest& digest) override { digests_[index] = digest; }

    const FileDigest& operator[](std::size_t index) const { return digests_[index]; }

  private:
    std::vector<FileDigest> digests_;
};

// The digests of the files at `paths` (in the system's encoding) for entries, in their order,
// read in one batch with at most `jobs` threads (0: as many as suit their medium).
std::vector<FileDigest> DigestsForEntries(const std::vector<std::string>& paths, std::size_t jobs);

// The numbers of an entry from `digest`. False, with `why` set to words that follow the
// file's path ("cannot be read"), when they cannot be had.
bool EntryNumbers(const FileDigest& digest, std::int32_t* size, std::uint32_t* crc,
                  std::string* why);

}  // namespace crclist
