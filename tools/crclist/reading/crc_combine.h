// The CRC-32 of bytes read in pieces, from the CRC of each piece: zlib's crc32_combine, which
// moves a CRC past the length of what follows it. Pieces may be read on any thread, in any
// order, and joined once all are in.
#pragma once

#include <cstdint>
#include <vector>

namespace crclist {

// The CRC of consecutive pieces with the CRCs `crcs`: each `pieceLength` bytes long but the
// last, which holds `lastLength`. Every length is under 2 GiB (zlib takes a long, which has 32
// bits on Windows).
std::uint32_t CombinePieceCrcs(const std::vector<std::uint32_t>& crcs, std::uint64_t pieceLength,
                               std::uint64_t lastLength);

}  // namespace crclist
