#include "tools/crclist/reading/crc_combine.h"

#include <zlib.h>

namespace crclist {

std::uint32_t CombinePieceCrcs(const std::vector<std::uint32_t>& crcs, std::uint64_t pieceLength,
                               std::uint64_t lastLength) {
    if (crcs.empty()) {
        return 0;
    }
    // Every piece but the last has the same length, and so the same operator.
    const uLong whole = crc32_combine_gen(static_cast<z_off_t>(pieceLength));
    uLong crc = crcs[0];
    for (std::size_t piece = 1; piece + 1 < crcs.size(); ++piece) {
        crc = crc32_combine_op(crc, crcs[piece], whole);
    }
    if (crcs.size() > 1) {
        crc = crc32_combine(crc, crcs.back(), static_cast<z_off_t>(lastLength));
    }
    return static_cast<std::uint32_t>(crc);
}

}  // namespace crclist
