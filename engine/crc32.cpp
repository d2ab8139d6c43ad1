#include "engine/crc32.h"

void BuildCrcTable(CrcTable& table) {
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t v = n;
        for (int bit = 0; bit < 8; ++bit) {
            v = (v & 1u) ? (v >> 1) ^ 0xEDB88320u : v >> 1;
        }
        table[n] = v;
    }
}

std::uint32_t ComputeCrc(const CrcTable& table, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::uint32_t reg = kCrcStart;
    for (std::size_t i = 0; i < size; ++i) {
        reg = UpdateCrc(table, reg, bytes[i]);
    }
    return FinishCrc(reg);
}
