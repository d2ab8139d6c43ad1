// The numbers that disc formats write as bytes: little-endian in ISO 9660's descriptors and
// records, big-endian in Nero's chunks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace crclist {

// The `size` bytes at `bytes` (at most 8) as a little-endian number.
inline std::uint64_t LittleEndian(const unsigned char* bytes, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t index = size; index > 0; --index) {
        value = (value << 8) | bytes[index - 1];
    }
    return value;
}

// The same, big-endian.
inline std::uint64_t BigEndian(const unsigned char* bytes, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t index = 0; index < size; ++index) {
        value = (value << 8) | bytes[index];
    }
    return value;
}

}  // namespace crclist
