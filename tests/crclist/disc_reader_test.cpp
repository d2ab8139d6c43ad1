// Narrow literals in this file are compiled to Shift-JIS, as the names in a check list are;
// u8 literals are UTF-8, as the names on the disk and in an image are.
#include "tools/crclist/discs/disc_reader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "tests/crclist/disc_image.h"
#include "tests/crclist/table_crc.h"
#include "tests/unit/temp_file.h"

namespace {

using crclist::DiscReader;
using crclist::FileDigest;
using Outcome = FileDigest::Outcome;

class Recorder : public crclist::ReadObserver {
  public:
    std::size_t wantNot = ~std::size_t{0};  // the index whose content is not wanted
    bool stopAtFirstBlock = false;
    std::vector<std::size_t> order;
    std::map<std::size_t, FileDigest> done;
    std::uint64_t bytes = 0;

    bool WantContent(std::size_t index, std::uint64_t) const override { return index != wantNot; }
    void BytesRead(std::uint64_t count) override { bytes += count; }
    bool StopRequested() override { return stopAtFirstBlock && bytes > 0; }
    void Done(std::size_t index, const FileDigest& digest) override {
        order.push_back(index);
        EXPECT_EQ(done.count(index), 0u) << "index " << index << " reported twice";
        done[index] = digest;
    }
};

// One disc's files, written as a folder and as an image of that folder.
class Disc : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.ok());
        for (const auto& [name, content] : kFiles) {
            const std::filesystem::path path = std::filesystem::path(folder()) / name;
            std::filesystem::create_directories(path.parent_path());
            std::ofstream(path, std::ios::binary) << content;
        }
        std::filesystem::create_directories(folder() + "/Sub");
        ASSERT_TRUE(MakeDiscImage(folder(), image()))
            << "xorriso (tools/scripts/setup.sh) is needed";
    }

    std::string folder() const { return dir_.File("disc"); }
    std::string image() const { return dir_.File("disc.iso"); }

    std::unique_ptr<DiscReader> Open(const std::string& where) {
        std::unique_ptr<DiscReader> reader;
        std::string error;
        EXPECT_TRUE(crclist::OpenDisc(where, &reader, &error)) << error;
        return reader;
    }

    static const std::map<std::string, std::string> kFiles;
    TempDir dir_;
};

const std::map<std::string, std::string> Disc::kFiles = {
    {"Data/Scene.dat", "scene"},
    {u8"表/ﾃｽﾄ.dat", "test"},
    {"Two/A.TXT", "upper"},
    {"Two/a.txt", "lower"},
    {"Two/Mixed.Txt", "mixed"},
    {"Empty.bin", ""},
    {"Deep/er/still/file.dat", std::string(300000, 'd')},
};

// The same names find the same files in a folder and in its image, as Windows finds them.
TEST_F(Disc, FindsListedNamesAsWindowsDoes) {
    const struct {
        std::string name;   // Shift-JIS, as listed
        std::string found;  // in the disc, UTF-8; empty: missing
    } kCases[] = {
        {"Data\\Scene.dat", "Data/Scene.dat"},
        {"DATA\\SCENE.DAT", "Data/Scene.dat"},
        {"data/scene.DAT", "Data/Scene.dat"},
        {"表\\ﾃｽﾄ.DAT", u8"表/ﾃｽﾄ.dat"},
        {"Two\\a.txt", "Two/a.txt"},
        {"Two\\A.TXT", "Two/A.TXT"},
        {"TWO\\a.Txt", "Two/A.TXT"},  // no exact name: the first in byte order
        {"Two\\mixed.txt", "Two/Mixed.Txt"},
        {"Empty.bin", "Empty.bin"},
        {"Deep\\er\\STILL\\file.dat", "Deep/er/still/file.dat"},
        {"Data\\Scene.dat", "Data/Scene.dat"},  // listed twice
        {"Sub", ""},                            // a folder
        {"Data\\None.dat", ""},
        {"Bad\x80name", ""},  // no Shift-JIS
    };
    std::vector<std::string> names;
    for (const auto& c : kCases) {
        names.push_back(c.name);
    }
    for (const std::string& where : {folder(), image()}) {
        std::unique_ptr<DiscReader> reader = Open(where);
        ASSERT_TRUE(reader);
        Recorder recorder;
        reader->Read(names, recorder);
        ASSERT_EQ(recorder.done.size(), names.size()) << where;
        for (std::size_t index = 0; index < names.size(); ++index) {
            const FileDigest& digest = recorder.done[index];
            const std::string& found = kCases[index].found;
            if (found.empty()) {
                EXPECT_EQ(digest.outcome, Outcome::kMissing) << where << ": " << index;
                continue;
            }
            const std::string& content = kFiles.at(found);
            EXPECT_EQ(digest.outcome, Outcome::kRead) << where << ": " << found;
            EXPECT_EQ(digest.path, std::filesystem::path(where) / found) << where;
            EXPECT_EQ(digest.size, content.size()) << where << ": " << found;
            EXPECT_EQ(digest.crc, TableCrc(content)) << where << ": " << found;
        }
    }
}

// A path names the place given and the listed parts with one '/' at each joint, whatever
// runs of separators the place or the name hold; a listed '\' at the front stays below it.
TEST_F(Disc, JoinsPathsWithOneSeparator) {
    const std::vector<std::string> names = {"Data\\Scene.dat", "\\DATA\\\\None.dat\\"};
    const struct {
        std::string where, base;
    } kCases[] = {{folder() + "//", folder()}, {image(), image()}};
    for (const auto& c : kCases) {
        Recorder recorder;
        Open(c.where)->Read(names, recorder);
        ASSERT_EQ(recorder.done.size(), 2u) << c.where;
        EXPECT_EQ(recorder.done[0].path, c.base + "/Data/Scene.dat");
        EXPECT_EQ(recorder.done[1].path, c.base + "/DATA/None.dat");
    }
}

TEST_F(Disc, ReadsAFolderInListOrder) {
    std::unique_ptr<DiscReader> reader = Open(folder());
    Recorder recorder;
    reader->Read({"Two\\a.txt", "Empty.bin", "Data\\Scene.dat", "None"}, recorder);
    EXPECT_EQ(recorder.order, (std::vector<std::size_t>{0, 1, 2, 3}));
}

TEST_F(Disc, SkipsTheContentThatIsNotWanted) {
    for (const std::string& where : {folder(), image()}) {
        std::unique_ptr<DiscReader> reader = Open(where);
        Recorder recorder;
        recorder.wantNot = 1;
        reader->Read({"Data\\Scene.dat", "Deep\\er\\still\\file.dat"}, recorder);
        EXPECT_EQ(recorder.done[1].outcome, Outcome::kNotRead) << where;
        EXPECT_EQ(recorder.done[1].size, 300000u) << where;
        EXPECT_EQ(recorder.bytes, 5u) << where;  // only Scene.dat was read
    }
}

// A stop leaves the file being read unreported and the rest of it unread; what was read in
// full before it stays. One stream reads, so that the stop is seen at the file's second read
// whichever disc it is: a folder reads the large file first (list order), an image the small
// one (the order of its data).
TEST_F(Disc, StopsWithinAFile) {
    for (const std::string& where : {folder(), image()}) {
        std::unique_ptr<DiscReader> reader = Open(where);
        reader->SetJobs(1);
        Recorder recorder;
        recorder.stopAtFirstBlock = true;
        reader->Read({"Deep\\er\\still\\file.dat", "Data\\Scene.dat"}, recorder);
        EXPECT_EQ(recorder.done.count(0), 0u) << where;
        for (const auto& [index, digest] : recorder.done) {
            EXPECT_EQ(digest.outcome, Outcome::kRead) << where << ": " << index;
        }
        EXPECT_LT(recorder.bytes, 300000u) << where;
    }
}

// Every regular file, with its size; a folder alone is no file, and the list being written
// (here made after the image) is not one of them.
TEST_F(Disc, ListsEveryFile) {
    dir_.Write("disc/crclist.INF", "being written");
    std::map<std::vector<std::string>, std::uint64_t> expected;
    for (const auto& [name, content] : kFiles) {
        std::vector<std::string> components;
        for (const auto& part : std::filesystem::path(name)) {
            components.push_back(part.string());
        }
        expected[components] = content.size();
    }
    for (const std::string& where : {folder(), image()}) {
        std::vector<crclist::DiscFile> files;
        std::vector<std::string> problems;
        EXPECT_TRUE(
            Open(where)->ListFiles(dir_.File("disc/crclist.INF"), nullptr, &files, &problems))
            << where;
        EXPECT_EQ(problems, std::vector<std::string>()) << where;
        std::map<std::vector<std::string>, std::uint64_t> listed;
        for (const crclist::DiscFile& file : files) {
            listed[file.components] = file.size;
        }
        EXPECT_EQ(listed, expected) << where;
    }
}

// A folder is listed through its links, but a link that leads back into a folder above it,
// or nowhere, is a problem that names it, and the listing goes on; unless it is left out.
TEST_F(Disc, ListsAFolderThroughLinks) {
    namespace fs = std::filesystem;
    const struct {
        const char* link;
        std::string target;
        const char* problem;  // empty: listed through it
    } kLinks[] = {
        {"ToData", "Data", ""},
        {"Deep/er/Up", "../..", "leads back into a folder above it"},
        {"Gone", "none.dat", "cannot be read"},
    };
    for (const auto& c : kLinks) {
        fs::create_symlink(c.target, folder() + "/" + c.link);
    }
    std::vector<crclist::DiscFile> files;
    std::vector<std::string> problems;
    ASSERT_TRUE(Open(folder())->ListFiles("", nullptr, &files, &problems));
    std::set<std::vector<std::string>> listed;
    for (const crclist::DiscFile& file : files) {
        listed.insert(file.components);
    }
    EXPECT_EQ(listed.size(), kFiles.size() + 1);
    EXPECT_EQ(listed.count({"ToData", "Scene.dat"}), 1u);
    std::size_t expectedProblems = 0;
    for (const auto& c : kLinks) {
        if (*c.problem == '\0') {
            continue;
        }
        ++expectedProblems;
        const auto named = std::find_if(problems.begin(), problems.end(), [&](const auto& text) {
            return text.find(c.link) != std::string::npos &&
                   text.find(c.problem) != std::string::npos;
        });
        EXPECT_NE(named, problems.end()) << c.link;
    }
    EXPECT_EQ(problems.size(), expectedProblems);

    // What the listing leaves out is not looked at, so those links are no problem then.
    problems.clear();
    const crclist::ListingFilter leaveOut = [](const std::vector<std::string>& components) {
        return components.back() == "Up" || components.back() == "Gone";
    };
    ASSERT_TRUE(Open(folder())->ListFiles("", leaveOut, &files, &problems));
    EXPECT_EQ(problems, std::vector<std::string>());
    EXPECT_EQ(files.size(), kFiles.size() + 1);
}

// Names that share their data (hard links in the folder the image was made of) each have
// that data, whichever of them are asked for; libarchive gives it with the first one only.
TEST_F(Disc, ReadsEveryNameOfSharedData) {
    const std::string content = "shared data";
    std::filesystem::create_directories(folder() + "/Link");
    dir_.Write("disc/Link/a.dat", content);
    for (const char* link : {"b.dat", "c.dat"}) {
        std::filesystem::create_hard_link(folder() + "/Link/a.dat", folder() + "/Link/" + link);
    }
    ASSERT_TRUE(MakeDiscImage(folder(), image()));
    const std::vector<std::vector<std::string>> kRequests = {
        {"Link\\a.dat", "Link\\b.dat", "Link\\c.dat"},
        {"Link\\c.dat"},
        {"LINK\\B.DAT", "Empty.bin"},
    };
    for (const auto& names : kRequests) {
        std::unique_ptr<DiscReader> reader = Open(image());
        Recorder recorder;
        reader->Read(names, recorder);
        for (std::size_t index = 0; index < names.size(); ++index) {
            const std::string expected = names[index] == "Empty.bin" ? "" : content;
            const FileDigest& digest = recorder.done[index];
            EXPECT_EQ(digest.outcome, Outcome::kRead) << names[index];
            EXPECT_EQ(digest.size, expected.size()) << names[index];
            EXPECT_EQ(digest.crc, TableCrc(expected)) << names[index];
        }
        EXPECT_EQ(recorder.bytes, content.size()) << names[0];  // the data read once
    }
}

// An image that ends inside a file's data is refused when it is opened, naming that file:
// nothing is listed or verified from it, and no file's damage is taken for a missing one.
TEST_F(Disc, RefusesATruncatedImage) {
    const std::vector<std::uint8_t> pattern = PatternBytes(std::size_t{2} << 20);
    const std::string big(pattern.begin(), pattern.end());
    std::ofstream(folder() + "/Big.bin", std::ios::binary) << big;
    ASSERT_TRUE(MakeDiscImage(folder(), image()));
    const std::string bytes = ReadAll(image());
    const std::size_t at = bytes.find(big.substr(0, 4096));
    ASSERT_NE(at, std::string::npos);
    std::filesystem::resize_file(image(), at + 100000);

    std::unique_ptr<DiscReader> reader;
    std::string error;
    EXPECT_FALSE(crclist::OpenDisc(image(), &reader, &error));
    EXPECT_NE(error.find(image() + " is cut short: the data of Big.bin"), std::string::npos)
        << error;
}

TEST(DiscOpening, RefusesWhatIsNoDisc) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    dir.Write("list.txt", "not an image");
    const struct {
        std::string where;
        std::string reason;
    } kCases[] = {
        {dir.File("none"), "no such folder, disc image or drive"},
        {dir.File("list.txt"), "is no disc image"},
        {"/dev/null", "not a regular file"},
    };
    for (const auto& c : kCases) {
        std::unique_ptr<DiscReader> reader;
        std::string error;
        EXPECT_FALSE(crclist::OpenDisc(c.where, &reader, &error)) << c.where;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_NE(error.find(c.where), std::string::npos) << error;
    }
}

}  // namespace
