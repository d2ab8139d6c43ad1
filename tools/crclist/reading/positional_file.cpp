#include "tools/crclist/reading/positional_file.h"

#include <algorithm>
#include <atomic>

#include "tools/crclist/reading/positional_file_testing.h"

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

bool PositionalFile::ReadAt(std::uint64_t offset, void* out, std::size_t count, std::size_t* got,
                            std::string* reason) const {
    *got = 0;
    if (testing::ReadFailsNow(offset, count)) {
        *reason = "input/output error";
        return false;
    }
    // A drive, or a read that a signal cut short, may give less than it was asked for before
    // the end: only a read that gives nothing is the end.
    auto* bytes = static_cast<unsigned char*>(out);
    while (*got < count) {
        std::size_t read = 0;
        if (!ReadOnce(offset + *got, bytes + *got, count - *got, &read, reason)) {
            return false;
        }
        if (read == 0) {
            break;
        }
        *got += read;
    }
    return true;
}

bool PositionalFile::ReadBytes(std::uint64_t offset, std::size_t count,
                               std::vector<unsigned char>* bytes) const {
    bytes->resize(count);
    std::size_t got = 0;
    std::string reason;
    const bool read = ReadAt(offset, bytes->data(), count, &got, &reason);
    bytes->resize(got);
    return read;
}

bool PositionalFile::Read(std::uint64_t offset, std::size_t count, ReadScratch& scratch,
                          const SpanSink& take, std::size_t* got, std::string* reason) const {
    const bool read =
        ReadAt(offset, scratch.buffer.Data(), std::min(count, scratch.buffer.Size()), got, reason);
    if (*got > 0) {
        take(scratch.buffer.Data(), *got);
    }
    return read;
}

bool ReadWholeFile(const std::string& path, std::uint64_t limit, std::string* bytes,
                   FileFailure* failure) {
    PositionalFile file;
    if (!file.Open(path, PositionalFile::Accept::kRegularFile, failure)) {
        return false;
    }
    if (file.Size() > limit) {
        *failure = {false, "holds more than " + std::to_string(limit) + " bytes"};
        return false;
    }
    // One byte more than its size: a file that grew meanwhile is read to its end too.
    bytes->assign(static_cast<std::size_t>(file.Size()) + 1, '\0');
    std::size_t done = 0;
    for (;;) {
        if (done == bytes->size()) {
            bytes->resize(done + (done >> 1) + 1);
        }
        std::size_t got = 0;
        std::string reason;
        if (!file.ReadAt(done, &(*bytes)[done], bytes->size() - done, &got, &reason)) {
            *failure = {false, reason + " at byte " + std::to_string(done)};
            return false;
        }
        done += got;
        if (done > limit) {
            *failure = {false, "holds more than " + std::to_string(limit) + " bytes"};
            return false;
        }
        if (done < bytes->size()) {
            break;
        }
    }
    bytes->resize(done);
    return true;
}

}  // namespace crclist
