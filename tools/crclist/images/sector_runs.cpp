#include "tools/crclist/images/sector_runs.h"

#include <zlib.h>

#include <algorithm>

#include "tools/crclist/reading/fast_crc.h"
#include "tools/crclist/reading/read_buffer.h"

namespace crclist {
namespace {

// The runs that each thread has in hand: one that it reads while the one before waits.
constexpr std::size_t kSlotsEach = 2;
// The reads of a run. A run is handed from thread to thread with a lock and often a wake-up,
// which cost as much as the reading of a few hundred KiB on a virtual machine (measured: a
// sixth of the time with runs of one read); with 1 MiB runs, eight buffers stay within 8 MiB.
constexpr std::size_t kReadsPerRun = 8;

}  // namespace

struct SectorRuns::Slot {
    enum class State { kFree, kReading, kRead, kFailed };

    explicit Slot(std::size_t sectors) : data(sectors * kSectorSize), prefix(sectors + 1, 0) {}

    State state = State::kFree;
    std::uint64_t run = 0;
    std::size_t sectors = 0;
    ReadBuffer data;
    std::vector<std::uint32_t> prefix;
};

SectorRuns::SectorRuns(const SectorView& view, const ReadShape& shape)
    : view_(view),
      threads_(shape.helpers + 1),
      readSectors_(std::max<std::size_t>(1, shape.readSize / kSectorSize)),
      runSectors_(readSectors_ * kReadsPerRun),
      runCount_((view.Sectors() + runSectors_ - 1) / runSectors_),
      combine_(runSectors_ + 1, 0),
      first_(runCount_),
      next_(runCount_) {
    // Each one from the one before: x^(8 * 2048 * k) modulo the CRC's polynomial.
    combine_[1] = crc32_combine_gen(static_cast<z_off_t>(kSectorSize));
    for (std::size_t sectors = 2; sectors <= runSectors_; ++sectors) {
        combine_[sectors] = crc32_combine_op(combine_[sectors - 1], 0, combine_[1]);
    }
    for (std::size_t slot = 0; slot < threads_ * kSlotsEach; ++slot) {
        slots_.push_back(std::make_unique<Slot>(runSectors_));
    }
    helpers_ = std::make_unique<HelperThreads>(shape.helpers,
                                               [this](std::size_t thread) { Help(thread); });
}

SectorRuns::~SectorRuns() {
    {
        LockHeld held(lock_);
        finished_ = true;
        lock_.WakeAll();
    }
    helpers_.reset();
}

// With the lock held: the next run, when it lies in the window and `thread` has a buffer that
// holds no run still wanted. Without a buffer to spare the thread waits, so a buffer whose run
// no Take will want must be free to take, or a jump back could leave every thread waiting.
bool SectorRuns::Claim(std::size_t thread, Slot** claimed) {
    if (next_ >= runCount_ || next_ >= first_ + slots_.size()) {
        return false;
    }
    for (std::size_t own = thread * kSlotsEach; own < (thread + 1) * kSlotsEach; ++own) {
        Slot& slot = *slots_[own];
        // A run outside the window is not wanted any more: one before it, or one read ahead of
        // a jump back. The run taken last stays, as what it gave is still in use.
        const bool inWindow = slot.run >= first_ && slot.run < std::max(next_, first_ + 1);
        if (slot.state == Slot::State::kFree ||
            (slot.state != Slot::State::kReading && !inWindow)) {
            slot.state = Slot::State::kReading;
            slot.run = next_++;
            *claimed = &slot;
            return true;
        }
    }
    return false;
}

// Without the lock: reads the run of `slot`, which only this thread touches until Finish, and
// takes its CRCs. True when every sector was read; `*got` is how many were.
bool SectorRuns::ReadRun(Slot& slot, std::vector<unsigned char>* raw, std::size_t* got) const {
    const std::uint64_t first = slot.run * runSectors_;
    const auto sectors =
        static_cast<std::size_t>(std::min<std::uint64_t>(runSectors_, view_.Sectors() - first));
    *got = 0;
    while (*got < sectors) {
        // A read at a time, its CRCs taken while it is in this core's cache.
        const std::size_t count = std::min(readSectors_, sectors - *got);
        std::size_t read = 0;
        const bool ok =
            view_.Read(first + *got, count, slot.data.Data() + *got * kSectorSize, &read, raw);
        for (std::size_t sector = *got; sector < *got + read; ++sector) {
            slot.prefix[sector + 1] = FastCrc32(
                slot.prefix[sector], slot.data.Data() + sector * kSectorSize, kSectorSize);
        }
        *got += read;
        if (!ok || read < count) {
            return false;
        }
    }
    return true;
}

// With the lock held: what ReadRun gave, for every thread to see.
void SectorRuns::Finish(Slot& slot, std::size_t sectors, bool read) {
    slot.sectors = sectors;
    slot.state = read ? Slot::State::kRead : Slot::State::kFailed;
    if (waiting_ > 0) {
        lock_.WakeAll();
    }
}

void SectorRuns::Help(std::size_t thread) {
    std::vector<unsigned char> raw;
    LockHeld held(lock_);
    while (!finished_) {
        Slot* slot = nullptr;
        if (!Claim(thread, &slot)) {
            ++waiting_;
            lock_.Wait(0);
            --waiting_;
            continue;
        }
        lock_.Unlock();
        std::size_t got = 0;
        const bool read = ReadRun(*slot, &raw, &got);
        lock_.Lock();
        Finish(*slot, got, read);
    }
}

bool SectorRuns::Take(std::uint64_t sector, SectorRun* run) {
    const std::uint64_t wanted = sector / runSectors_;
    LockHeld held(lock_);
    if (wanted < first_ || wanted > next_) {
        next_ = wanted;  // a jump: the window starts again there
    }
    first_ = wanted;
    if (waiting_ > 0) {
        lock_.WakeAll();  // the window moved on
    }
    for (;;) {
        // The data of a run is the same whenever it was read.
        const auto found = std::find_if(slots_.begin(), slots_.end(), [wanted](const auto& slot) {
            return slot->run == wanted &&
                   (slot->state == Slot::State::kRead || slot->state == Slot::State::kFailed);
        });
        if (found != slots_.end()) {
            const Slot& slot = **found;
            taken_ = {wanted * runSectors_, slot.sectors, slot.data.Data(), slot.prefix.data()};
            *run = taken_;
            return slot.state == Slot::State::kRead;
        }
        // Read the next run meanwhile, the one wanted when nobody has taken it.
        Slot* claimed = nullptr;
        if (Claim(0, &claimed)) {
            lock_.Unlock();
            std::size_t got = 0;
            const bool read = ReadRun(*claimed, &raw_, &got);
            lock_.Lock();
            Finish(*claimed, got, read);
            continue;
        }
        ++waiting_;
        lock_.Wait(0);
        --waiting_;
    }
}

std::uint32_t SectorRuns::ContinueCrc(std::uint32_t crc, const void* data, std::size_t size) const {
    const auto* bytes = static_cast<const unsigned char*>(data);
    const unsigned char* start = taken_.data;
    if (start == nullptr || bytes < start || bytes + size > start + taken_.sectors * kSectorSize) {
        return FastCrc32(crc, data, size);
    }
    // The whole sectors within the bytes from the prefixes, the bytes around them read.
    const auto at = static_cast<std::size_t>(bytes - start);
    const std::size_t from = (at + kSectorSize - 1) / kSectorSize;
    const std::size_t to = (at + size) / kSectorSize;
    if (from >= to) {
        return FastCrc32(crc, data, size);
    }
    crc = FastCrc32(crc, bytes, from * kSectorSize - at);
    const unsigned long moved = combine_[to - from];
    const unsigned long whole = crc32_combine_op(taken_.prefix[from], taken_.prefix[to], moved);
    crc = static_cast<std::uint32_t>(crc32_combine_op(crc, whole, moved));
    return FastCrc32(crc, start + to * kSectorSize, at + size - to * kSectorSize);
}

}  // namespace crclist
