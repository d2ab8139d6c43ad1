#include "tools/crclist/reading/file_batch.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "tools/crclist/reading/crc_combine.h"
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

// A file whose data lies on a medium that seeks holds a turn: such files are read one after
// another, in the order of their turns.
constexpr std::size_t kNoTurn = ~std::size_t{0};

// One file of the window.
struct Slot {
    std::size_t index = 0;
    std::size_t turn = kNoTurn;
    bool done = false;
    FileDigest digest;
    // Once it is found: where its bytes lie, and the file of its own that holds them.
    FoundFile found;
    std::unique_ptr<PositionalFile> own;
    FileBytes bytes;
    // While the pieces of a large file are read: what they gave.
    std::size_t pieces = 0;
    std::size_t claimed = 0;
    std::size_t finished = 0;
    std::vector<std::uint32_t> crcs;
    Outcome outcome = Outcome::kRead;
    std::uint64_t changedSize = 0;
    std::string reason;

    void Reset(std::size_t at) {
        *this = Slot();
        index = at;
    }
};

// A piece of work: a file to find and read (number 0 of a file not yet found), or a piece of a
// large one.
struct Piece {
    Slot* slot = nullptr;
    std::size_t number = 0;
    bool finding = false;
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
    // Sets the helpers free when Run ends, by a return or by an exception from the observer,
    // so that the helpers' owner does not wait for ever for threads that wait for work.
    class Release {
      public:
        explicit Release(Batch& batch) : batch_(batch) {}
        Release(const Release&) = delete;
        Release& operator=(const Release&) = delete;
        ~Release() {
            LockHeld held(batch_.lock_);
            batch_.finished_ = true;
            batch_.lock_.WakeAll();
        }

      private:
        Batch& batch_;
    };

    bool Claim(Piece* piece);
    bool ClaimAndWork(LockHeld& held, PieceReader& reader);
    bool AwaitTurn(const Slot& slot, PieceReader& reader);
    void EndTurn(std::size_t turn);
    void FindAndRead(Slot& slot, PieceReader& reader);
    void FindAndReadFile(Slot& slot, PieceReader& reader);
    void ReadLargePiece(Slot& slot, std::size_t number, PieceReader& reader);
    void Complete(Slot& slot);
    void Help();
    void Deliver(PieceReader& reader);
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
    std::size_t turns_ = 0;      // the turns given to files from the medium
    std::size_t turn_ = 0;       // the turn whose file may read the medium now

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
    // The earliest large file first, so that its digest comes soon, and a single thread reads
    // it from its start to its end.
    if (!large_.empty()) {
        Slot& slot = *large_.front();
        *piece = {&slot, slot.claimed++, false};
        if (slot.claimed == slot.pieces) {
            large_.erase(large_.begin());
        }
        return true;
    }
    if (nextFile_ < count_ && nextFile_ < delivered_ + kWindow) {
        Slot& slot = slots_[nextFile_ % kWindow];
        slot.Reset(nextFile_++);
        if (slot.index < shape_.fromMedium.size() && shape_.fromMedium[slot.index]) {
            slot.turn = turns_++;
        }
        *piece = {&slot, 0, true};
        return true;
    }
    return false;
}

// With the lock held, which it lets go while it works: false when there is nothing to claim.
bool Batch::ClaimAndWork(LockHeld& held, PieceReader& reader) {
    Piece piece;
    if (!Claim(&piece)) {
        return false;
    }
    ++busy_;
    held.Unlock();
    if (piece.finding) {
        FindAndRead(*piece.slot, reader);
    } else {
        ReadLargePiece(*piece.slot, piece.number, reader);
    }
    held.Lock();
    --busy_;
    WakeWaiters();
    return true;
}

// Without the lock: waits until the file of `slot` may read the medium. False when a stop came
// first: the file is then stopped.
bool Batch::AwaitTurn(const Slot& slot, PieceReader& reader) {
    for (;;) {
        if (reader.stop()) {
            return false;
        }
        LockHeld held(lock_);
        if (turn_ == slot.turn) {
            return true;
        }
        ++waiting_;
        lock_.Wait(kPollMilliseconds);
        --waiting_;
    }
}

// Without the lock: the file after the one of `turn` may read the medium.
void Batch::EndTurn(std::size_t turn) {
    LockHeld held(lock_);
    turn_ = turn + 1;
    lock_.WakeAll();
}

// Without the lock: until the file is found, only this thread touches its slot. A file from a
// medium that seeks is found, opened and read whole in its turn.
void Batch::FindAndRead(Slot& slot, PieceReader& reader) {
    if (slot.turn == kNoTurn) {
        FindAndReadFile(slot, reader);
        return;
    }
    if (!AwaitTurn(slot, reader)) {
        LockHeld held(lock_);
        slot.digest.outcome = Outcome::kStopped;
        Complete(slot);
        return;
    }
    // By its number, not its slot: once the file is complete, the slot may take another.
    struct TurnEnd {
        Batch& batch;
        const std::size_t turn;
        ~TurnEnd() { batch.EndTurn(turn); }
    } end{*this, slot.turn};
    FindAndReadFile(slot, reader);
}

void Batch::FindAndReadFile(Slot& slot, PieceReader& reader) {
    FoundFile& found = slot.found;
    if (!locate_(slot.index, &found)) {
        LockHeld held(lock_);
        slot.digest.path = found.path;
        slot.digest.reason = found.reason.empty() ? "not found" : found.reason;
        Complete(slot);  // kMissing
        return;
    }
    slot.digest.path = found.path;
    std::uint64_t size = found.size;
    if (found.source == nullptr) {
        auto own = std::make_unique<PositionalFile>();
        FileFailure failure;
        if (!own->Open(found.path, PositionalFile::Accept::kRegularFile, &failure)) {
            LockHeld held(lock_);
            slot.digest.outcome = failure.missing ? Outcome::kMissing : Outcome::kReadError;
            slot.digest.reason = failure.reason;
            Complete(slot);
            return;
        }
        size = own->Size();
        slot.own = std::move(own);
        slot.bytes = {slot.own.get(), nullptr, slot.own.get()};
    } else {
        slot.bytes = {found.source, &found.extents, nullptr};
    }
    slot.digest.size = size;
    slot.digest.sized = true;
    if (!observer_.WantContent(slot.index, size)) {
        slot.own.reset();
        LockHeld held(lock_);
        slot.digest.outcome = Outcome::kNotRead;
        Complete(slot);
        return;
    }
    // A large file is read to its end, and the system is told so, that it reads far ahead.
    if (slot.own && size > shape_.pieceSize) {
        slot.own->ReadingToTheEnd();
    }
    if (size <= shape_.pieceSize || slot.turn != kNoTurn) {
        const PieceRead read = ReadPiece(slot.bytes, 0, size, true, reader);
        slot.own.reset();
        LockHeld held(lock_);
        slot.digest.size = read.outcome == Outcome::kChanged ? read.end : size;
        slot.digest.outcome = read.outcome;
        slot.digest.crc = read.outcome == Outcome::kRead ? read.crc : 0;
        slot.digest.reason = read.reason;
        Complete(slot);
        return;
    }
    {
        LockHeld held(lock_);
        slot.pieces = static_cast<std::size_t>((size + shape_.pieceSize - 1) / shape_.pieceSize);
        slot.claimed = 1;
        slot.crcs.assign(slot.pieces, 0);
        large_.push_back(&slot);
        WakeWaiters();
    }
    ReadLargePiece(slot, 0, reader);
}

void Batch::ReadLargePiece(Slot& slot, std::size_t number, PieceReader& reader) {
    // Fixed once the file was found: no lock needed to read them.
    const std::uint64_t size = slot.digest.size;
    const std::uint64_t offset = number * shape_.pieceSize;
    const std::uint64_t length = std::min(shape_.pieceSize, size - offset);
    const bool last = number + 1 == slot.pieces;
    const PieceRead read = ReadPiece(slot.bytes, offset, length, last, reader);

    LockHeld held(lock_);
    slot.crcs[number] = read.crc;
    if (read.outcome == Outcome::kChanged) {
        // What it held: where it ended first, else what it grew to.
        slot.changedSize =
            slot.outcome == Outcome::kChanged ? std::min(slot.changedSize, read.end) : read.end;
    }
    if (Weight(read.outcome) > Weight(slot.outcome)) {
        slot.outcome = read.outcome;
        slot.reason = read.reason;
    }
    if (++slot.finished < slot.pieces) {
        return;
    }
    slot.own.reset();
    slot.digest.outcome = slot.outcome;
    slot.digest.reason = slot.reason;
    if (slot.outcome == Outcome::kChanged) {
        slot.digest.size = slot.changedSize;
    } else if (slot.outcome == Outcome::kRead) {
        slot.digest.crc = CombinePieceCrcs(slot.crcs, shape_.pieceSize,
                                           size - (slot.pieces - 1) * shape_.pieceSize);
    }
    Complete(slot);
}

// With the lock held.
void Batch::Complete(Slot& slot) {
    slot.done = true;
    WakeWaiters();
}

void Batch::Help() {
    ReadScratch scratch(shape_.readSize);
    PieceReader reader{scratch, [this] { return stop_.load(); },
                       [this](std::uint64_t count) { unreported_ += count; }};
    LockHeld held(lock_);
    while (!finished_) {
        if (ClaimAndWork(held, reader)) {
            continue;
        }
        ++waiting_;
        lock_.Wait(0);
        --waiting_;
    }
}

void Batch::Run() {
    ReadScratch scratch(shape_.readSize);
    PieceReader reader{scratch, [this] { return StopAsked(); },
                       [this](std::uint64_t count) { PassOnBytes(count); }};
    {
        HelperThreads helpers(shape_.helpers, [this] { Help(); });
        const Release release(*this);
        Deliver(reader);
    }  // the helpers return here
    PassOnBytes(0);
}

// Hands out the digests in the order of the files, reading whatever no helper has taken.
void Batch::Deliver(PieceReader& reader) {
    LockHeld held(lock_);
    std::size_t named = count_;  // the file last told to NowReading
    while (delivered_ < count_) {
        Slot& next = slots_[delivered_ % kWindow];
        const bool taken = nextFile_ > delivered_;
        if (taken && next.done && next.digest.outcome != Outcome::kStopped) {
            const std::size_t index = delivered_++;
            const FileDigest digest = std::move(next.digest);
            WakeWaiters();  // the window moved on
            held.Unlock();
            PassOnBytes(0);
            observer_.Done(index, digest);
            held.Lock();
            continue;
        }
        if (stop_ && (busy_ == 0 || !taken || next.done)) {
            break;  // what is left of it was stopped, or never begun
        }
        if (named != delivered_) {
            named = delivered_;
            held.Unlock();
            observer_.NowReading(named);
            held.Lock();
            continue;
        }
        if (ClaimAndWork(held, reader)) {
            continue;
        }
        // The others hold the rest: wait for them, asking about a stop now and then.
        held.Unlock();
        PassOnBytes(0);
        StopAsked();
        held.Lock();
        ++waiting_;
        lock_.Wait(kPollMilliseconds);
        --waiting_;
    }
}

}  // namespace

void ReadFileBatch(std::size_t count, const FileLocator& locate, ReadObserver& observer,
                   const ReadShape& shape) {
    if (count > 0) {
        Batch(count, locate, observer, shape).Run();
    }
}

}  // namespace crclist
