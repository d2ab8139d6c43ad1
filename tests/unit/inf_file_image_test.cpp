// Loading a whole file into one block.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "inf/file_image.h"
#include "inf_test_files.h"
#include "platform/files_testing.h"

namespace {

std::string Content(const FileImage& image) {
    return std::string(reinterpret_cast<const char*>(image.Data()),
                       static_cast<std::size_t>(image.Size()));
}

TEST(FileImageTest, LoadsEveryByteAndReplacesEarlierContent) {
    const std::string big(100000, 'x');
    const std::string small(
        "ab\0\xFF"
        "c",
        5);
    TempDir dir;
    const std::string first = dir.Write("first.INF", big);
    const std::string second = dir.Write("second.INF", small);
    FileImage image;
    ASSERT_TRUE(image.Load(first.c_str()));
    EXPECT_EQ(Content(image), big);
    ASSERT_TRUE(image.Load(second.c_str()));
    EXPECT_EQ(Content(image), small);
}

TEST(FileImageTest, RefusesWhatCannotBeHeld) {
    TempDir dir;
    const std::string empty = dir.Write("empty.INF", "");
    FileImage image;
    EXPECT_FALSE(image.Load(empty.c_str()));
    EXPECT_FALSE(image.Load(dir.File("missing.INF").c_str()));
    EXPECT_FALSE(image.Load(::testing::TempDir().c_str()));  // a folder
}

// The file is read with one read; when that fails the load does, and the file is closed.
TEST(FileImageTest, ReadErrorFailsTheLoad) {
    TempDir dir;
    const std::string file = dir.Write("file.INF", "[TITLE]\nT\n");
    const std::size_t before = OpenDescriptorCount();
    FileImage image;
    platform::testing::FailReadCall(1);
    EXPECT_FALSE(image.Load(file.c_str()));
    EXPECT_EQ(OpenDescriptorCount(), before);
    // The hook fired once: the next load reads the file.
    EXPECT_TRUE(image.Load(file.c_str()));
}

// A file beyond the signed 32-bit range is refused rather than read in part: its size
// modulo 2^32 would otherwise look like a small file's. The file is sparse, so it costs
// no disk space.
TEST(FileImageTest, RefusesFileBeyondSigned32BitSize) {
    for (std::uint64_t size : {std::uint64_t{0x80000000}, std::uint64_t{0x100000005}}) {
        TempDir dir;
        const std::string file = dir.Write("file.INF", "");
        ASSERT_EQ(::truncate(file.c_str(), static_cast<off_t>(size)), 0);
        FileImage image;
        EXPECT_FALSE(image.Load(file.c_str())) << size;
        EXPECT_EQ(image.Size(), 0);
    }
}

TEST(FileImageTest, EveryOpenedFileIsClosed) {
    TempDir dir;
    const std::string good = dir.Write("good.INF", "data\n");
    const std::string empty = dir.Write("empty.INF", "");
    const std::string huge = dir.Write("huge.INF", "");
    ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(0x100000000)), 0);
    // The next descriptor the process gets shows whether one was left open.
    const int before = ::dup(0);
    ASSERT_GE(before, 0);
    ::close(before);
    for (int i = 0; i < 3; ++i) {
        FileImage image;
        image.Load(good.c_str());
        image.Load(empty.c_str());
        image.Load(huge.c_str());
    }
    const int after = ::dup(0);
    ::close(after);
    EXPECT_EQ(after, before);
}

}  // namespace
