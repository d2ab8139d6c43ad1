#include "tools/crclist/reading/fast_crc.h"

#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "tests/crclist/table_crc.h"
#include "tools/crclist/reading/file_digest.h"

namespace {

using crclist::CrcRoutines;

std::vector<unsigned char> RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<unsigned char> bytes(size);
    for (auto& byte : bytes) {
        byte = static_cast<unsigned char>(random());
    }
    return bytes;
}

// Every routine gives the program's table CRC, for lengths around the sizes where fast
// routines change their method (vector widths, folding blocks) and around the read size.
TEST(FastCrc, MatchesTheProgramsTableCrc) {
    const std::size_t read = std::size_t{256} << 10;  // the largest read of any machine
    const std::size_t kLengths[] = {0,
                                    1,
                                    2,
                                    3,
                                    4,
                                    7,
                                    8,
                                    15,
                                    16,
                                    17,
                                    31,
                                    32,
                                    63,
                                    64,
                                    65,
                                    127,
                                    128,
                                    255,
                                    256,
                                    257,
                                    1023,
                                    1024,
                                    4095,
                                    4096,
                                    4097,
                                    65535,
                                    65536,
                                    read - 1,
                                    read,
                                    read + 1,
                                    2 * read + 13,
                                    (1u << 20) + 3};
    ASSERT_FALSE(CrcRoutines().empty());
    for (const auto& [name, routine] : CrcRoutines()) {
        for (const std::size_t length : kLengths) {
            const std::vector<unsigned char> data = RandomBytes(length, 7 + length);
            EXPECT_EQ(routine(0, data.data(), data.size()), TableCrc(data))
                << name << ", " << length << " bytes";
        }
    }
}

// Fed in pieces of any size, from any address, a file's CRC is that of the whole.
TEST(FastCrc, GoesOnFromTheCrcSoFar) {
    const std::vector<unsigned char> data = RandomBytes(300000, 99);
    const std::uint32_t whole = TableCrc(data);
    const std::size_t kPieces[] = {1, 3, 4096, 65537, std::size_t{256} << 10};
    for (const auto& [name, routine] : CrcRoutines()) {
        for (const std::size_t piece : kPieces) {
            std::uint32_t crc = routine(0, nullptr, 0);
            for (std::size_t at = 0; at < data.size(); at += piece) {
                crc = routine(crc, data.data() + at, std::min(piece, data.size() - at));
                crc = routine(crc, data.data(), 0);  // an empty piece changes nothing
            }
            EXPECT_EQ(crc, whole) << name << ", pieces of " << piece;
        }
        EXPECT_EQ(routine(0, "123456789", 9), 0xCBF43926u) << name;
    }
}

TEST(FastCrc, UsesTheFastestRoutineOfTheBuild) {
    const std::vector<unsigned char> data = RandomBytes(1000, 5);
    EXPECT_EQ(crclist::FastCrc32(0, data.data(), data.size()),
              CrcRoutines().front().routine(0, data.data(), data.size()));
#if defined(__x86_64__) && !defined(_WIN32)
    EXPECT_STREQ(CrcRoutines().front().name, "ISA-L");
#endif
}

}  // namespace
