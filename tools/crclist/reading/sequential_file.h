// A file read once from its start to its end, by one thread or in pieces by several, with the
// system told so, so that it reads ahead: POSIX with posix_fadvise natively, Win32 with
// FILE_FLAG_SEQUENTIAL_SCAN on Windows. The file is shared with other readers only, as the
// program opens it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace crclist {

class SequentialFile {
  public:
    SequentialFile() = default;
    SequentialFile(const SequentialFile&) = delete;
    SequentialFile& operator=(const SequentialFile&) = delete;
    ~SequentialFile();

    // Opens an existing file (not a folder) for reading and takes its size. False when it
    // cannot be opened or its size cannot be taken.
    bool Open(const std::string& path);
    // The size that Open took.
    std::uint64_t OpenedSize() const { return openedSize_; }
    // The whole size of the file as it is now. False when it cannot be taken.
    bool Size(std::uint64_t* size) const;
    // Tells the system that the file is to be read to its end, so that it reads far ahead:
    // worth its call for a large file only.
    void ReadingToTheEnd();
    // Reads up to `count` bytes into `buffer`; `*got` is 0 at the end. False on a read error.
    bool Read(void* buffer, std::size_t count, std::size_t* got);
    // Reads up to `count` bytes at `offset` without moving the file's position, so that
    // several threads can read one file at once; `*got` is 0 at the end. False on an error.
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count, std::size_t* got) const;

  private:
    void Close();

    // A file descriptor, or a HANDLE on Windows; -1 (INVALID_HANDLE_VALUE there) when closed.
    std::intptr_t handle_ = -1;
    std::uint64_t openedSize_ = 0;
};

// The whole content of the file at `path`. False when it cannot be opened or read, or holds
// more than `limit` bytes.
bool ReadWholeFile(const std::string& path, std::uint64_t limit, std::string* bytes);

}  // namespace crclist
