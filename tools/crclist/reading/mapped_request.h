// A request read in an order of its own, or with one file standing for several of the caller's:
// file k of the reading stands for the caller's files `callers[k]`, and what the reading tells
// of it is passed on to each of them. An image reads the names that share data once, in the
// order of the data on the medium; installed files are read without those that have no path.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tools/crclist/reading/file_batch.h"
#include "tools/crclist/reading/file_digest.h"
#include "tools/crclist/reading/read_observer.h"

namespace crclist {

class MappedRequest : public ReadObserver {
  public:
    // `pathOf`, when given, says where each of the caller's files is, for its digest.
    MappedRequest(std::vector<std::vector<std::size_t>> callers, ReadObserver& observer,
                  std::function<std::string(std::size_t caller)> pathOf = nullptr)
        : callers_(std::move(callers)), observer_(observer), pathOf_(std::move(pathOf)) {}

    // Whether a stop was asked for while it was read.
    bool Stopped() const { return stopped_; }

    bool WantContent(std::size_t index, std::uint64_t size) const override {
        bool wanted = false;
        for (const std::size_t caller : callers_[index]) {
            wanted = observer_.WantContent(caller, size) || wanted;
        }
        return wanted;
    }
    void NowReading(std::size_t index) override {
        if (!callers_[index].empty()) {
            observer_.NowReading(callers_[index].front());
        }
    }
    void BytesRead(std::uint64_t count) override { observer_.BytesRead(count); }
    bool StopRequested() override {
        stopped_ = observer_.StopRequested() || stopped_;
        return stopped_;
    }
    void Done(std::size_t index, const FileDigest& digest) override {
        for (const std::size_t caller : callers_[index]) {
            FileDigest own = digest;
            if (pathOf_) {
                own.path = pathOf_(caller);
            }
            observer_.Done(caller, own);
        }
    }

  private:
    std::vector<std::vector<std::size_t>> callers_;
    ReadObserver& observer_;
    std::function<std::string(std::size_t caller)> pathOf_;
    bool stopped_ = false;
};

// Reads files 0 to n-1 of `observer`'s request in `order` (a permutation of them), as
// ReadFileBatch reads; `locate` finds a file by its index in the caller's request.
inline void ReadFileBatchInOrder(const std::vector<std::size_t>& order, const FileLocator& locate,
                                 ReadObserver& observer, const ReadShape& shape) {
    std::vector<std::vector<std::size_t>> callers;
    callers.reserve(order.size());
    for (const std::size_t index : order) {
        callers.push_back({index});
    }
    MappedRequest request(std::move(callers), observer);
    ReadFileBatch(
        order.size(),
        [&](std::size_t index, FoundFile* found) { return locate(order[index], found); }, request,
        shape);
}

}  // namespace crclist
