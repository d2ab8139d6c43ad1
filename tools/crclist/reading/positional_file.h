// A file or a drive opened for reading at any offset, by any number of threads at once: the
// one way crclist reads the bytes of a listed file, a disc image or a drive. It is opened
// without waiting, so that a FIFO or a device at a listed name never blocks, and shared with
// other readers only, as the program opens its files. Paths are UTF-8 on Windows too, opened
// there through the wide functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/crclist/reading/byte_source.h"

namespace crclist {

// Why a file could not be opened or read.
struct FileFailure {
    // Not there, or not a file: what the program calls a file that it cannot open. Otherwise
    // the file is there but cannot be read.
    bool missing = false;
    // In words that follow its name: "not found", "not a regular file", "permission denied",
    // "there is no disc in the drive", "input/output error", or the system's own words.
    std::string reason;
};

class PositionalFile final : public ByteSource {
  public:
    enum class Accept {
        kRegularFile,  // a listed file: anything else is not a regular file
        kFileOrDrive,  // a disc image, or a drive's device such as /dev/sr0
    };

    PositionalFile() = default;
    PositionalFile(const PositionalFile&) = delete;
    PositionalFile& operator=(const PositionalFile&) = delete;
    ~PositionalFile();
    PositionalFile(PositionalFile&&) = delete;
    PositionalFile& operator=(PositionalFile&&) = delete;

    // False, with `failure` set, when `path` cannot be opened as what `accept` takes.
    bool Open(const std::string& path, Accept accept, FileFailure* failure);
    // The size when it was opened: of the file, or of the disc in a drive (where a seek to the
    // end lands, as a drive has no size in its status).
    std::uint64_t Size() const { return size_; }
    // The size of the file as it is now. False when it cannot be taken.
    bool CurrentSize(std::uint64_t* size) const;
    // Tells the system that the file is to be read to its end, so that it reads far ahead:
    // worth its call for a large file only.
    void ReadingToTheEnd() const;
    // How many of the `length` bytes at `offset` are in the system's memory (its page cache),
    // asked without reading them from the medium. False when the system cannot tell.
    bool CachedBytes(std::uint64_t offset, std::uint64_t length, std::uint64_t* cached) const;
    // Where the file's first byte lies on its device, so that files can be read in the order
    // in which a disk holds them. False when the system cannot tell, or the file is empty.
    bool PhysicalOffset(std::uint64_t* offset) const;
    // Reads `count` bytes at `offset`, fewer only at the end of the file. False on an error,
    // with the system's words in `reason`.
    bool ReadAt(std::uint64_t offset, void* out, std::size_t count, std::size_t* got,
                std::string* reason) const;
    // The same into `bytes`, which holds what was read: fewer than `count` only at the end.
    bool ReadBytes(std::uint64_t offset, std::size_t count,
                   std::vector<unsigned char>* bytes) const;
    // As a source: the bytes at `offset`, read into the scratch's buffer.
    bool Read(std::uint64_t offset, std::size_t count, ReadScratch& scratch, const SpanSink& take,
              std::size_t* got, std::string* reason) const override;

  private:
    // One read of the system: up to `count` bytes, 0 at the end.
    bool ReadOnce(std::uint64_t offset, void* out, std::size_t count, std::size_t* got,
                  std::string* reason) const;
    void Close();

    // A file descriptor, or a HANDLE on Windows; -1 (INVALID_HANDLE_VALUE there) when closed.
    std::intptr_t handle_ = -1;
    std::uint64_t size_ = 0;
};

// The whole content of the file at `path`. False, with `failure` set, when it cannot be opened
// or read, or holds more than `limit` bytes.
bool ReadWholeFile(const std::string& path, std::uint64_t limit, std::string* bytes,
                   FileFailure* failure);

}  // namespace crclist
