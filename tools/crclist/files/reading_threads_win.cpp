#include "tools/crclist/files/reading_threads.h"

namespace crclist {

// The calling thread reads alone, so there is nothing for the lock to guard and nobody to
// wake or wait for.

std::size_t HelperThreadCount() {
    return 0;
}

struct ReadingLock::State {};

ReadingLock::ReadingLock() = default;

ReadingLock::~ReadingLock() = default;

void ReadingLock::Lock() {}

void ReadingLock::Unlock() {}

void ReadingLock::Wait(int /*milliseconds*/) {}

void ReadingLock::WakeAll() {}

struct HelperThreads::State {};

HelperThreads::HelperThreads(std::size_t /*count*/,
                             const std::function<void(std::size_t worker)>& /*work*/) {}

HelperThreads::~HelperThreads() = default;

}  // namespace crclist
