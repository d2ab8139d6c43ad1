// The user data of an image's sectors, read through the sector view as the reading engine reads
// a file's extents: any stretch of bytes gives the same bytes in a plain image and in raw
// sectors, and a file in several extents, some never recorded, gets the CRC of its content
// whatever the shape of the reading.
#include "tools/crclist/images/sector_view.h"

#include <map>

#include <gtest/gtest.h>

#include "tests/crclist/disc_image.h"
#include "tests/crclist/table_crc.h"
#include "tests/unit/temp_file.h"
#include "tools/crclist/reading/file_batch.h"

namespace {

using crclist::Extent;
using crclist::kSectorSize;

constexpr std::size_t kSectors = 100;

struct Form {
    const char* name;
    std::string bytes;
    crclist::SectorLayout layout;
};

std::vector<Form> Forms(const std::string& plain) {
    return {
        {"plain", plain, {0, 2048, 0, kSectors}},
        {"raw MODE1", RawSectors(plain, 1, 2352), {0, 2352, 16, kSectors}},
        {"raw MODE2 with subchannel data", RawSectors(plain, 2, 2448), {0, 2448, 24, kSectors}},
    };
}

// Writes `form`'s image and opens it as `file`.
bool WriteAndOpen(const TempDir& dir, const Form& form, crclist::PositionalFile* file) {
    dir.Write("image", std::vector<std::uint8_t>(form.bytes.begin(), form.bytes.end()));
    crclist::FileFailure failure;
    return file->Open(dir.File("image"), crclist::PositionalFile::Accept::kFileOrDrive, &failure);
}

class Recorder : public crclist::ReadObserver {
  public:
    std::map<std::size_t, crclist::FileDigest> done;
    bool WantContent(std::size_t, std::uint64_t) const override { return true; }
    void BytesRead(std::uint64_t) override {}
    bool StopRequested() override { return false; }
    void Done(std::size_t index, const crclist::FileDigest& digest) override {
        done[index] = digest;
    }
};

TEST(SectorView, GivesAnyStretchOfTheUserData) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::vector<std::uint8_t> pattern = PatternBytes(kSectors * kSectorSize);
    const std::string plain(pattern.begin(), pattern.end());
    // Whole sectors, parts of them, across sector ends, up to the end and past it.
    const std::pair<std::uint64_t, std::size_t> kStretches[] = {
        {0, 2048}, {0, 1},       {1, 2047},  {100, 5000},
        {2047, 2}, {2048, 4096}, {3, 30000}, {kSectors * kSectorSize - 10, 100}};
    for (const Form& form : Forms(plain)) {
        crclist::PositionalFile file;
        ASSERT_TRUE(WriteAndOpen(dir, form, &file));
        const crclist::SectorView view(file, form.layout);
        crclist::ReadScratch scratch(64 << 10);
        for (const auto& [offset, count] : kStretches) {
            std::string given;
            std::size_t got = 0;
            std::string reason;
            ASSERT_TRUE(view.Read(
                offset, count, scratch,
                [&given](const unsigned char* data, std::size_t size) {
                    given.append(reinterpret_cast<const char*>(data), size);
                },
                &got, &reason));
            const std::string expected = plain.substr(offset, count);
            EXPECT_EQ(got, expected.size()) << form.name << ", at " << offset;
            EXPECT_TRUE(given == expected) << form.name << ", at " << offset;
        }
    }
}

TEST(SectorView, FilesInExtentsGetTheCrcOfTheirContent) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::vector<std::uint8_t> pattern = PatternBytes(kSectors * kSectorSize);
    const std::string plain(pattern.begin(), pattern.end());
    // A file in one extent, one in three out of order with a stretch of zeros between, and
    // one that is all zeros; each far larger than a piece of the smallest shape.
    const std::vector<std::vector<Extent>> kFiles = {
        {{4096, 50000, false}},
        {{60 * kSectorSize, 10000, false}, {0, 7000, true}, {2 * kSectorSize + 5, 40000, false}},
        {{0, 12345, true}},
    };
    for (const Form& form : Forms(plain)) {
        crclist::PositionalFile file;
        ASSERT_TRUE(WriteAndOpen(dir, form, &file));
        const crclist::SectorView view(file, form.layout);
        for (const std::size_t helpers : {0, 2}) {
            crclist::ReadShape shape;
            shape.helpers = helpers;
            shape.readSize = 3000;  // divides neither a sector nor a piece
            shape.pieceSize = 8192;
            Recorder recorder;
            crclist::ReadFileBatch(
                kFiles.size(),
                [&](std::size_t index, crclist::FoundFile* found) {
                    found->source = &view;
                    found->extents = kFiles[index];
                    for (const Extent& extent : kFiles[index]) {
                        found->size += extent.length;
                    }
                    return true;
                },
                recorder, shape);
            for (std::size_t index = 0; index < kFiles.size(); ++index) {
                std::vector<std::uint8_t> content;
                for (const Extent& extent : kFiles[index]) {
                    const auto at = pattern.begin() + static_cast<std::ptrdiff_t>(extent.offset);
                    if (extent.zeros) {
                        content.insert(content.end(), extent.length, 0);
                    } else {
                        content.insert(content.end(), at,
                                       at + static_cast<std::ptrdiff_t>(extent.length));
                    }
                }
                const crclist::FileDigest& digest = recorder.done[index];
                EXPECT_EQ(digest.outcome, crclist::FileDigest::Outcome::kRead)
                    << form.name << ", file " << index;
                EXPECT_EQ(digest.crc, TableCrc(content)) << form.name << ", file " << index;
            }
        }
    }
}

}  // namespace
