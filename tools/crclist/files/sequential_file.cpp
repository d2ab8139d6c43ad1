#include "tools/crclist/files/sequential_file.h"

namespace crclist {

bool ReadWholeFile(const std::string& path, std::uint64_t limit, std::string* bytes) {
    SequentialFile file;
    std::uint64_t size = 0;
    if (!file.Open(path) || !file.Size(&size) || size > limit) {
        return false;
    }
    // One byte more than its size: a file that grew meanwhile is read to its end too.
    bytes->assign(static_cast<std::size_t>(size) + 1, '\0');
    std::size_t done = 0;
    for (;;) {
        if (done == bytes->size()) {
            bytes->resize(done + (done >> 1) + 1);
        }
        std::size_t got = 0;
        if (!file.Read(&(*bytes)[done], bytes->size() - done, &got)) {
            return false;
        }
        if (got == 0) {
            break;
        }
        done += got;
        if (done > limit) {
            return false;
        }
    }
    bytes->resize(done);
    return true;
}

}  // namespace crclist
