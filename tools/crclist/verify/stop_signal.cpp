#include "tools/crclist/verify/stop_signal.h"

#include <atomic>

namespace crclist {
namespace {

// The signal's number; 0 while none came. Set in a signal handler natively and on a thread of
// the system's own on Windows, so it must be lock-free and atomic.
std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may set it");

}  // namespace

bool TakeStopSignal(int signal) {
    int none = 0;
    return caught.compare_exchange_strong(none, signal);
}

bool StopSignalled() {
    return caught != 0;
}

int StopExitCode() {
    return 128 + caught.load();
}

}  // namespace crclist
