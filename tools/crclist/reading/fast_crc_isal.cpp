#include <isa-l/crc.h>

#include "tools/crclist/reading/fast_crc.h"

namespace crclist {

std::uint32_t IsalCrc32(std::uint32_t crc, const void* data, std::size_t size) {
    if (size == 0) {
        return crc;
    }
    // crc32_gzip_refl keeps zlib's convention: 0 to start, the previous result to go on.
    return crc32_gzip_refl(crc, static_cast<const unsigned char*>(data),
                           static_cast<std::uint64_t>(size));
}

}  // namespace crclist
