// The sectors of an image read ahead by several threads: each run holds the sectors of one
// read, and a block anywhere in the run taken last gets the CRC that reading its bytes gives,
// in a plain image and in raw sectors, however the reader goes forward or jumps back.
#include "tools/crclist/images/sector_runs.h"

#include <cstring>

#include <gtest/gtest.h>

#include "tests/crclist/disc_image.h"
#include "tests/unit/temp_file.h"
#include "tools/crclist/reading/fast_crc.h"

namespace {

using crclist::SectorRun;

constexpr std::size_t kSectors = 100;

TEST(SectorRuns, GiveTheSectorsAndTheCrcsOfAnyBlockInThem) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::vector<std::uint8_t> pattern = PatternBytes(kSectors * crclist::kSectorSize);
    const std::string plain(pattern.begin(), pattern.end());
    const struct {
        const char* form;
        std::string bytes;
        crclist::SectorLayout layout;
    } kForms[] = {
        {"plain", plain, {0, 2048, 0, kSectors}},
        {"raw MODE1", RawSectors(plain, 1, 2352), {0, 2352, 16, kSectors}},
    };
    // Forward, within a run, back, and a jump over several runs; back while every buffer holds
    // a run after the one wanted (99, 50, then 1).
    const std::uint64_t kTaken[] = {16, 17, 0, 3, 99, 50, 1, 40, 41, 70, 71, 72, 5};
    // Blocks within a run: whole sectors, parts of them, across sector ends.
    const std::pair<std::size_t, std::size_t> kBlocks[] = {
        {0, 2048}, {0, 1}, {1, 2047}, {100, 5000}, {2047, 2}, {2048, 4096}, {3, 4093}};
    const std::uint32_t kBefore = crclist::FastCrc32(0, "bytes before", 12);

    for (const auto& form : kForms) {
        dir.Write("image", form.bytes);
        crclist::ImageFile file;
        std::string error;
        ASSERT_TRUE(file.Open(dir.File("image"), &error)) << error;
        const crclist::SectorView view(file, form.layout);
        for (const std::size_t helpers : {0, 2}) {
            crclist::ReadShape shape;
            shape.helpers = helpers;
            shape.readSize = crclist::kSectorSize;
            crclist::SectorRuns runs(view, shape);
            for (const std::uint64_t sector : kTaken) {
                const std::string what = std::string(form.form) + ", " + std::to_string(helpers) +
                                         " helpers, sector " + std::to_string(sector);
                SectorRun run;
                ASSERT_TRUE(runs.Take(sector, &run)) << what;
                ASSERT_LE(run.first, sector) << what;
                ASSERT_LT(sector, run.first + run.sectors) << what;
                const std::size_t bytes = run.sectors * crclist::kSectorSize;
                ASSERT_EQ(
                    std::memcmp(run.data, plain.data() + run.first * crclist::kSectorSize, bytes),
                    0)
                    << what;
                for (const auto& [at, size] : kBlocks) {
                    if (at + size <= bytes) {
                        EXPECT_EQ(runs.ContinueCrc(kBefore, run.data + at, size),
                                  crclist::FastCrc32(kBefore, run.data + at, size))
                            << what << ", " << size << " bytes at " << at;
                    }
                }
            }
            // Bytes that lie in no run are read.
            EXPECT_EQ(runs.ContinueCrc(kBefore, plain.data(), 5000),
                      crclist::FastCrc32(kBefore, plain.data(), 5000));
        }
    }
}

}  // namespace
