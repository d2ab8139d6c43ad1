// The build declares the program's oldest Windows, which has no slim locks or condition
// variables; crclist.exe runs on Windows 7 and later, and these came with Vista.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#include <windows.h>

#include <algorithm>
#include <bitset>
#include <climits>
#include <vector>

#include "tools/crclist/reading/reading_threads.h"

namespace crclist {

std::size_t AllowedProcessors() {
    // The processors that this process may run on (start /affinity, a job), not all there are.
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    std::size_t processors = 0;
    if (::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system) != 0) {
        processors = std::bitset<sizeof(DWORD_PTR) * CHAR_BIT>(process).count();
    }
    return processors;
}

// The lock is a slim reader/writer lock taken only exclusively, and the wake-up a condition
// variable beside it: both need no cleaning up.
struct ReadingLock::State {
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE changed = CONDITION_VARIABLE_INIT;
};

ReadingLock::ReadingLock() : state_(std::make_unique<State>()) {}

ReadingLock::~ReadingLock() = default;

void ReadingLock::Lock() {
    ::AcquireSRWLockExclusive(&state_->lock);
}

void ReadingLock::Unlock() {
    ::ReleaseSRWLockExclusive(&state_->lock);
}

void ReadingLock::Wait(int milliseconds) {
    const DWORD timeout = milliseconds > 0 ? static_cast<DWORD>(milliseconds) : INFINITE;
    ::SleepConditionVariableSRW(&state_->changed, &state_->lock, timeout, 0);
}

void ReadingLock::WakeAll() {
    ::WakeAllConditionVariable(&state_->changed);
}

namespace {

DWORD WINAPI RunHelper(LPVOID parameter) {
    (*static_cast<const std::function<void()>*>(parameter))();
    return 0;
}

}  // namespace

struct HelperThreads::State {
    std::function<void()> work;
    std::vector<HANDLE> threads;
};

HelperThreads::HelperThreads(std::size_t count, const std::function<void()>& work)
    : state_(std::make_unique<State>()) {
    state_->work = work;  // every thread runs this one copy, which lives as long as they do
    state_->threads.reserve(count);
    for (std::size_t started = 0; started < count; ++started) {
        const HANDLE thread = ::CreateThread(nullptr, 0, RunHelper, &state_->work, 0, nullptr);
        if (thread == nullptr) {
            break;  // the calling thread does the work of those that could not start
        }
        state_->threads.push_back(thread);
    }
}

HelperThreads::~HelperThreads() {
    for (const HANDLE thread : state_->threads) {
        ::WaitForSingleObject(thread, INFINITE);
        ::CloseHandle(thread);
    }
}

}  // namespace crclist
