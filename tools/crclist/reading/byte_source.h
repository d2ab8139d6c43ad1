// Where the bytes of a reading's files lie: a file of their own, or the data of a disc image's
// sectors. A source hands over what it reads in spans, so that an image of raw sectors gives
// each sector's data where it lies in the read, without a copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/crclist/reading/read_buffer.h"

namespace crclist {

// What one thread reads into: a buffer of the reading's read size, and room for a source that
// reads more than it gives.
struct ReadScratch {
    explicit ReadScratch(std::size_t readSize) : buffer(readSize) {}
    ReadBuffer buffer;
    std::vector<unsigned char> spare;
};

// Told of the bytes of a read, in order.
using SpanSink = std::function<void(const unsigned char* data, std::size_t size)>;

class ByteSource {
  public:
    // Reads up to `count` bytes at `offset`, no more than the scratch's buffer holds, and
    // hands them to `take`. `*got` is how many: fewer only at the end of the source. False
    // on a read error, with the system's words in `reason`; what was handed over stands.
    virtual bool Read(std::uint64_t offset, std::size_t count, ReadScratch& scratch,
                      const SpanSink& take, std::size_t* got, std::string* reason) const = 0;

  protected:
    ~ByteSource() = default;
};

// A stretch of a file's bytes in its source, in the order of the file.
struct Extent {
    std::uint64_t offset = 0;  // where it lies in the source
    std::uint64_t length = 0;
    bool zeros = false;  // a stretch that was never recorded: it reads as zeros
};

// The `size` bytes that lie in `extents` of `source`, copied into `bytes`, on one thread: a
// small file such as a check list on a disc. False, with the reason in `reason`, when a read
// fails or the extents hold less.
bool CopyExtents(const ByteSource& source, const std::vector<Extent>& extents, std::uint64_t size,
                 std::string* bytes, std::string* reason);

}  // namespace crclist
