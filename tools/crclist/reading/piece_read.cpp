#include "tools/crclist/reading/piece_read.h"

#include <algorithm>

#include "tools/crclist/reading/fast_crc.h"

namespace crclist {

PieceRead ReadPiece(const SequentialFile& file, std::uint64_t offset, std::uint64_t length,
                    bool last, PieceReader& reader) {
    using Outcome = FileDigest::Outcome;
    PieceRead piece;
    std::uint64_t done = 0;
    for (;;) {
        const std::uint64_t left = length - done;
        if (left == 0 && !last) {
            return piece;
        }
        if (reader.stop()) {
            piece.outcome = Outcome::kStopped;
            return piece;
        }
        // A read that gives less than it asked for ends at the end of the file, so asking for
        // one byte past the piece tells whether the file ends there, without a read more.
        const auto ask = static_cast<std::size_t>(
            std::min<std::uint64_t>(reader.buffer.Size(), left + (last ? 1 : 0)));
        std::size_t got = 0;
        if (!file.ReadAt(offset + done, reader.buffer.Data(), ask, &got)) {
            piece.outcome = Outcome::kReadError;
            return piece;
        }
        if (got == 0) {
            if (left == 0) {
                return piece;  // the end, where it should be
            }
            piece.outcome = Outcome::kChanged;  // it shrank while it was read
            piece.end = offset + done;
            return piece;
        }
        const auto taken = static_cast<std::size_t>(std::min<std::uint64_t>(got, left));
        piece.crc = FastCrc32(piece.crc, reader.buffer.Data(), taken);
        done += taken;
        reader.bytesRead(got);
        if (got > taken) {
            // It grows while it is read. Reading on could take for ever (a log being written);
            // what it holds now is its size.
            const std::uint64_t seen = offset + done + (got - taken);
            std::uint64_t now = 0;
            piece.outcome = Outcome::kChanged;
            piece.end = file.Size(&now) && now > seen ? now : seen;
            return piece;
        }
        if (last && done == length && got < ask) {
            return piece;
        }
    }
}

}  // namespace crclist
