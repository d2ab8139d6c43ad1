// The files of a request read for their sizes and CRCs by every processor at once: files of
// their own, and files of a disc image, which lie in extents of the image's sectors. Each
// thread takes the next piece of work, a whole small file or a piece of a large one, reads it
// into a buffer of its own and takes the CRC of each read while the data is still in its
// core's cache; the CRCs of a large file's pieces are joined in order. Handing data from one
// core to another for its CRC was measured slower than reading it again. With no helper, the
// calling thread reads everything in the order of the request, as one stream.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "tools/crclist/reading/byte_source.h"
#include "tools/crclist/reading/file_digest.h"
#include "tools/crclist/reading/read_observer.h"
#include "tools/crclist/reading/read_shape.h"

namespace crclist {

// Where a file of a request is, as its reader found it.
struct FoundFile {
    // Where it is, or was looked for, in the system's encoding: for messages, and the file to
    // open when `source` is null.
    std::string path;
    // Otherwise its bytes lie in `source`, which stays open while the reading lasts, in
    // `extents`, `size` bytes in all.
    const ByteSource* source = nullptr;
    std::vector<Extent> extents;
    std::uint64_t size = 0;
    // When it is not there: why, if not "not found".
    std::string reason;
};

// Finds file `index` of a request. False when it is not there; `found->path` then says where
// it was looked for. Called for each file once, on any of the threads, several at once.
using FileLocator = std::function<bool(std::size_t index, FoundFile* found)>;

// Reads files 0 to `count` - 1 with the threads and reads of `shape`. A file that is not
// there, cannot be opened or has a size that `observer` does not want is not read. Done comes
// for each file in the order of the indices; after a stop, for those before the first that
// was not read in full.
void ReadFileBatch(std::size_t count, const FileLocator& locate, ReadObserver& observer,
                   const ReadShape& shape);

}  // namespace crclist
