// The sectors of a view read ahead in runs by the threads of a reading, for a file system
// reader that goes through an image forward on one thread (libarchive). The thread that reads
// a run also takes the CRC of its data up to each sector, while the data is in its core's
// cache; a block of a file that lies in a run then gets its CRC from those, with zlib's
// crc32_combine, and no thread reads the data a second time.
//
// A run is a few reads. Each thread takes the next run when it has one of its own buffers free,
// so that its buffers stay in its core's cache: a copy runs at the speed of memory only into
// a buffer that stays there (measured: 25 GB/s into one of 128 KiB, 12 GB/s cycling through
// 4 MiB).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "tools/crclist/images/sector_view.h"
#include "tools/crclist/reading/read_shape.h"
#include "tools/crclist/reading/reading_threads.h"

namespace crclist {

// A run of sectors as it was read.
struct SectorRun {
    std::uint64_t first = 0;  // its first sector
    std::size_t sectors = 0;  // how many it holds: fewer than a run only at the end of the view
    const unsigned char* data = nullptr;  // their user data, kSectorSize bytes each
    // prefix[k]: the CRC-32 of the first k sectors of `data`, for k from 0 to `sectors`.
    const std::uint32_t* prefix = nullptr;
};

class SectorRuns {
  public:
    SectorRuns(const SectorView& view, const ReadShape& shape);
    SectorRuns(const SectorRuns&) = delete;
    SectorRuns& operator=(const SectorRuns&) = delete;
    ~SectorRuns();

    // The run that holds `sector`, which must lie in the view, while the runs after it are
    // read ahead. False on a read error. What it gives stays valid until the next call.
    bool Take(std::uint64_t sector, SectorRun* run);

    // The CRC of `crc`'s bytes followed by the `size` bytes at `data`: from the run taken last
    // where they lie in it, else computed from the bytes.
    std::uint32_t ContinueCrc(std::uint32_t crc, const void* data, std::size_t size) const;

  private:
    struct Slot;
    bool Claim(std::size_t thread, Slot** claimed);
    bool ReadRun(Slot& slot, std::vector<unsigned char>* raw, std::size_t* got) const;
    void Finish(Slot& slot, std::size_t sectors, bool read);
    void Help(std::size_t thread);

    const SectorView& view_;
    const std::size_t threads_;
    const std::size_t readSectors_;  // of one read
    const std::size_t runSectors_;
    const std::uint64_t runCount_;
    // combine_[k]: zlib's operator that moves a CRC past k sectors, for k up to a run.
    std::vector<unsigned long> combine_;
    std::vector<std::unique_ptr<Slot>> slots_;  // kSlotsEach for each thread, in turn

    ReadingLock lock_;
    // Guarded by lock_:
    // The run taken last: the window of runs starts there. Until the first Take, both are at
    // the end: no window, nothing read.
    std::uint64_t first_ = 0;
    std::uint64_t next_ = 0;  // the first run of the window that no thread has taken
    std::size_t waiting_ = 0;
    bool finished_ = false;

    SectorRun taken_;                 // the run given last
    std::vector<unsigned char> raw_;  // the raw sectors of the calling thread's runs

    std::unique_ptr<HelperThreads> helpers_;  // last: they go first
};

}  // namespace crclist
