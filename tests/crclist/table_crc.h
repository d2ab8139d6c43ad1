// The CRC-32 that the program computes, a byte at a time through its table: what the fast CRC
// and every reader built on it must agree with.
#pragma once

#include <cstdint>

#include "engine/crc32.h"

// `bytes` is any container of bytes with data() and size(): a string or a vector.
template <typename Bytes>
std::uint32_t TableCrc(const Bytes& bytes) {
    CrcTable table{};
    BuildCrcTable(table);
    return ComputeCrc(table, bytes.data(), bytes.size());
}
