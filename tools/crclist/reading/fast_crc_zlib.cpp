#include <zlib.h>

#include "tools/crclist/reading/fast_crc.h"

namespace crclist {

std::uint32_t ZlibCrc32(std::uint32_t crc, const void* data, std::size_t size) {
    // zlib answers a null buffer with its start value, whatever the CRC so far.
    if (size == 0) {
        return crc;
    }
    // crc32_z takes a size_t count: no 4 GiB limit on 64-bit builds.
    return static_cast<std::uint32_t>(crc32_z(crc, static_cast<const Bytef*>(data), size));
}

std::vector<NamedCrcRoutine> CrcRoutines() {
    std::vector<NamedCrcRoutine> routines;
#ifdef CRCLIST_HAVE_ISAL
    routines.push_back({"ISA-L", &IsalCrc32});
#endif
    routines.push_back({"zlib", &ZlibCrc32});
    return routines;
}

}  // namespace crclist
