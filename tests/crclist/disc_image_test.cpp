// Every form that discs are kept in, made here from a folder, read as Windows reads the disc.
// Narrow literals are Shift-JIS, as in a check list and in the names of Japanese mastering
// tools; u8 literals are UTF-8, as names on the disk are.
#include <clocale>
#include <filesystem>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "tests/crclist/child_process.h"
#include "tests/crclist/disc_image.h"
#include "tests/crclist/table_crc.h"
#include "tests/unit/temp_file.h"
#include "tools/crclist/discs/disc_reader.h"
#include "tools/crclist/text/encoding.h"

namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;  // UTF-8 path on the disc -> content

const std::string kLong(70, 'L');
constexpr std::size_t kSector = 2048;
constexpr std::size_t kRawSector = 2352;

// The files of the folder most images are made of: names that every tool keeps as they are.
Files FolderFiles() {
    const std::vector<std::uint8_t> big = PatternBytes(600000);  // several blocks of any read
    return {
        {u8"データ/表示.DAT", "display"},
        {"README.TXT", "readme"},
        {"Big.dat", std::string(big.begin(), big.end())},
        {"Empty.bin", ""},
    };
}

// The least that a mastering tool writes for one file: 22 sectors, fewer than libarchive
// looks at before it takes an image. Made from genisoimage's image of the file, without the
// free sectors it leaves after each path table: its M path table, root and file moved up.
std::string Smallest(const std::string& image) {
    std::string small = image.substr(0, 22 * kSector);
    const auto move = [&](std::size_t to, std::size_t from) {
        small.replace(to * kSector, kSector, image, from * kSector, kSector);
    };
    const auto put = [&](std::size_t at, std::uint32_t value, bool little, bool big) {
        for (std::size_t byte = 0; byte < 4; ++byte) {
            if (little) {
                small[at + byte] = static_cast<char>(value >> (8 * byte));
            }
            if (big) {
                small[at + (little ? 4 : 0) + byte] = static_cast<char>(value >> (24 - 8 * byte));
            }
        }
    };
    move(18, 21);
    move(20, 23);
    move(21, 24);
    const std::size_t pvd = 16 * kSector;
    const std::size_t root = 20 * kSector;
    put(pvd + 80, 22, true, true);    // the volume's size
    put(pvd + 148, 18, false, true);  // the M path table
    put(pvd + 158, 20, true, true);   // the root
    put(19 * kSector + 2, 20, true, false);
    put(18 * kSector + 2, 20, false, true);
    put(root + 2, 20, true, true);       // .
    put(root + 34 + 2, 20, true, true);  // ..
    put(root + 68 + 2, 21, true, true);  // the file
    return small;
}

class Images : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.ok());
        Write("src", FolderFiles());
    }

    void Write(const std::string& folder, const Files& files) const {
        for (const auto& [name, content] : files) {
            const fs::path path = fs::path(dir_.File(folder)) / fs::u8path(name);
            fs::create_directories(path.parent_path());
            dir_.Write(path.string().substr(dir_.path().size() + 1), content);
        }
    }
    // An image of `folder` made by `tool`, as its bytes.
    std::string Master(const std::string& tool, const std::string& folder) const {
        const std::string image = dir_.File("master.iso");
        EXPECT_TRUE(RunImageTool(tool + " -quiet -o '" + image + "' '" + dir_.File(folder) + "'"))
            << tool << " (tools/scripts/setup.sh installs it)";
        return ReadAll(image);
    }
    std::string Joliet() const {
        return Master("xorriso -as mkisofs -J -joliet-long --norock", "src");
    }

    TempDir dir_;
};

// What a disc lists and reads: each file with its content's size and CRC.
std::map<std::string, std::pair<std::uint64_t, std::uint32_t>> Digests(const std::string& disc) {
    std::map<std::string, std::pair<std::uint64_t, std::uint32_t>> digests;
    std::unique_ptr<crclist::DiscReader> reader;
    std::string error;
    EXPECT_TRUE(crclist::OpenDisc(disc, &reader, &error)) << error;
    if (!reader) {
        return digests;
    }
    std::vector<crclist::DiscFile> files;
    std::vector<std::string> problems;
    EXPECT_TRUE(reader->ListFiles("", nullptr, &files, &problems));
    std::vector<std::string> names;
    for (const crclist::DiscFile& file : files) {
        std::string name;
        for (const std::string& component : file.components) {
            std::string sjis;
            EXPECT_TRUE(Utf8ToSjis(component, &sjis)) << component;
            name += (name.empty() ? "" : "\\") + sjis;
        }
        names.push_back(name);
    }
    struct Collect : crclist::ReadObserver {
        bool WantContent(std::size_t, std::uint64_t) const override { return true; }
        void BytesRead(std::uint64_t) override {}
        bool StopRequested() override { return false; }
        void Done(std::size_t index, const crclist::FileDigest& digest) override {
            EXPECT_EQ(digest.outcome, crclist::FileDigest::Outcome::kRead) << digest.path;
            (*digests)[(*files)[index].path.substr(disc->size() + 1)] = {digest.size, digest.crc};
        }
        std::map<std::string, std::pair<std::uint64_t, std::uint32_t>>* digests;
        const std::vector<crclist::DiscFile>* files;
        const std::string* disc;
    } collect;
    collect.digests = &digests;
    collect.files = &files;
    collect.disc = &disc;
    reader->Read(names, collect);
    return digests;
}

TEST_F(Images, ListsWhatWindowsShowsInEveryForm) {
    const Files folder = FolderFiles();
    Files deep = {{"a/b/c/d/e/f/g/h/i/deep.txt", "deep"}, {kLong + ".txt", "long"}};
    Write("deep", deep);
    fs::create_symlink(kLong + ".txt", dir_.File("deep/link.txt"));
    Files primary = {{"DDDDDD/HYOJ.DAT", "display"}, {"README", "readme"}, {"lower.txt", "x"}};
    Write("primary", primary);
    Files one = {{"A.TXT", "hi"}};
    Write("one", one);
    const std::string audio(300 * kRawSector, '\x55');
    const auto cue = [&](const std::string& data) {
        dir_.Write("track01.bin", RawSectors(data, 1, 2352));
        dir_.Write("track02.bin", audio);
        return dir_.Write("disc.cue",
                          "REM two files, the preservation layout\r\n"
                          "FILE \"TRACK01.BIN\" BINARY\r\n  TRACK 01 MODE1/2352\r\n"
                          "    INDEX 01 00:00:00\r\nFILE \"Track02.bin\" BINARY\r\n"
                          "  TRACK 02 AUDIO\r\n    INDEX 00 00:00:00\r\n    INDEX 01 00:02:00\r\n");
    };
    const auto ccd = [&](const std::string& data) {
        const std::string raw = RawSectors(data, 1, 2352);
        const std::string sectors = std::to_string(raw.size() / 2352);
        dir_.Write("disc.img", raw + audio);  // a mixed-mode CD in one image
        return dir_.Write("disc.ccd",
                          "[CloneCD]\nVersion=3\n[TRACK 1]\nMODE=1\nINDEX 1=0\n"
                          "[TRACK 2]\nMODE=0\nINDEX 0=" +
                              sectors + "\nINDEX 1=" + std::to_string(raw.size() / 2352 + 150) +
                              "\n");
    };
    // UDF under Joliet names that say otherwise, and with the ISO 9660 descriptors gone.
    const auto bridge = [&](bool udfOnly) {
        std::string image = Master("genisoimage -udf -J", "src");
        EXPECT_EQ(ReplaceAll(&image, Utf16Be("README.TXT"), Utf16Be("JOLIET.TXT")), 1u);
        if (udfOnly) {
            const std::size_t udf = image.find("BEA01") - 1;  // the UDF recognition sequence
            const std::string sequence = image.substr(udf, 3 * kSector);
            image.replace(udf, sequence.size(), sequence.size(), '\0');
            image.replace(16 * kSector, sequence.size(), sequence);
        }
        return dir_.Write("udf.iso", image);
    };
    Files shortened = {{"a/b/c/d/e/f/g/h/i/deep.txt", "deep"},
                       {std::string(61, 'L') + ".txt", "long"}};
    Files shiftJis = {{u8"データ/表示.DAT", "display"}, {"README", "readme"}, {"LOWER.TXT", "x"}};
    const struct {
        const char* what;
        std::function<std::string()> make;  // the path of the disc
        const Files& expected;
    } kCases[] = {
        {"Joliet only", [&] { return dir_.Write("disc.iso", Joliet()); }, folder},
        {"Rock Ridge and Joliet",
         [&] { return dir_.Write("disc.iso", Master("xorriso -as mkisofs -J -R", "deep")); },
         shortened},
        {"ISO 9660 only, Shift-JIS names",
         [&] {
             std::string image = Master("genisoimage", "primary");
             EXPECT_GT(ReplaceAll(&image, "DDDDDD", "データ"), 0u);
             EXPECT_EQ(ReplaceAll(&image, "HYOJ.DAT", "表示.DAT"), 1u);
             return dir_.Write("disc.iso", image);
         },
         shiftJis},
        {"less than 48 KiB",
         [&] { return dir_.Write("disc.iso", Smallest(Master("genisoimage -no-pad", "one"))); },
         one},
        {"raw MODE1", [&] { return dir_.Write("disc.bin", RawSectors(Joliet(), 1, 2352)); },
         folder},
        {"raw MODE2", [&] { return dir_.Write("disc.bin", RawSectors(Joliet(), 2, 2352)); },
         folder},
        {"2448-byte sectors beside an .mds",
         [&] {
             dir_.Write("disc.mdf", RawSectors(Joliet(), 1, 2448));
             return dir_.Write("disc.mds", "MEDIA DESCRIPTOR");
         },
         folder},
        {"mixed-mode cue", [&] { return cue(Joliet()); }, folder},
        {"CloneCD", [&] { return ccd(Joliet()); }, folder},
        {"UDF bridge", [&] { return bridge(false); }, folder},
        {"UDF only", [&] { return bridge(true); }, folder},
        {"a drive's device", [&] { return dir_.Write("sr0", Joliet()); }, folder},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        const std::string disc = c.make();
        std::map<std::string, std::pair<std::uint64_t, std::uint32_t>> expected;
        for (const auto& [name, content] : c.expected) {
            expected[name] = {content.size(), TableCrc(content)};
        }
        // The names do not depend on the locale that the tool runs in.
        for (const char* locale : {"C", "C.UTF-8"}) {
            ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr) << locale;
            EXPECT_EQ(Digests(disc), expected) << locale;
        }
        std::setlocale(LC_ALL, "C");
        // The tool's own run: make lists the disc, and verify passes it against that list.
        const std::string list = dir_.File("list.INF");
        fs::remove(list);
        EXPECT_EQ(RunCrclist({"make", "-o", list, "--title", "T", "--disc", disc, "--prompt", "P"})
                      .exitCode,
                  0);
        const ChildResult verify = RunCrclist({"verify", "--quiet", "--disc", disc, list});
        EXPECT_EQ(verify.exitCode, 0) << verify.out << verify.err;
    }
}

// A disc image that cannot be read as it is, is refused when it is opened, naming the image
// and what is wrong: nothing is listed or verified from it.
TEST_F(Images, RefusesBadImagesWithTheReason) {
    std::string damaged = Joliet();
    // The folder データ's Joliet record (its name's length, then its name in UTF-16) gets an
    // extent far past the end of the image.
    const std::size_t record = damaged.find("\x06\x30\xc7\x30\xfc\x30\xbf") + 1 - 33;
    ASSERT_LT(record, damaged.size());
    damaged.replace(record + 2, 4, "\xff\xff\xff\x00", 4);
    const struct {
        const char* what;
        std::string file;
        std::string bytes;
        const char* reason;
    } kCases[] = {
        {"a damaged folder", "disc.iso", damaged, "lies past the end of its volume"},
        {"a cue naming a missing file", "disc.cue",
         "FILE \"gone.bin\" BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\n", "gone.bin"},
        {"an audio CD", "disc.cue", "FILE \"a.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
         "audio CD"},
        {"a cue with a bad time", "disc.cue",
         "FILE a.bin BINARY\nTRACK 01 MODE1/2352\nINDEX 01 0:60:0\n", "line 3: the time '0:60:0'"},
        {"an unknown layout", "disc.bin", std::string(100000, '\0'), "unknown sector layout"},
        {"a CHD image", "disc.chd", std::string("MComprHD") + std::string(100, '\0'),
         "chdman extractcd"},
        {"an NRG image", "disc.img", std::string(100, '\0') + "NER5" + std::string(8, '\0'),
         "Nero image"},
    };
    dir_.Write("a.bin", std::string(20 * kRawSector, '\0'));
    for (const auto& c : kCases) {
        const std::string disc = dir_.Write(c.file, c.bytes);
        std::unique_ptr<crclist::DiscReader> reader;
        std::string error;
        EXPECT_FALSE(crclist::OpenDisc(disc, &reader, &error)) << c.what;
        EXPECT_NE(error.find(disc), std::string::npos) << c.what << ": " << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
    }
}

}  // namespace
