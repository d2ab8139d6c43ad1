// The threads that share one reading with the calling thread, and the lock and wake-up that
// they share: a thread for each further processor, with std::thread natively and with Win32's
// own threads in crclist.exe, whose compiler's thread model has no std::thread. Every reading
// also works with no helper at all, the calling thread then doing everything.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

namespace crclist {

// The processors that this process may run on, not all that the machine has; 0 when the
// system does not tell.
std::size_t AllowedProcessors();

// A lock with a wake-up: the one lock of a reading's shared state.
class ReadingLock {
  public:
    ReadingLock();
    ReadingLock(const ReadingLock&) = delete;
    ReadingLock& operator=(const ReadingLock&) = delete;
    ~ReadingLock();

    void Lock();
    void Unlock();
    // With the lock held: lets it go until WakeAll, or until `milliseconds` have passed when it
    // is above 0, and takes it again. It may also return for no reason: test what was awaited.
    void Wait(int milliseconds);
    void WakeAll();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// The lock, held from construction and let go however the scope is left; it may be let go and
// taken again meanwhile, around work done without it.
class LockHeld {
  public:
    explicit LockHeld(ReadingLock& lock) : lock_(lock) { lock_.Lock(); }
    LockHeld(const LockHeld&) = delete;
    LockHeld& operator=(const LockHeld&) = delete;
    ~LockHeld() {
        if (held_) {
            lock_.Unlock();
        }
    }
    void Lock() {
        lock_.Lock();
        held_ = true;
    }
    void Unlock() {
        held_ = false;
        lock_.Unlock();
    }

  private:
    ReadingLock& lock_;
    bool held_ = true;
};

// Runs `work` on `count` threads of their own, until they return; the object waits for them
// when it goes. Fewer run when the system refuses threads.
class HelperThreads {
  public:
    HelperThreads(std::size_t count, const std::function<void()>& work);
    HelperThreads(const HelperThreads&) = delete;
    HelperThreads& operator=(const HelperThreads&) = delete;
    ~HelperThreads();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace crclist
