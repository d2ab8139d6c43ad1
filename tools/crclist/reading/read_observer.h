// The interface of every reader of files and discs: what it tells about the files that it
// reads, and what it asks of the one who reads them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace crclist {

struct FileDigest;

// What a reader tells about the files that it reads and asks of the one who reads them.
// `index` is the position of the file in the reader's request. A reader may read with several
// threads, but it calls everything except WantContent on the thread that called it.
class ReadObserver {
  public:
    // File `index` was found with `size` bytes and is about to be read. False: its content is
    // not wanted, and it is not read. Asked on any of the reader's threads, even at once, so it
    // must only look, never change anything.
    virtual bool WantContent(std::size_t index, std::uint64_t size) const = 0;
    // File `index` is the one being read, or with several threads the first of the request
    // whose reading is not done: the one that a progress line names.
    virtual void NowReading(std::size_t /*index*/) {}
    // `count` more bytes were read.
    virtual void BytesRead(std::uint64_t count) = 0;
    // Asked before each block that the calling thread reads, and while it waits for others.
    virtual bool StopRequested() = 0;
    // Everything known of file `index`, once for each file of the request, in the order in
    // which the reader has them. A file whose reading was stopped is not reported.
    virtual void Done(std::size_t index, const FileDigest& digest) = 0;

  protected:
    ~ReadObserver() = default;
};

}  // namespace crclist
