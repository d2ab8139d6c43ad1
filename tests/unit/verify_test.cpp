#include "engine/verify.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/files_testing.h"
#include "platform/ui_recorded.h"
#include "tests/unit/temp_file.h"

namespace {

// The two messages of a verification, after the path, as the user must see them.
constexpr char kOpenFailed[] = "のファイルのオープンに失敗しました";
constexpr char kSizeMismatch[] = "のファイルサイズが一致しません";

namespace pt = platform::testing;

// Records every SetPosition together with the number of pumps before it, and asks to stop
// once a chosen number of pumps has run.
class RecordingProgress : public ProgressView {
  public:
    void SetPosition(std::int32_t percent) override {
        positions.emplace_back(pt::PumpCount(), percent);
    }
    bool IsStopRequested() const override {
        ++stopTests;
        return stopAfterPumps > 0 && pt::PumpCount() >= stopAfterPumps;
    }

    std::vector<std::pair<long, std::int32_t>> positions;
    long stopAfterPumps = 0;
    mutable long stopTests = 0;
};

class VerifyFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        pt::Reset();
        BuildCrcTable(table);
        ASSERT_TRUE(dir.ok());
    }
    void TearDown() override {
        pt::Reset();
        pt::FailReadCall(0);
    }

    // Writes a file of `size` pattern bytes; its CRC goes to `crc`.
    std::string MakeFile(std::size_t size, std::uint32_t* crc) {
        const std::vector<std::uint8_t> bytes = PatternBytes(size);
        *crc = ComputeCrc(table, bytes.data(), bytes.size());
        return dir.Write("file" + std::to_string(size) + ".bin", bytes);
    }

    bool Verify(const std::string& path, std::int32_t size, std::uint32_t crc) {
        return VerifyFile(table, path.c_str(), size, crc, progress, owner);
    }

    CrcTable table{};
    TempDir dir;
    RecordingProgress progress;
    int ownerTag = 0;
    platform::Window owner = &ownerTag;
};

TEST_F(VerifyFileTest, PumpsEvery4096BytesAndMovesTheBarBelow100) {
    const std::size_t sizes[] = {1, 4095, 4096, 4097, 100000, 1000000, 2 * 1048576 + 3};
    for (std::size_t size : sizes) {
        pt::Reset();
        progress = RecordingProgress{};
        std::uint32_t crc = 0;
        const std::string path = MakeFile(size, &crc);

        EXPECT_TRUE(Verify(path, static_cast<std::int32_t>(size), crc)) << size;
        const long steps = static_cast<long>((size + 4095) / 4096);
        EXPECT_EQ(pt::PumpCount(), steps) << size;
        EXPECT_EQ(progress.stopTests, steps) << size;
        if (size <= 4096) {
            EXPECT_TRUE(progress.positions.empty()) << size;
        }
        std::int32_t last = 0;
        for (const auto& [pumps, percent] : progress.positions) {
            EXPECT_GT(percent, last) << size << " after pump " << pumps;
            EXPECT_LT(percent, 100) << size;
            last = percent;
        }
        EXPECT_TRUE(pt::Messages().empty()) << size;
    }
}

TEST_F(VerifyFileTest, BarMovesOnlyAfterAnotherPerCent) {
    struct Case {
        std::size_t size;
        std::vector<std::pair<long, std::int32_t>> first;  // (pumps before, percent)
        std::size_t count;
        std::int32_t last;
    };
    const Case cases[] = {
        // Every step is more than one per cent: the first update is at byte 4096.
        {100000, {{1, 4}, {2, 8}, {3, 12}}, 24, 98},
        // One per cent is 10,000 bytes: the bar waits for three steps each time.
        {1000000, {{3, 1}, {6, 2}, {9, 3}}, 81, 99},
    };
    for (const Case& c : cases) {
        pt::Reset();
        progress = RecordingProgress{};
        std::uint32_t crc = 0;
        const std::string path = MakeFile(c.size, &crc);
        ASSERT_TRUE(Verify(path, static_cast<std::int32_t>(c.size), crc));
        ASSERT_EQ(progress.positions.size(), c.count) << c.size;
        const std::vector<std::pair<long, std::int32_t>> first(
            progress.positions.begin(),
            progress.positions.begin() + static_cast<std::ptrdiff_t>(c.first.size()));
        EXPECT_EQ(first, c.first) << c.size;
        EXPECT_EQ(progress.positions.back().second, c.last) << c.size;
    }
}

// Past 42,949,673 bytes the byte count times 100 no longer fits 32 bits: the percentages
// must climb all the same. The file is sparse, so it costs no disk space.
TEST_F(VerifyFileTest, PercentagesOfLargeFilesKeepClimbing) {
    constexpr std::int32_t kSize = 48 << 20;
    const std::string path = dir.File("large.bin");
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, kSize), 0);
    ::close(fd);
    std::uint32_t reg = kCrcStart;
    for (std::int32_t n = 0; n < kSize; ++n) {
        reg = UpdateCrc(table, reg, 0);
    }

    ASSERT_TRUE(Verify(path, kSize, FinishCrc(reg)));
    ASSERT_EQ(progress.positions.size(), 99u);
    std::int32_t last = 0;
    for (const auto& [pumps, percent] : progress.positions) {
        EXPECT_GT(percent, last) << "after pump " << pumps;
        last = percent;
    }
    EXPECT_EQ(last, 99);
}

TEST_F(VerifyFileTest, EmptyFileVerifiesWithoutAnyStep) {
    const std::string path = dir.Write("empty.bin", "");
    EXPECT_TRUE(Verify(path, 0, 0));
    EXPECT_EQ(pt::PumpCount(), 0);
    EXPECT_EQ(progress.stopTests, 0);
    EXPECT_TRUE(progress.positions.empty());
    EXPECT_FALSE(Verify(path, 0, 1));
}

TEST_F(VerifyFileTest, WrongCrcFailsSilently) {
    std::uint32_t crc = 0;
    const std::string path = MakeFile(5000, &crc);
    EXPECT_FALSE(Verify(path, 5000, crc ^ 1u));
    EXPECT_EQ(pt::PumpCount(), 2);
    EXPECT_TRUE(pt::Messages().empty());
}

TEST_F(VerifyFileTest, StopAndQuitEndAtTheStepSilently) {
    std::uint32_t crc = 0;
    const std::string path = MakeFile(1048576 + 4096 * 3, &crc);
    const std::size_t descriptors = OpenDescriptorCount();
    for (long k : {1L, 2L, 257L}) {
        // Stop requested: the flag is read right after the k-th pump.
        pt::Reset();
        progress = RecordingProgress{};
        progress.stopAfterPumps = k;
        EXPECT_FALSE(Verify(path, 1048576 + 4096 * 3, crc)) << k;
        EXPECT_EQ(pt::PumpCount(), k);
        EXPECT_EQ(progress.stopTests, k);

        // WM_QUIT taken by the k-th pump: the stop flag is not even looked at.
        pt::Reset();
        progress = RecordingProgress{};
        pt::SetPumpHandler([k] { return pt::PumpCount() >= k ? 0 : 1; });
        EXPECT_FALSE(Verify(path, 1048576 + 4096 * 3, crc)) << k;
        EXPECT_EQ(pt::PumpCount(), k);
        EXPECT_EQ(progress.stopTests, k - 1);

        EXPECT_TRUE(pt::Messages().empty());
        EXPECT_EQ(OpenDescriptorCount(), descriptors) << "file left open, k = " << k;
    }
}

// A read error in the middle of a file ends its data there: the CRC of what was read is
// compared, silently, and the file is closed.
TEST_F(VerifyFileTest, ReadErrorEndsTheDataWhereItStands) {
    constexpr std::size_t kChunk = 1048576;
    constexpr std::size_t kSize = 2 * kChunk + 3;
    const std::vector<std::uint8_t> bytes = PatternBytes(kSize);
    const std::string path = dir.Write("broken.bin", bytes);
    const std::uint32_t whole = ComputeCrc(table, bytes.data(), kSize);
    struct Case {
        int failingRead;
        std::size_t delivered;
    };
    // The fourth read is the one that finds the end: failing it loses nothing.
    const Case cases[] = {{1, 0}, {2, kChunk}, {3, 2 * kChunk}, {4, kSize}};
    const std::size_t descriptors = OpenDescriptorCount();
    for (const Case& c : cases) {
        const std::uint32_t shorter = ComputeCrc(table, bytes.data(), c.delivered);
        for (const std::uint32_t expected : {whole, shorter}) {
            pt::Reset();
            pt::FailReadCall(c.failingRead);
            progress = RecordingProgress{};
            EXPECT_EQ(Verify(path, kSize, expected), expected == shorter)
                << "read " << c.failingRead << " fails, crc " << std::hex << expected;
            EXPECT_EQ(pt::PumpCount(), static_cast<long>((c.delivered + 4095) / 4096));
            EXPECT_TRUE(pt::Messages().empty()) << c.failingRead;
            EXPECT_EQ(OpenDescriptorCount(), descriptors)
                << "file left open, read " << c.failingRead;
        }
    }
}

TEST_F(VerifyFileTest, OpenAndSizeFailuresAreReported) {
    std::uint32_t crc = 0;
    const std::string path = MakeFile(100, &crc);
    const std::string empty = dir.Write("empty.bin", "");
    const std::string missing = dir.File("missing.bin");
    struct Case {
        std::string path;
        std::int32_t size;
        const char* text;
    };
    const Case cases[] = {
        {missing, 100, kOpenFailed},
        {dir.path(), 0, kOpenFailed},
        // A wrong size is reported even though the CRC would match; nothing is read.
        {path, 99, kSizeMismatch},
        {path, 101, kSizeMismatch},
        {empty, -1, kSizeMismatch},
        {path, INT32_MIN, kSizeMismatch},
    };
    const std::size_t descriptors = OpenDescriptorCount();
    for (const Case& c : cases) {
        pt::Reset();
        EXPECT_FALSE(Verify(c.path, c.size, crc)) << c.path << " " << c.size;
        ASSERT_EQ(pt::Messages().size(), 1u);
        const pt::RecordedMessage& m = pt::Messages()[0];
        EXPECT_EQ(m.text, c.path + c.text);
        EXPECT_FALSE(m.hasCaption);
        EXPECT_EQ(m.style, platform::kErrorStyle);
        EXPECT_EQ(m.owner, owner);
        EXPECT_EQ(pt::PumpCount(), 0);
        EXPECT_EQ(OpenDescriptorCount(), descriptors);
    }
}

TEST_F(VerifyFileTest, FilesOf4GiBOrMoreNeverPassForSmallOnes) {
    // Compared by their low 32 bits alone, these would pass for 10 bytes and for an empty
    // file (and the latter would divide by zero in the percentage).
    constexpr std::uint64_t k4GiB = 1ull << 32;
    const std::pair<std::uint64_t, std::int32_t> cases[] = {{k4GiB + 10, 10}, {k4GiB, 0}};
    for (const auto& [length, claimed] : cases) {
        const std::string path = dir.File("sparse.bin");
        const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        const bool made = ::ftruncate(fd, static_cast<off_t>(length)) == 0;
        ::close(fd);
        if (!made) {
            GTEST_SKIP() << "the file system refuses a sparse file of " << length << " bytes";
        }
        pt::Reset();
        EXPECT_FALSE(Verify(path, claimed, 0)) << length;
        ASSERT_EQ(pt::Messages().size(), 1u) << length;
        EXPECT_EQ(pt::Messages()[0].text, path + kSizeMismatch);
        EXPECT_EQ(pt::PumpCount(), 0);
        ::unlink(path.c_str());
    }
}

}  // namespace
