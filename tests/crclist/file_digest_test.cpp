#include "tools/crclist/reading/file_batch.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>

#include <gtest/gtest.h>

#include "tests/crclist/table_crc.h"
#include "tests/unit/temp_file.h"
#include "tools/crclist/discs/disc_reader.h"

namespace {

using crclist::FileDigest;
using Outcome = FileDigest::Outcome;

constexpr std::size_t kReadSize = std::size_t{64} << 10;
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
    std::optional<FileDigest> digest;

    bool WantContent(std::size_t, std::uint64_t) const override { return wantContent; }
    void BytesRead(std::uint64_t count) override {
        bytes += count;
        if (++blocks == 1 && afterFirstBlock) {
            afterFirstBlock();
        }
    }
    bool StopRequested() override { return stopAfterFirstBlock && blocks > 0; }
    void Done(std::size_t, const FileDigest& done) override { digest = done; }
};

// The digest of the file at `path`, read as a request of its own; kStopped when none came.
FileDigest Digest(const std::string& path, Observer& observer) {
    crclist::ReadShape shape;
    shape.readSize = kReadSize;
    crclist::ReadFileBatch(
        1,
        [&path](std::size_t, crclist::FoundFile* found) {
            found->path = path;
            return true;
        },
        observer, shape);
    if (observer.digest) {
        return *observer.digest;
    }
    FileDigest stopped;
    stopped.outcome = Outcome::kStopped;
    stopped.path = path;
    return stopped;
}

TEST(FileDigest, ReadsAFileOrSaysWhyNot) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::vector<std::uint8_t> content = PatternBytes(3 * kReadSize + 5);
    const std::vector<std::uint8_t> grown = PatternBytes(4 * kReadSize);
    std::filesystem::create_directory(dir.File("folder"));
    // Opened as usual, a FIFO without a writer would block the reading for ever.
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir.File("device"));
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
        const char* reason;
    } kCases[] = {
        {"whole file", content.size(), false, "file", true, false, nullptr, Outcome::kRead,
         content.size(), content.size(), ""},
        {"exactly one block", kReadSize, false, "file", true, false, nullptr, Outcome::kRead,
         kReadSize, kReadSize, ""},
        {"empty", 0, false, "file", true, false, nullptr, Outcome::kRead, 0, 0, ""},
        {"missing", 0, true, "none", true, false, nullptr, Outcome::kMissing, 0, 0, "not found"},
        {"a folder is no file", 0, true, "folder", true, false, nullptr, Outcome::kMissing, 0, 0,
         "not a regular file"},
        {"a FIFO is no file", 0, true, "fifo", true, false, nullptr, Outcome::kMissing, 0, 0,
         "not a regular file"},
        {"a link to a device is no file", 0, true, "device", true, false, nullptr,
         Outcome::kMissing, 0, 0, "not a regular file"},
        {"content not wanted", content.size(), false, "file", false, false, nullptr,
         Outcome::kNotRead, content.size(), 0, ""},
        {"stopped", content.size(), false, "file", true, true, nullptr, Outcome::kStopped, 0,
         kReadSize, ""},
        {"shrinks while read", content.size(), false, "file", true, false,
         [&] { std::filesystem::resize_file(path, kReadSize + 10); }, Outcome::kChanged,
         kReadSize + 10, kReadSize + 10, ""},
        {"grows while read", content.size(), false, "file", true, false,
         [&] { dir.Write("file", grown); }, Outcome::kChanged, grown.size(), kGrows, ""},
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
        const FileDigest digest = Digest(dir.File(c.name), observer);
        EXPECT_EQ(digest.outcome, c.outcome) << c.what;
        EXPECT_EQ(digest.path, dir.File(c.name)) << c.what;
        EXPECT_EQ(digest.size, c.digestSize) << c.what;
        EXPECT_EQ(digest.reason, c.reason) << c.what;
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

// A file that is there but may not be read is a read error, not a missing file: a file at mode
// 0, and one in a folder at mode 0, found through the folder disc as verify finds it. Root reads
// anything, so the reading runs as nobody in a child process when the test runs as root.
TEST(FileDigest, AFileThatMayNotBeReadIsAReadError) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    std::filesystem::create_directories(dir.File("disc/Locked"));
    dir.Write("disc/File.dat", PatternBytes(100));
    dir.Write("disc/Locked/Inner.dat", PatternBytes(100));
    ASSERT_EQ(::chmod(dir.File("disc/File.dat").c_str(), 0), 0);
    ASSERT_EQ(::chmod(dir.File("disc/Locked").c_str(), 0), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const auto read = [&] {
        std::unique_ptr<crclist::DiscReader> disc;
        std::string error;
        if (!crclist::OpenDisc(dir.File("disc"), &disc, &error)) {
            return false;
        }
        struct Digests : Observer {
            std::vector<FileDigest> all = std::vector<FileDigest>(2);
            void Done(std::size_t index, const FileDigest& done) override { all[index] = done; }
        } observer;
        disc->Read({"FILE.DAT", "Locked\\Inner.dat"}, observer);
        for (const FileDigest& digest : observer.all) {
            if (digest.outcome != Outcome::kReadError || digest.reason != "permission denied") {
                return false;
            }
        }
        return true;
    };
    if (::geteuid() != 0) {
        EXPECT_TRUE(read());
        return;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        ::_exit(::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 ? (read() ? 0 : 1) : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) {
        GTEST_SKIP() << "cannot become nobody here";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(FileDigest, LeavesNoFileOpen) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    dir.Write("file", PatternBytes(1000));
    const std::size_t before = OpenDescriptorCount();
    for (const bool want : {true, false}) {
        Observer observer;
        observer.wantContent = want;
        crclist::ReadFileBatch(
            2,
            [&dir](std::size_t index, crclist::FoundFile* found) {
                found->path = dir.File(index == 0 ? "file" : "none");
                return true;
            },
            observer, crclist::MachineReadShape());
    }
    EXPECT_EQ(OpenDescriptorCount(), before);
}

}  // namespace
