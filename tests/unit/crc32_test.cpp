#include "engine/crc32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CrcTable MakeTable() {
    CrcTable table{};
    BuildCrcTable(table);
    return table;
}

struct CrcCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::uint32_t crc;  // zlib.crc32 of the same bytes
};

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> AllByteValues() {
    std::vector<std::uint8_t> bytes(256);
    for (int n = 0; n < 256; ++n) {
        bytes[n] = static_cast<std::uint8_t>(n);
    }
    return bytes;
}

TEST(Crc32Test, KnownVectors) {
    const CrcTable table = MakeTable();
    const CrcCase cases[] = {
        {"empty", {}, 0x00000000u},
        {"a", Bytes("a"), 0xE8B7BE43u},
        {"abc", Bytes("abc"), 0x352441C2u},
        {"check value", Bytes("123456789"), 0xCBF43926u},
        {"fox", Bytes("The quick brown fox jumps over the lazy dog"), 0x414FA339u},
        {"1 MiB of zeros", std::vector<std::uint8_t>(1u << 20, 0), 0xA738EA1Cu},
        {"4096 x 0xFF", std::vector<std::uint8_t>(4096, 0xFF), 0xF154670Au},
        {"every byte value", AllByteValues(), 0x29058C73u},
        // The literal is compiled to Shift-JIS: high bytes must index the table correctly.
        {"Shift-JIS text", Bytes("ファイル"), 0x87922C3Bu},
    };
    for (const CrcCase& c : cases) {
        EXPECT_EQ(ComputeCrc(table, c.bytes.data(), c.bytes.size()), c.crc) << c.name;
    }
}

}  // namespace
