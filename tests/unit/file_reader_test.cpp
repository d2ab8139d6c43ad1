#include "engine/file_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/unit/temp_file.h"

namespace {

constexpr std::size_t kChunk = FileReader::kChunkSize;

TEST(FileReaderTest, DeliversEveryByteInOrderAndShrinksOnlyForTheLastChunk) {
    struct Case {
        std::size_t size;
        std::vector<std::int32_t> bufferSizes;  // the buffer's size after each refill
    };
    const Case cases[] = {
        {0, {}},
        {1, {1}},
        {kChunk - 1, {kChunk - 1}},
        {kChunk, {kChunk}},
        {kChunk + 1, {kChunk, 1}},
        {2 * kChunk + 3, {kChunk, kChunk, 3}},
    };
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> content = PatternBytes(c.size);
        const std::string path = dir.Write("data.bin", content);

        FileReader reader;
        EXPECT_EQ(reader.position, 0xFFFFFFFFu);
        EXPECT_EQ(reader.buffer.Size(), FileReader::kChunkSize);
        ASSERT_TRUE(reader.OpenFile(path.c_str())) << c.size;
        EXPECT_EQ(reader.fileSize, c.size);

        std::vector<std::uint8_t> got;
        got.reserve(c.size);
        std::vector<std::int32_t> refills;
        std::uint8_t byte = 0;
        while (reader.NextByte(&byte)) {
            got.push_back(byte);
            if (reader.position == 1) {
                refills.push_back(reader.buffer.Size());
            }
        }
        EXPECT_TRUE(got == content) << "size " << c.size;
        EXPECT_EQ(refills, c.bufferSizes) << "size " << c.size;
        // The end is sticky.
        EXPECT_FALSE(reader.NextByte(&byte)) << c.size;
    }
}

TEST(FileReaderTest, FailedOpenLeavesNothingOpen) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string missing = dir.File("missing.bin");
    // A folder opens under POSIX but is no file to verify.
    const std::string paths[] = {missing, dir.path()};
    for (const std::string& path : paths) {
        const std::size_t before = OpenDescriptorCount();
        FileReader reader;
        EXPECT_FALSE(reader.OpenFile(path.c_str())) << path;
        EXPECT_EQ(reader.fileHandle, nullptr) << path;
        EXPECT_EQ(OpenDescriptorCount(), before) << path;
        EXPECT_TRUE(reader.CloseFile());
    }
}

TEST(FileReaderTest, DestructorAndCloseReleaseTheFile) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string path = dir.Write("data.bin", "abc");
    const std::size_t before = OpenDescriptorCount();
    {
        FileReader reader;
        ASSERT_TRUE(reader.OpenFile(path.c_str()));
        EXPECT_EQ(OpenDescriptorCount(), before + 1);
    }
    EXPECT_EQ(OpenDescriptorCount(), before);

    FileReader reader;
    ASSERT_TRUE(reader.OpenFile(path.c_str()));
    EXPECT_TRUE(reader.CloseFile());
    EXPECT_EQ(reader.fileHandle, nullptr);
    EXPECT_TRUE(reader.CloseFile());
    EXPECT_EQ(OpenDescriptorCount(), before);
    std::uint8_t byte = 0;
    EXPECT_FALSE(reader.NextByte(&byte));
}

TEST(FileReaderTest, ReopeningStartsWithTheNewFile) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string first = dir.Write("first.bin", "xyz");
    const std::string second = dir.Write("second.bin", "abc");
    const std::size_t before = OpenDescriptorCount();
    FileReader reader;
    std::uint8_t byte = 0;
    ASSERT_TRUE(reader.OpenFile(first.c_str()));
    ASSERT_TRUE(reader.NextByte(&byte));
    ASSERT_TRUE(reader.OpenFile(second.c_str()));
    EXPECT_EQ(OpenDescriptorCount(), before + 1);
    ASSERT_TRUE(reader.NextByte(&byte));
    EXPECT_EQ(byte, 'a');
}

TEST(FileReaderTest, NoBufferReadsAsTheEnd) {
    // What a failed allocation of the chunk leaves behind.
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string path = dir.Write("data.bin", "abc");
    FileReader reader;
    reader.buffer.Free();
    ASSERT_TRUE(reader.OpenFile(path.c_str()));
    std::uint8_t byte = 0;
    EXPECT_FALSE(reader.NextByte(&byte));
}

}  // namespace
