// The reflected CRC-32 (polynomial 0xEDB88320, start value all ones, result complemented),
// computed a byte at a time through a 256-entry table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

using CrcTable = std::array<std::uint32_t, 256>;

void BuildCrcTable(CrcTable& table);

constexpr std::uint32_t kCrcStart = 0xFFFFFFFFu;

inline std::uint32_t UpdateCrc(const CrcTable& table, std::uint32_t reg, std::uint8_t byte) {
    return (reg >> 8) ^ table[(reg ^ byte) & 0xFFu];
}

inline std::uint32_t FinishCrc(std::uint32_t reg) {
    return reg ^ 0xFFFFFFFFu;
}

// The CRC-32 of a whole buffer, for tests and tools.
std::uint32_t ComputeCrc(const CrcTable& table, const void* data, std::size_t size);
