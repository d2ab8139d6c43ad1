#include "tools/crclist/verify/progress_line.h"

#include <gtest/gtest.h>

namespace {

using crclist::FormatProgress;

constexpr std::uint64_t kMB = 1000000;
constexpr std::uint64_t kGB = 1000 * kMB;

TEST(ProgressLine, ShowsAmountsSpeedTimeLeftAndName) {
    const struct {
        std::uint64_t done, total;
        double seconds;
        std::string name;
        std::size_t columns;
        std::string line;
    } kCases[] = {
        {0, 100 * kMB, 0, "A.DAT", 79, "0.0 MB of 100.0 MB    0%  0 MB/s  --:-- left  A.DAT"},
        {50 * kMB, 100 * kMB, 1, "A.DAT", 79,
         "50.0 MB of 100.0 MB   50%  50 MB/s  0:01 left  A.DAT"},
        {3 * kGB, 4 * kGB, 10, "B", 79, "3.00 GB of 4.00 GB   75%  300 MB/s  0:03 left  B"},
        {kMB, 200 * kMB, 1, "x", 79, "1.0 MB of 200.0 MB    0%  1 MB/s  3:19 left  x"},
        // more done than listed (a file larger than its entry): no more than 100 %
        {2 * kMB, kMB, 1, "", 79, "2.0 MB of 1.0 MB  100%  2 MB/s  0:00 left  "},
        {0, 0, 0, "", 79, "0.0 MB of 0.0 MB  100%  0 MB/s  --:-- left  "},
        // A long name keeps its end after a mark; a wide character takes two columns. The
        // head takes 44 columns, leaving 6.
        {0, kMB, 0, "DATA\\LONGNAME.DAT", 50,
         u8"0.0 MB of 1.0 MB    0%  0 MB/s  --:-- left  …E.DAT"},
        {0, kMB, 0, u8"表表表表", 50, u8"0.0 MB of 1.0 MB    0%  0 MB/s  --:-- left  …表表"},
        {0, kMB, 0, u8"ｶﾅｶﾅ", 50, u8"0.0 MB of 1.0 MB    0%  0 MB/s  --:-- left  ｶﾅｶﾅ"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(FormatProgress(c.done, c.total, c.seconds, c.name, c.columns), c.line) << c.name;
    }
}

TEST(ProgressLine, TakesTheTerminalsWidth) {
    const struct {
        std::size_t terminal;
        const char* variable;  // $COLUMNS
        std::size_t columns;
    } kCases[] = {
        {120, nullptr, 119}, {60, "100", 59}, {0, "100", 99}, {0, nullptr, 79}, {0, "90x", 79},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(crclist::ProgressColumns(c.terminal, c.variable), c.columns) << c.terminal;
    }
}

}  // namespace
