// The CRC-32 of the program (reflected, polynomial 0xEDB88320), computed by a library made for
// speed instead of a byte at a time: ISA-L on x86_64 Linux, zlib everywhere else. Every routine
// takes the CRC of the bytes so far (0 before the first byte) and gives the CRC of those bytes
// followed by `data`, so a file can be fed in blocks of any size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace crclist {

using CrcRoutine = std::uint32_t (*)(std::uint32_t crc, const void* data, std::size_t size);

std::uint32_t ZlibCrc32(std::uint32_t crc, const void* data, std::size_t size);
#ifdef CRCLIST_HAVE_ISAL
std::uint32_t IsalCrc32(std::uint32_t crc, const void* data, std::size_t size);
#endif

// The fastest routine of this build.
inline std::uint32_t FastCrc32(std::uint32_t crc, const void* data, std::size_t size) {
#ifdef CRCLIST_HAVE_ISAL
    return IsalCrc32(crc, data, size);
#else
    return ZlibCrc32(crc, data, size);
#endif
}

struct NamedCrcRoutine {
    const char* name;
    CrcRoutine routine;
};

// Every routine that this build has, the one FastCrc32 uses first: for tests and benchmarks.
std::vector<NamedCrcRoutine> CrcRoutines();

}  // namespace crclist
