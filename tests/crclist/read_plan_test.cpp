// How a disc is read as its medium decides, with the medium told through the test seam: one
// stream on a medium that seeks, in the order in which it holds the data, every processor for
// data in memory and on a medium that does not seek, and what --jobs says over both.
#include "tools/crclist/discs/read_plan.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/crclist/disc_image.h"
#include "tests/unit/temp_file.h"
#include "tools/crclist/discs/disc_reader.h"
#include "tools/crclist/reading/positional_file.h"

namespace {

using crclist::Medium;

class Order : public crclist::ReadObserver {
  public:
    std::vector<std::size_t> read;  // in the order in which reading began, with one stream
    std::vector<std::size_t> done;  // in the order of the reading
    bool WantContent(std::size_t, std::uint64_t) const override { return true; }
    void NowReading(std::size_t index) override { read.push_back(index); }
    void BytesRead(std::uint64_t) override {}
    bool StopRequested() override { return false; }
    void Done(std::size_t index, const crclist::FileDigest&) override { done.push_back(index); }
};

// Takes the file's pages out of the page cache, as a cold start finds it. False where the
// system keeps them (a file system in memory).
bool Evict(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        return false;
    }
    ::fdatasync(fd);
    const bool evicted = ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    crclist::PositionalFile file;
    crclist::FileFailure failure;
    std::uint64_t cached = 1;
    ::close(fd);
    return evicted && file.Open(path, crclist::PositionalFile::Accept::kRegularFile, &failure) &&
           file.CachedBytes(0, file.Size(), &cached) && cached == 0;
}

std::uint64_t PhysicalOffset(const std::string& path) {
    crclist::PositionalFile file;
    crclist::FileFailure failure;
    std::uint64_t offset = ~std::uint64_t{0};
    if (file.Open(path, crclist::PositionalFile::Accept::kRegularFile, &failure)) {
        file.PhysicalOffset(&offset);
    }
    return offset;
}

class ReadPlan : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.ok());
        std::filesystem::create_directory(dir_.File("disc"));
        // Written in the reverse of list order, so that a disk tends to hold them that way.
        for (const char* name : {"C.DAT", "B.DAT", "A.DAT"}) {
            dir_.Write(std::string("disc/") + name, PatternBytes(300000));
        }
    }
    void TearDown() override { crclist::testing::AnswerMediumOf(nullptr); }

    static void Answer(Medium::Kind kind, const std::string& device = "") {
        crclist::testing::AnswerMediumOf([kind, device](const std::string&) {
            Medium medium;
            medium.kind = kind;
            medium.device = device;
            return medium;
        });
    }
    std::unique_ptr<crclist::DiscReader> Open(const std::string& where) {
        std::unique_ptr<crclist::DiscReader> reader;
        std::string error;
        EXPECT_TRUE(crclist::OpenDisc(where, &reader, &error)) << error;
        return reader;
    }

    TempDir dir_;
    const std::vector<std::string> names_ = {"A.DAT", "B.DAT", "C.DAT"};
    const std::size_t machine_ = crclist::MachineReadShape().helpers + 1;
};

TEST_F(ReadPlan, TheMediumAndTheCacheDecideTheStreams) {
    const struct {
        const char* what;
        Medium::Kind medium;
        std::size_t evicted;  // of the files, from the first
        std::size_t jobs;
        bool seeking;
        bool cached;
        std::size_t streams;     // 0: the machine's
        std::size_t fromMedium;  // files read from the medium as one stream
    } kCases[] = {
        {"flash", Medium::Kind::kOther, 3, 0, false, false, 0, 0},
        {"a rotating disk, in memory", Medium::Kind::kRotational, 0, 0, true, true, 0, 0},
        {"a rotating disk, cold", Medium::Kind::kRotational, 3, 0, true, false, 1, 3},
        {"a rotating disk, one file cold", Medium::Kind::kRotational, 1, 0, true, false, 0, 1},
        {"an optical drive, cold", Medium::Kind::kOptical, 3, 0, true, false, 1, 3},
        {"--jobs 1 on flash", Medium::Kind::kOther, 0, 1, false, false, 1, 0},
        {"--jobs 64 on a rotating disk", Medium::Kind::kRotational, 3, 64, true, false, 0, 0},
    };
    for (const auto& c : kCases) {
        for (std::size_t evicted = 0; evicted < c.evicted; ++evicted) {
            if (!Evict(dir_.File("disc/" + names_[evicted]))) {
                GTEST_SKIP() << "the page cache keeps these files";
            }
        }
        Answer(c.medium);
        std::unique_ptr<crclist::DiscReader> reader = Open(dir_.File("disc"));
        reader->SetJobs(c.jobs);
        Order order;
        reader->Read(names_, order);
        const crclist::ReadPlan& plan = reader->LastPlan();
        EXPECT_EQ(plan.where, dir_.File("disc")) << c.what;
        EXPECT_EQ(plan.seeking, c.seeking) << c.what;
        EXPECT_EQ(plan.cached, c.cached) << c.what;
        EXPECT_EQ(plan.Streams(), c.streams == 0 ? machine_ : c.streams) << c.what;
        EXPECT_EQ(plan.FromMedium(), c.fromMedium) << c.what;
        if (c.evicted == 1 && c.jobs == 0) {
            // Read in list order, the file on the disk in its turn.
            EXPECT_EQ(order.done, (std::vector<std::size_t>{0, 1, 2})) << c.what;
        }
    }
}

// Cold on a medium that seeks, a folder's files are read in the order of their data on the
// disk, not in list order.
TEST_F(ReadPlan, OneStreamReadsInTheOrderOfTheMedium) {
    std::vector<std::pair<std::uint64_t, std::size_t>> places;
    for (std::size_t index = 0; index < names_.size(); ++index) {
        const std::string path = dir_.File("disc/" + names_[index]);
        if (!Evict(path)) {
            GTEST_SKIP() << "the page cache keeps these files";
        }
        places.emplace_back(PhysicalOffset(path), index);
    }
    std::sort(places.begin(), places.end());
    std::vector<std::size_t> expected;
    expected.reserve(places.size());
    for (const auto& place : places) {
        expected.push_back(place.second);
    }
    Answer(Medium::Kind::kRotational);
    Order order;
    Open(dir_.File("disc"))->Read(names_, order);
    EXPECT_EQ(order.read, expected);
}

// A folder where an optical disc is mounted is read through the disc's drive, as an image:
// here an image stands in for the drive, and its names are the image's.
TEST_F(ReadPlan, AnOpticalDiscMountedAtAFolderIsReadThroughItsDrive) {
    std::filesystem::create_directory(dir_.File("other"));
    dir_.Write("other/IMAGE.DAT", PatternBytes(5));
    ASSERT_TRUE(MakeDiscImage(dir_.File("other"), dir_.File("sr0")));
    Answer(Medium::Kind::kOptical, dir_.File("sr0"));
    std::unique_ptr<crclist::DiscReader> reader = Open(dir_.File("disc"));
    std::vector<crclist::DiscFile> files;
    std::vector<std::string> problems;
    ASSERT_TRUE(reader->ListFiles("", nullptr, &files, &problems));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].components, std::vector<std::string>{"IMAGE.DAT"});
    // When the drive does not open, the folder is read as it is.
    Answer(Medium::Kind::kOptical, dir_.File("no-drive"));
    ASSERT_TRUE(Open(dir_.File("disc"))->ListFiles("", nullptr, &files, &problems));
    EXPECT_EQ(files.size(), names_.size());
}

}  // namespace
