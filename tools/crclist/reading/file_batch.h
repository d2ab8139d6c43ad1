// The files of a request read for their sizes and CRCs by every processor at once. Each thread
// takes the next piece of work, a whole small file or a piece of a large one, reads it into a
// buffer of its own and takes the CRC of each read while the data is still in its core's
// cache; the CRCs of a large file's pieces are joined in order with zlib's crc32_combine.
// Handing data from one core to another for its CRC was measured slower than reading it again.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "tools/crclist/reading/file_digest.h"
#include "tools/crclist/reading/read_observer.h"
#include "tools/crclist/reading/read_shape.h"

namespace crclist {

// Where file `index` of a request is, in the system's encoding. False when it is not there;
// `path` then says where it was looked for.
using FileLocator = std::function<bool(std::size_t index, std::string* path)>;

// Reads files 0 to `count` - 1 with the threads and reads of `shape`. `locate` is called for
// each file once, one call at a time, on any of the threads. A file that is not there, cannot
// be opened or has a size that `observer` does not want is not read. Done comes for each file
// in the order of the indices; after a stop, for those before the first that was not read in
// full.
void ReadFileBatch(std::size_t count, const FileLocator& locate, ReadObserver& observer,
                   const ReadShape& shape);

}  // namespace crclist
