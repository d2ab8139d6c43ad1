#include "tools/crclist/reading/file_digest.h"

#include "tools/crclist/reading/file_batch.h"

namespace crclist {

void ReadFilesAt(const std::vector<std::string>& paths, ReadObserver& observer,
                 const ReadShape& shape) {
    ReadFileBatch(
        paths.size(),
        [&paths](std::size_t index, FoundFile* found) {
            found->path = paths[index];
            return true;
        },
        observer, shape);
}

}  // namespace crclist
