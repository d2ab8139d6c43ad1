#include "tools/crclist/verify/verdict.h"

#include <gtest/gtest.h>

namespace {

using crclist::FileDigest;
using crclist::Judge;
using crclist::Status;
using Outcome = FileDigest::Outcome;

TEST(Verdict, ComparesSizesInSixtyFourBits) {
    const struct {
        std::int32_t expected;
        std::uint64_t found;
        bool matches;
    } kCases[] = {
        {0, 0, true},
        {100, 100, true},
        {100, 101, false},
        {5, (std::uint64_t{1} << 32) + 5, false},  // not the low 32 bits alone
        {0, std::uint64_t{1} << 32, false},
        {-1, 0xFFFFFFFFu, false},  // a negative size matches no file
        {INT32_MAX, INT32_MAX, true},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(crclist::SizeMatches(c.expected, c.found), c.matches)
            << c.expected << " against " << c.found;
    }
}

TEST(Verdict, JudgesWhatTheReadingGave) {
    FileEntry entry;
    entry.name = "DATA\\A.DAT";
    entry.size = 10;
    entry.crc = 0x1234ABCDu;
    const struct {
        const char* what;
        Outcome outcome;
        std::uint64_t size;
        std::uint32_t crc;
        Status status;
        bool hasSize;
        bool hasCrc;
    } kCases[] = {
        {"verified", Outcome::kRead, 10, 0x1234ABCDu, Status::kOk, true, true},
        {"wrong crc", Outcome::kRead, 10, 0x1234ABCEu, Status::kCrc, true, true},
        {"size before crc", Outcome::kRead, 11, 0x1234ABCDu, Status::kSize, true, false},
        {"not read for its size", Outcome::kNotRead, 9, 0, Status::kSize, true, false},
        {"missing", Outcome::kMissing, 0, 0, Status::kMissing, false, false},
        {"read error", Outcome::kReadError, 10, 0, Status::kReadError, true, false},
        {"cannot be opened", Outcome::kReadError, 0, 0, Status::kReadError, false, false},
        {"changed while read", Outcome::kChanged, 4, 0, Status::kSize, true, false},
    };
    for (const auto& c : kCases) {
        FileDigest digest;
        digest.outcome = c.outcome;
        digest.path = "/disc/DATA/A.DAT";
        digest.size = c.size;
        digest.crc = c.crc;
        digest.sized = c.hasSize;
        const crclist::FileResult result = Judge(entry, digest);
        EXPECT_EQ(result.status, c.status) << c.what;
        EXPECT_EQ(result.hasSize, c.hasSize) << c.what;
        EXPECT_EQ(result.hasCrc, c.hasCrc) << c.what;
        EXPECT_EQ(result.size, c.size) << c.what;
        EXPECT_EQ(result.name, entry.name) << c.what;
        EXPECT_EQ(result.path, digest.path) << c.what;
        EXPECT_EQ(result.expectedSize, 10) << c.what;
        EXPECT_EQ(result.expectedCrc, 0x1234ABCDu) << c.what;
    }
}

// The reader's words where it has them; else the words of the verdict.
TEST(Verdict, SaysWhyAFileIsMissingOrUnread) {
    const struct {
        Outcome outcome;
        std::string given, reason;
    } kCases[] = {
        {Outcome::kMissing, "", "not found"},
        {Outcome::kMissing, "not a regular file", "not a regular file"},
        {Outcome::kReadError, "", "read error"},
        {Outcome::kRead, "", ""},
    };
    for (const auto& c : kCases) {
        FileDigest digest;
        digest.outcome = c.outcome;
        digest.reason = c.given;
        EXPECT_EQ(Judge(FileEntry{}, digest).reason, c.reason) << c.given;
    }
}

}  // namespace
