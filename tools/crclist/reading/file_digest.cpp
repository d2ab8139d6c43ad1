#include "tools/crclist/reading/file_digest.h"

#include "tools/crclist/reading/file_batch.h"

namespace crclist {
namespace {

// The request of one file, passed on to the caller's observer as file `index`; its digest is
// kept, not passed on.
class OneFile : public ReadObserver {
  public:
    OneFile(std::size_t index, ReadObserver& observer) : index_(index), observer_(observer) {}

    bool WantContent(std::size_t /*index*/, std::uint64_t size) const override {
        return observer_.WantContent(index_, size);
    }
    void NowReading(std::size_t /*index*/) override { observer_.NowReading(index_); }
    void BytesRead(std::uint64_t count) override { observer_.BytesRead(count); }
    bool StopRequested() override { return observer_.StopRequested(); }
    void Done(std::size_t /*index*/, const FileDigest& digest) override {
        digest_ = digest;
        done_ = true;
    }

    bool done() const { return done_; }
    const FileDigest& digest() const { return digest_; }

  private:
    const std::size_t index_;
    ReadObserver& observer_;
    FileDigest digest_;
    bool done_ = false;
};

}  // namespace

FileDigest DigestFile(const std::string& path, std::size_t index, ReadObserver& observer,
                      const ReadShape& shape) {
    OneFile one(index, observer);
    ReadFileBatch(
        1,
        [&path](std::size_t /*index*/, std::string* where) {
            *where = path;
            return true;
        },
        one, shape);
    if (one.done()) {
        return one.digest();
    }
    FileDigest stopped;
    stopped.path = path;
    stopped.outcome = FileDigest::Outcome::kStopped;
    return stopped;
}

}  // namespace crclist
