#include "tools/crclist/verify/progress_line.h"

#include <gtest/gtest.h>

namespace {

using crclist::FormatProgress;

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
constexpr std::uint64_t kGiB = kMiB << 10;

TEST(ProgressLine, ShowsAmountsSpeedTimeLeftAndName) {
    const struct {
        std::uint64_t done, total;
        double seconds;
        std::string name;
        std::size_t columns;
        std::string line;
    } kCases[] = {
        {0, 100 * kMiB, 0, "A.DAT", 79, "0.0 MiB of 100.0 MiB    0%  0 MB/s  --:-- left  A.DAT"},
        {50 * kMiB, 100 * kMiB, 1, "A.DAT", 79,
         "50.0 MiB of 100.0 MiB   50%  52 MB/s  0:01 left  A.DAT"},
        {3 * kGiB, 4 * kGiB, 10, "B", 79, "3.00 GiB of 4.00 GiB   75%  322 MB/s  0:03 left  B"},
        {kMiB, 200 * kMiB, 1, "x", 79, "1.0 MiB of 200.0 MiB    0%  1 MB/s  3:19 left  x"},
        // more done than listed (a file larger than its entry): no more than 100 %
        {2 * kMiB, kMiB, 1, "", 79, "2.0 MiB of 1.0 MiB  100%  2 MB/s  0:00 left  "},
        {0, 0, 0, "", 79, "0.0 MiB of 0.0 MiB  100%  0 MB/s  --:-- left  "},
        // a long name keeps its end; a wide character takes two columns
        {0, kMiB, 0, "DATA\\LONGNAME.DAT", 50,
         "0.0 MiB of 1.0 MiB    0%  0 MB/s  --:-- left  .DAT"},
        {0, kMiB, 0, u8"表表表", 50, u8"0.0 MiB of 1.0 MiB    0%  0 MB/s  --:-- left  表表"},
        {0, kMiB, 0, u8"ｶﾅｶﾅ", 50, u8"0.0 MiB of 1.0 MiB    0%  0 MB/s  --:-- left  ｶﾅｶﾅ"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(FormatProgress(c.done, c.total, c.seconds, c.name, c.columns), c.line) << c.name;
    }
}

}  // namespace
