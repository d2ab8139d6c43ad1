// Files read by several threads at once give what one thread reading them in turn gives, in
// list order, whatever the shape of the reading: pieces shorter than a file, reads that do not
// divide a piece, more files than the threads may run ahead.
#include "tools/crclist/reading/file_batch.h"

#include <map>
#include <stdexcept>

#include <gtest/gtest.h>

#include "tests/crclist/table_crc.h"
#include "tests/unit/temp_file.h"
#include "tools/crclist/reading/positional_file_testing.h"

namespace {

using crclist::FileDigest;
using crclist::ReadShape;
using Outcome = FileDigest::Outcome;

class Recorder : public crclist::ReadObserver {
  public:
    std::size_t notWanted = ~std::size_t{0};
    std::uint64_t stopAfter = ~std::uint64_t{0};  // bytes read, after which a stop is asked
    std::vector<std::size_t> order;
    std::map<std::size_t, FileDigest> done;
    std::uint64_t bytes = 0;

    bool WantContent(std::size_t index, std::uint64_t) const override { return index != notWanted; }
    void BytesRead(std::uint64_t count) override { bytes += count; }
    bool StopRequested() override { return bytes >= stopAfter; }
    void Done(std::size_t index, const FileDigest& digest) override {
        order.push_back(index);
        done[index] = digest;
    }
};

ReadShape Shape(std::size_t helpers, std::size_t readSize, std::uint64_t pieceSize) {
    ReadShape shape;
    shape.helpers = helpers;
    shape.readSize = readSize;
    shape.pieceSize = pieceSize;
    return shape;
}

// Files 0 to n-1 of `dir`, named by their index; those in `absent` are not there.
crclist::FileLocator Locator(const TempDir& dir, const std::vector<std::size_t>& absent = {}) {
    return [&dir, absent](std::size_t index, crclist::FoundFile* found) {
        found->path = dir.File(std::to_string(index));
        return std::find(absent.begin(), absent.end(), index) == absent.end();
    };
}

const ReadShape kShapes[] = {
    Shape(0, 4096, 16384),  // the calling thread alone
    Shape(1, 4096, 16384),
    Shape(3, 1000, 3000),  // reads that divide neither a piece nor a sector
    Shape(1, 128 << 10, 4 << 20),
};

TEST(FileBatch, GivesEveryFilesDigestInListOrder) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    // Around the sizes of a read and a piece, and more files than the threads run ahead.
    std::vector<std::size_t> sizes = {0,     1,     999,   1000,  3000,  3001,   4096, 16383,
                                      16384, 16385, 81923, 20000, 65536, 300000, 7};
    for (std::size_t more = 0; more < 150; ++more) {
        sizes.push_back(more * 37);
    }
    std::vector<std::vector<std::uint8_t>> contents;
    for (std::size_t index = 0; index < sizes.size(); ++index) {
        const std::vector<std::uint8_t> pattern = PatternBytes(sizes[index] + index);
        contents.emplace_back(pattern.begin() + static_cast<std::ptrdiff_t>(index), pattern.end());
        dir.Write(std::to_string(index), contents.back());
    }
    const std::vector<std::size_t> absent = {2, 60, 61};
    for (const auto& path : absent) {
        std::filesystem::remove(dir.File(std::to_string(path)));
    }
    for (const ReadShape& shape : kShapes) {
        const std::string what =
            std::to_string(shape.helpers) + " helpers, reads of " + std::to_string(shape.readSize);
        Recorder recorder;
        recorder.notWanted = 9;
        crclist::ReadFileBatch(sizes.size(), Locator(dir, absent), recorder, shape);
        ASSERT_EQ(recorder.order.size(), sizes.size()) << what;
        std::uint64_t wanted = 0;
        for (std::size_t index = 0; index < sizes.size(); ++index) {
            EXPECT_EQ(recorder.order[index], index) << what;
            const FileDigest& digest = recorder.done[index];
            EXPECT_EQ(digest.path, dir.File(std::to_string(index))) << what;
            if (std::find(absent.begin(), absent.end(), index) != absent.end()) {
                EXPECT_EQ(digest.outcome, Outcome::kMissing) << what << ", file " << index;
                continue;
            }
            EXPECT_EQ(digest.size, sizes[index]) << what << ", file " << index;
            if (index == recorder.notWanted) {
                EXPECT_EQ(digest.outcome, Outcome::kNotRead) << what;
                continue;
            }
            wanted += sizes[index];
            EXPECT_EQ(digest.outcome, Outcome::kRead) << what << ", file " << index;
            EXPECT_EQ(digest.crc, TableCrc(contents[index])) << what << ", file " << index;
        }
        EXPECT_EQ(recorder.bytes, wanted) << what;
    }
}

// A read error fails the file it hit, whichever thread read it, and no other.
TEST(FileBatch, AReadErrorFailsItsFileAlone) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::vector<std::size_t> sizes = {1000, 100000, 1000};
    for (std::size_t index = 0; index < sizes.size(); ++index) {
        dir.Write(std::to_string(index), PatternBytes(sizes[index]));
    }
    for (const ReadShape& shape : kShapes) {
        // Within a middle piece of the large file, past the end of the small ones.
        crclist::testing::FailReadAt(50000);
        Recorder recorder;
        crclist::ReadFileBatch(sizes.size(), Locator(dir), recorder, shape);
        crclist::testing::FailReadAt(~std::uint64_t{0});
        ASSERT_EQ(recorder.done.size(), sizes.size());
        EXPECT_EQ(recorder.done[0].outcome, Outcome::kRead);
        EXPECT_EQ(recorder.done[1].outcome, Outcome::kReadError) << shape.helpers;
        EXPECT_EQ(recorder.done[1].reason.rfind("input/output error at byte ", 0), 0u)
            << recorder.done[1].reason;
        EXPECT_EQ(recorder.done[2].outcome, Outcome::kRead);
    }
}

// A stop within a large file ends the reading there: it and the files after it are not
// reported, and its rest is not read. (The small file before it is reported when it was read
// to its end before the stop, which depends on the threads' turns.)
TEST(FileBatch, StopsWithinALargeFile) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    // Far more than a piece of any shape: a helper reads on until the calling thread next asks
    // about a stop, which a loaded machine may delay by many reads, but not through all of it.
    const std::vector<std::size_t> sizes = {1000, 32 << 20, 1000};
    for (std::size_t index = 0; index < sizes.size(); ++index) {
        dir.Write(std::to_string(index), PatternBytes(sizes[index]));
    }
    for (const ReadShape& shape : kShapes) {
        Recorder recorder;
        recorder.stopAfter = 5000;
        crclist::ReadFileBatch(sizes.size(), Locator(dir), recorder, shape);
        EXPECT_LE(recorder.order.size(), 1u) << shape.helpers;
        EXPECT_EQ(recorder.done.count(1) + recorder.done.count(2), 0u) << shape.helpers;
        EXPECT_LT(recorder.bytes, sizes[1]) << shape.helpers;
    }
}

// An observer that throws out of Done ends the reading by that exception: the helpers are set
// free and joined, and nothing waits for ever.
TEST(FileBatch, AnExceptionFromTheObserverEndsTheReading) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    for (std::size_t index = 0; index < 20; ++index) {
        dir.Write(std::to_string(index), PatternBytes(5000));
    }
    struct Throwing : Recorder {
        void Done(std::size_t index, const FileDigest& digest) override {
            Recorder::Done(index, digest);
            if (index == 3) {
                throw std::runtime_error("the sink is full");
            }
        }
    };
    for (const ReadShape& shape : kShapes) {
        Throwing observer;
        EXPECT_THROW(crclist::ReadFileBatch(20, Locator(dir), observer, shape), std::runtime_error)
            << shape.helpers;
        EXPECT_EQ(observer.order.size(), 4u);
    }
}

}  // namespace
