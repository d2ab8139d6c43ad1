#include "tools/crclist/reading/sequential_file.h"

#include <atomic>

#include "tools/crclist/reading/sequential_file_testing.h"

namespace crclist {
namespace {

constexpr std::uint64_t kNoFailure = ~std::uint64_t{0};
std::atomic<std::uint64_t> failingOffset{kNoFailure};

}  // namespace

namespace testing {

void FailReadAt(std::uint64_t offset) {
    failingOffset = offset;
}

bool ReadFailsNow(std::uint64_t offset, std::uint64_t count) {
    std::uint64_t armed = failingOffset.load(std::memory_order_relaxed);
    return armed != kNoFailure && armed >= offset && armed - offset < count &&
           failingOffset.compare_exchange_strong(armed, kNoFailure);
}

}  // namespace testing

bool ReadWholeFile(const std::string& path, std::uint64_t limit, std::string* bytes) {
    SequentialFile file;
    if (!file.Open(path) || file.OpenedSize() > limit) {
        return false;
    }
    const std::uint64_t size = file.OpenedSize();
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
