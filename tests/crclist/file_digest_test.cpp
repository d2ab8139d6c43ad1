#include "tools/crclist/reading/file_digest.h"

#include <filesystem>
#include <fstream>
#include <functional>

#include <gtest/gtest.h>

#include "tests/crclist/table_crc.h"
#include "tests/unit/temp_file.h"

namespace {

using crclist::DigestFile;
using crclist::FileDigest;
using crclist::kReadSize;
using Outcome = FileDigest::Outcome;

constexpr std::uint64_t kGrows = ~std::uint64_t{0};

// Runs `afterFirstBlock` once the first block has been read, as another process changing the
// file at that moment would.
class Observer : public crclist::ReadObserver {
  public:
    bool wantContent = true;
    bool stopAfterFirstBlock = false;
    std::function<void()> afterFirstBlock;
    std::uint64_t bytes = 0;
    int blocks = 0;

    bool WantContent(std::size_t, std::uint64_t) const override { return wantContent; }
    void BytesRead(std::uint64_t count) override {
        bytes += count;
        if (++blocks == 1 && afterFirstBlock) {
            afterFirstBlock();
        }
    }
    bool StopRequested() override { return stopAfterFirstBlock && blocks > 0; }
    void Done(std::size_t, const FileDigest&) override {}
};

TEST(FileDigest, ReadsAFileOrSaysWhyNot) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::vector<std::uint8_t> content = PatternBytes(3 * kReadSize + 5);
    const std::vector<std::uint8_t> grown = PatternBytes(4 * kReadSize);
    std::filesystem::create_directory(dir.File("folder"));
    const std::string path = dir.File("file");
    const struct {
        const char* what;
        std::size_t size;  // written before the read; 0 with `absent` for no file
        bool absent;
        std::string name;
        bool want;
        bool stop;
        std::function<void()> change;
        Outcome outcome;
        std::uint64_t digestSize;
        std::uint64_t bytesRead;  // kGrows: past the listed size, by less than a block
    } kCases[] = {
        {"whole file", content.size(), false, "file", true, false, nullptr, Outcome::kRead,
         content.size(), content.size()},
        {"exactly one block", kReadSize, false, "file", true, false, nullptr, Outcome::kRead,
         kReadSize, kReadSize},
        {"empty", 0, false, "file", true, false, nullptr, Outcome::kRead, 0, 0},
        {"missing", 0, true, "none", true, false, nullptr, Outcome::kMissing, 0, 0},
        {"a folder is no file", 0, true, "folder", true, false, nullptr, Outcome::kMissing, 0, 0},
        {"content not wanted", content.size(), false, "file", false, false, nullptr,
         Outcome::kNotRead, content.size(), 0},
        {"stopped", content.size(), false, "file", true, true, nullptr, Outcome::kStopped, 0,
         kReadSize},
        {"shrinks while read", content.size(), false, "file", true, false,
         [&] { std::filesystem::resize_file(path, kReadSize + 10); }, Outcome::kChanged,
         kReadSize + 10, kReadSize + 10},
        {"grows while read", content.size(), false, "file", true, false,
         [&] { dir.Write("file", grown); }, Outcome::kChanged, grown.size(), kGrows},
    };
    for (const auto& c : kCases) {
        if (!c.absent) {
            dir.Write("file",
                      std::vector<std::uint8_t>(
                          content.begin(), content.begin() + static_cast<std::ptrdiff_t>(c.size)));
        }
        Observer observer;
        observer.wantContent = c.want;
        observer.stopAfterFirstBlock = c.stop;
        observer.afterFirstBlock = c.change;
        crclist::ReadShape shape;
        shape.readSize = kReadSize;
        const FileDigest digest = DigestFile(dir.File(c.name), 3, observer, shape);
        EXPECT_EQ(digest.outcome, c.outcome) << c.what;
        EXPECT_EQ(digest.path, dir.File(c.name)) << c.what;
        EXPECT_EQ(digest.size, c.digestSize) << c.what;
        if (c.outcome == Outcome::kRead) {
            const std::vector<std::uint8_t> expected(
                content.begin(), content.begin() + static_cast<std::ptrdiff_t>(c.size));
            EXPECT_EQ(digest.crc, TableCrc(expected)) << c.what;
        }
        if (c.bytesRead == kGrows) {
            // Read only until it is past its size, not to its new end.
            EXPECT_GT(observer.bytes, c.size) << c.what;
            EXPECT_LE(observer.bytes, c.size + kReadSize) << c.what;
        } else {
            EXPECT_EQ(observer.bytes, c.bytesRead) << c.what;
        }
        std::filesystem::remove(path);
    }
}

TEST(FileDigest, LeavesNoFileOpen) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    dir.Write("file", PatternBytes(1000));
    const std::size_t before = OpenDescriptorCount();
    for (const bool want : {true, false}) {
        Observer observer;
        observer.wantContent = want;
        DigestFile(dir.File("file"), 0, observer);
        DigestFile(dir.File("none"), 0, observer);
    }
    EXPECT_EQ(OpenDescriptorCount(), before);
}

}  // namespace
