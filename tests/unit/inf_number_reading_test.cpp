// The size and crc readings of entry texts, including the texts that overflow 32 bits.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "inf/number_reading.h"

namespace {

struct SizeCase {
    std::string text;
    std::int32_t size;
};

TEST(NumberReadingTest, SizeReadsLeadingDecimalDigits) {
    const SizeCase cases[] = {
        {"0", 0},
        {"1234567", 1234567},
        {"2147483647", INT32_MAX},
        {"2048KB", 2048},
        {"12.5", 12},
        {"abc", 0},
        {"", 0},
        {" \t\r\n\v\f42", 42},
        {"+17", 17},
        {"-17", -17},
        {"0x10", 0},
        {"- 5", 0},
        {"+-5", 0},
        {"-", 0},
        {"007", 7},
        {std::string("12\0"
                     "34",
                     5),
         12},
        // Beyond the signed 32-bit range the reading saturates.
        {"2147483648", INT32_MAX},
        {"99999999999999999999999999", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"-99999999999999999999999999", INT32_MIN},
        {"4294967296", INT32_MAX},
    };
    for (const SizeCase& c : cases) {
        EXPECT_EQ(inf::ReadSize(c.text), c.size) << "text: " << c.text;
    }
}

struct CrcCase {
    std::string text;
    bool read;
    std::uint32_t crc;
};

TEST(NumberReadingTest, CrcReadsLikeHexConversion) {
    const CrcCase cases[] = {
        {"89ABCDEF", true, 0x89ABCDEF},
        {"0xbeef", true, 0xBEEF},
        {"0XBEEF", true, 0xBEEF},
        {"BEEF", true, 0xBEEF},
        {"beef", true, 0xBEEF},
        {"0000BEEF", true, 0xBEEF},
        {"1a2B3c4D", true, 0x1A2B3C4D},
        {"12G4", true, 0x12},
        {"0", true, 0},
        {"  \tff", true, 0xFF},
        {"+ff", true, 0xFF},
        {"-1", true, 0xFFFFFFFF},
        {"-0x10", true, 0xFFFFFFF0},
        {"FFFFFFFF", true, 0xFFFFFFFF},
        // More than eight digits keep the last eight.
        {"123456789", true, 0x23456789},
        {"0x1FFFFFFFFFFFFFFFF", true, 0xFFFFFFFF},
        {"00000000000000000001", true, 1},
        // A 0x with no digit after it is the number 0.
        {"0x", true, 0},
        {"0xZ", true, 0},
        {"0x 1", true, 0},
        {"00x1", true, 0},
        // No hexadecimal number at the start.
        {"XYZ", false, 0},
        {"", false, 0},
        {"   ", false, 0},
        {"-", false, 0},
        {"+", false, 0},
        {"x1", false, 0},
        {"- 1", false, 0},
        {"++1", false, 0},
        {"G1", false, 0},
        {std::string("\0"
                     "1",
                     2),
         false, 0},
    };
    for (const CrcCase& c : cases) {
        std::uint32_t crc = 0xDEADBEEF;
        EXPECT_EQ(inf::ReadCrc(c.text, &crc), c.read) << "text: " << c.text;
        EXPECT_EQ(crc, c.read ? c.crc : 0xDEADBEEF) << "text: " << c.text;
    }
}

}  // namespace
