#include <sched.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "tools/crclist/reading/reading_threads.h"

namespace crclist {

std::size_t AllowedProcessors() {
    // The processors that this process may run on (taskset, cgroup cpusets), not all there are.
    cpu_set_t allowed;
    std::size_t processors = 0;
    if (::sched_getaffinity(0, sizeof allowed, &allowed) == 0) {
        processors = static_cast<std::size_t>(CPU_COUNT(&allowed));
    } else {
        processors = std::thread::hardware_concurrency();
    }
    return processors;
}

struct ReadingLock::State {
    std::mutex mutex;
    std::condition_variable changed;
};

ReadingLock::ReadingLock() : state_(std::make_unique<State>()) {}

ReadingLock::~ReadingLock() = default;

void ReadingLock::Lock() {
    state_->mutex.lock();
}

void ReadingLock::Unlock() {
    state_->mutex.unlock();
}

void ReadingLock::Wait(int milliseconds) {
    // The caller holds the mutex; the unique_lock only lends it to the wait.
    std::unique_lock<std::mutex> held(state_->mutex, std::adopt_lock);
    if (milliseconds > 0) {
        state_->changed.wait_for(held, std::chrono::milliseconds(milliseconds));
    } else {
        state_->changed.wait(held);
    }
    held.release();
}

void ReadingLock::WakeAll() {
    state_->changed.notify_all();
}

struct HelperThreads::State {
    std::vector<std::thread> threads;
};

HelperThreads::HelperThreads(std::size_t count, const std::function<void()>& work)
    : state_(std::make_unique<State>()) {
    for (std::size_t started = 0; started < count; ++started) {
        try {
            state_->threads.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // the calling thread does the work of those that could not start
        }
    }
}

HelperThreads::~HelperThreads() {
    for (std::thread& thread : state_->threads) {
        thread.join();
    }
}

}  // namespace crclist
