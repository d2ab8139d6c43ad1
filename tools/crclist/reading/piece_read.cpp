#include "tools/crclist/reading/piece_read.h"

#include <algorithm>

#include "tools/crclist/reading/fast_crc.h"

namespace crclist {
namespace {

using Outcome = FileDigest::Outcome;

std::string AtByte(const std::string& reason, std::uint64_t at) {
    return reason + " at byte " + std::to_string(at);
}

// A file of its own, which may change while it is read.
PieceRead ReadOwnPiece(const PositionalFile& file, std::uint64_t offset, std::uint64_t length,
                       bool last, PieceReader& reader) {
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
            std::min<std::uint64_t>(reader.scratch.buffer.Size(), left + (last ? 1 : 0)));
        std::size_t got = 0;
        std::string reason;
        const bool read =
            file.ReadAt(offset + done, reader.scratch.buffer.Data(), ask, &got, &reason);
        const auto taken = static_cast<std::size_t>(std::min<std::uint64_t>(got, left));
        piece.crc = FastCrc32(piece.crc, reader.scratch.buffer.Data(), taken);
        done += taken;
        reader.bytesRead(got);
        if (!read) {
            piece.outcome = Outcome::kReadError;
            piece.reason = AtByte(reason, offset + done);
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
        if (got > taken) {
            // It grows while it is read. Reading on could take for ever (a log being written);
            // what it holds now is its size.
            const std::uint64_t seen = offset + done + (got - taken);
            std::uint64_t now = 0;
            piece.outcome = Outcome::kChanged;
            piece.end = file.CurrentSize(&now) && now > seen ? now : seen;
            return piece;
        }
        if (last && done == length && got < ask) {
            return piece;
        }
    }
}

// Bytes of a source, which holds them as they were listed.
PieceRead ReadExtentsPiece(const ByteSource& source, const std::vector<Extent>& extents,
                           std::uint64_t offset, std::uint64_t length, PieceReader& reader) {
    static const unsigned char kZeros[64 << 10] = {};
    PieceRead piece;
    const std::uint64_t end = offset + length;
    const SpanSink take = [&piece](const unsigned char* data, std::size_t size) {
        piece.crc = FastCrc32(piece.crc, data, size);
    };
    std::uint64_t at = offset;
    std::uint64_t extentStart = 0;  // where the extent begins in the file
    for (const Extent& extent : extents) {
        const std::uint64_t extentEnd = extentStart + extent.length;
        while (at < end && at < extentEnd) {
            if (reader.stop()) {
                piece.outcome = Outcome::kStopped;
                return piece;
            }
            const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(
                std::min(end, extentEnd) - at,
                extent.zeros ? sizeof kZeros : reader.scratch.buffer.Size()));
            if (extent.zeros) {
                take(kZeros, count);
                at += count;
                reader.bytesRead(count);
                continue;
            }
            std::size_t got = 0;
            std::string reason;
            const bool read = source.Read(extent.offset + (at - extentStart), count, reader.scratch,
                                          take, &got, &reason);
            at += got;
            reader.bytesRead(got);
            if (!read || got < count) {
                piece.outcome = Outcome::kReadError;
                piece.reason = AtByte(read ? "the image ends" : reason, at);
                return piece;
            }
        }
        extentStart = extentEnd;
        if (at >= end) {
            break;
        }
    }
    if (at < end) {
        piece.outcome = Outcome::kReadError;  // the extents hold less than the file's size
        piece.reason = AtByte("no data", at);
    }
    return piece;
}

}  // namespace

PieceRead ReadPiece(const FileBytes& bytes, std::uint64_t offset, std::uint64_t length, bool last,
                    PieceReader& reader) {
    if (bytes.own != nullptr) {
        return ReadOwnPiece(*bytes.own, offset, length, last, reader);
    }
    return ReadExtentsPiece(*bytes.source, *bytes.extents, offset, length, reader);
}

}  // namespace crclist
