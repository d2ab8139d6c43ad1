#include "tools/crclist/reading/file_batch.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "tools/crclist/reading/piece_read.h"
#include "tools/crclist/reading/reading_threads.h"

namespace crclist {
namespace {

using Outcome = FileDigest::Outcome;

// How many files the threads may take beyond the first whose digest the caller has not had:
// what keeps the digests in hand few however long the request.
constexpr std::size_t kWindow = 64;

// How long the calling thread waits for the others before it asks about a stop again and
// passes on the bytes read: a tenth of what the progress line allows itself.
constexpr int kPollMilliseconds = 10;

// One file of the window.
struct Slot {
    std::size_t index = 0;
    bool done = false;
    FileDigest digest;
    // While the pieces of a large file are read: the file, which every thread reads through,
    // and what its pieces gave.
    std::unique_ptr<SequentialFile> file;
    std::size_t pieces = 0;
    std::size_t claimed = 0;
    std::size_t finished = 0;
    std::vector<std::uint32_t> crcs;
    Outcome outcome = Outcome::kRead;
    std::uint64_t changedSize = 0;

    void Reset(std::size_t at) {
        *this = Slot();
        index = at;
    }
};

// A piece of work: a file to open and read (number 0 of a file not yet opened), or a piece of
// a large one.
struct Piece {
    Slot* slot = nullptr;
    std::size_t number = 0;
    bool opening = false;
};

// Which outcome of a large file's pieces stands for the file: a stop first, as a stopped file
// is not reported; then an error, then a change.
int Weight(Outcome outcome) {
    switch (outcome) {
        case Outcome::kStopped:
            return 3;
        case Outcome::kReadError:
            return 2;
        case Outcome::kChanged:
            return 1;
        default:
            return 0;
    }
}

class Batch {
  public:
    Batch(std::size_t count, const FileLocator& locate, ReadObserver& observer,
          const ReadShape& shape)
        : count_(count), locate_(locate), observer_(observer), shape_(shape), slots_(kWindow) {}

    void Run();

  private:
    bool Claim(Piece* piece);
    bool ClaimAndWork(PieceReader& reader);
    void Work(const Piece& piece, PieceReader& reader);
    void OpenAndRead(Slot& slot, PieceReader& reader);
    void ReadLargePiece(Slot& slot, std::size_t number, PieceReader& reader);
    void Complete(Slot& slot);
    void Help();
    void WakeWaiters();
    void PassOnBytes(std::uint64_t count);
    bool StopAsked();

    const std::size_t count_;
    const FileLocator& locate_;
    ReadObserver& observer_;
    const ReadShape& shape_;

    ReadingLock lock_;
    // Guarded by lock_:
    std::vector<Slot> slots_;    // file i in slot i % kWindow
    std::size_t nextFile_ = 0;   // the first file that no thread has taken
    std::size_t delivered_ = 0;  // the first file whose digest the caller has not had
    std::vector<Slot*> large_;   // large files with pieces that no thread has taken yet
    std::size_t busy_ = 0;       // pieces being read
    std::size_t waiting_ = 0;    // threads in Wait
    bool finished_ = false;      // the helpers are to return

    std::atomic<bool> stop_{false};
    std::atomic<std::uint64_t> unreported_{0};  // bytes read by helpers, not yet passed on
};

void Batch::WakeWaiters() {
    if (waiting_ > 0) {
        lock_.WakeAll();
    }
}

void Batch::PassOnBytes(std::uint64_t count) {
    count += unreported_.exchange(0);
    if (count > 0) {
        observer_.BytesRead(count);
    }
}

bool Batch::StopAsked() {
    if (!stop_ && observer_.StopRequested()) {
        stop_ = true;
    }
    return stop_;
}

// With the lock held.
bool Batch::Claim(Piece* piece) {
    if (stop_) {
        return false;
    }
    // The earliest large file first, so that its digest comes soon.
    for (auto at = large_.begin(); at != large_.end(); ++at) {
        Slot& slot = **at;
        *piece = {&slot, slot.claimed++, false};
        if (slot.claimed == slot.pieces) {
            large_.erase(at);
        }
        return true;
    }
    while (nextFile_ < count_ && nextFile_ < delivered_ + kWindow) {
        Slot& slot = slots_[nextFile_ % kWindow];
        slot.Reset(nextFile_++);
        if (!locate_(slot.index, &slot.digest.path)) {
            slot.done = true;  // kMissing
            WakeWaiters();
            continue;
        }
        *piece = {&slot, 0, true};
        return true;
    }
    return false;
}

// With the lock held, which it lets go while it works: false when there is nothing to claim.
bool Batch::ClaimAndWork(PieceReader& reader) {
    Piece piece;
    if (!Claim(&piece)) {
        return false;
    }
    ++busy_;
    lock_.Unlock();
    Work(piece, reader);
    lock_.Lock();
    --busy_;
    WakeWaiters();
    return true;
}

void Batch::Work(const Piece& piece, PieceReader& reader) {
    if (piece.opening) {
        OpenAndRead(*piece.slot, reader);
    } else {
        ReadLargePiece(*piece.slot, piece.number, reader);
    }
}

void Batch::OpenAndRead(Slot& slot, PieceReader& reader) {
    auto file = std::make_unique<SequentialFile>();
    if (!file->Open(slot.digest.path)) {
        LockHeld held(lock_);
        Complete(slot);  // kMissing: what the program calls a file that fails to open
        return;
    }
    const std::uint64_t size = file->OpenedSize();
    if (!observer_.WantContent(slot.index, size)) {
        LockHeld held(lock_);
        slot.digest.size = size;
        slot.digest.outcome = Outcome::kNotRead;
        Complete(slot);
        return;
    }
    if (size <= shape_.pieceSize) {
        const PieceRead read = ReadPiece(*file, 0, size, true, reader);
        file.reset();
        LockHeld held(lock_);
        slot.digest.size = read.outcome == Outcome::kChanged ? read.end : size;
        slot.digest.outcome = read.outcome;
        slot.digest.crc = read.outcome == Outcome::kRead ? read.crc : 0;
        Complete(slot);
        return;
    }
    file->ReadingToTheEnd();
    {
        LockHeld held(lock_);
        slot.digest.size = size;
        slot.pieces = static_cast<std::size_t>((size + shape_.pieceSize - 1) / shape_.pieceSize);
        slot.claimed = 1;
        slot.crcs.assign(slot.pieces, 0);
        slot.file = std::move(file);
        large_.push_back(&slot);
        WakeWaiters();
    }
    ReadLargePiece(slot, 0, reader);
}

void Batch::ReadLargePiece(Slot& slot, std::size_t number, PieceReader& reader) {
    // Fixed once the file was opened: no lock needed to read them.
    const std::uint64_t size = slot.digest.size;
    const std::uint64_t offset = number * shape_.pieceSize;
    const std::uint64_t length = std::min(shape_.pieceSize, size - offset);
    const bool last = number + 1 == slot.pieces;
    const PieceRead read = ReadPiece(*slot.file, offset, length, last, reader);

    LockHeld held(lock_);
    slot.crcs[number] = read.crc;
    if (read.outcome == Outcome::kChanged) {
        // What it held: where it ended first, else what it grew to.
        slot.changedSize =
            slot.outcome == Outcome::kChanged ? std::min(slot.changedSize, read.end) : read.end;
    }
    if (Weight(read.outcome) > Weight(slot.outcome)) {
        slot.outcome = read.outcome;
    }
    if (++slot.finished < slot.pieces) {
        return;
    }
    slot.file.reset();
    slot.digest.outcome = slot.outcome;
    if (slot.outcome == Outcome::kChanged) {
        slot.digest.size = slot.changedSize;
    } else if (slot.outcome == Outcome::kRead) {
        // Every piece but the last has the same length, and so the same operator. A piece is
        // a few MiB: z_off_t holds it even where it has 32 bits.
        const uLong whole = crc32_combine_gen(static_cast<z_off_t>(shape_.pieceSize));
        uLong crc = slot.crcs[0];
        for (std::size_t piece = 1; piece + 1 < slot.pieces; ++piece) {
            crc = crc32_combine_op(crc, slot.crcs[piece], whole);
        }
        const std::uint64_t lastLength = size - (slot.pieces - 1) * shape_.pieceSize;
        crc = crc32_combine(crc, slot.crcs.back(), static_cast<z_off_t>(lastLength));
        slot.digest.crc = static_cast<std::uint32_t>(crc);
    }
    Complete(slot);
}

// With the lock held.
void Batch::Complete(Slot& slot) {
    slot.done = true;
    WakeWaiters();
}

void Batch::Help() {
    ReadBuffer buffer(shape_.readSize);
    PieceReader reader{buffer, [this] { return stop_.load(); },
                       [this](std::uint64_t count) { unreported_ += count; }};
    LockHeld held(lock_);
    while (!finished_) {
        if (ClaimAndWork(reader)) {
            continue;
        }
        ++waiting_;
        lock_.Wait(0);
        --waiting_;
    }
}

void Batch::Run() {
    ReadBuffer buffer(shape_.readSize);
    PieceReader reader{buffer, [this] { return StopAsked(); },
                       [this](std::uint64_t count) { PassOnBytes(count); }};
    {
        HelperThreads helpers(shape_.helpers, [this](std::size_t /*worker*/) { Help(); });
        std::size_t named = count_;  // the file last told to NowReading
        lock_.Lock();
        while (delivered_ < count_) {
            Slot& next = slots_[delivered_ % kWindow];
            const bool taken = nextFile_ > delivered_;
            if (taken && next.done && next.digest.outcome != Outcome::kStopped) {
                const std::size_t index = delivered_++;
                const FileDigest digest = std::move(next.digest);
                WakeWaiters();  // the window moved on
                lock_.Unlock();
                PassOnBytes(0);
                observer_.Done(index, digest);
                lock_.Lock();
                continue;
            }
            if (stop_ && (busy_ == 0 || !taken || next.done)) {
                break;  // what is left of it was stopped, or never begun
            }
            if (named != delivered_) {
                named = delivered_;
                lock_.Unlock();
                observer_.NowReading(named);
                lock_.Lock();
                continue;
            }
            if (ClaimAndWork(reader)) {
                continue;
            }
            // The others hold the rest: wait for them, asking about a stop now and then.
            lock_.Unlock();
            PassOnBytes(0);
            StopAsked();
            lock_.Lock();
            ++waiting_;
            lock_.Wait(kPollMilliseconds);
            --waiting_;
        }
        finished_ = true;
        lock_.WakeAll();
        lock_.Unlock();
    }  // the helpers return here
    PassOnBytes(0);
}

}  // namespace

void ReadFileBatch(std::size_t count, const FileLocator& locate, ReadObserver& observer,
                   const ReadShape& shape) {
    if (count > 0) {
        Batch(count, locate, observer, shape).Run();
    }
}

}  // namespace crclist
