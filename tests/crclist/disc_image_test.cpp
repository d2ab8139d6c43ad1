// Every form that discs are kept in, made here from a folder, read as Windows reads the disc.
// Narrow literals are Shift-JIS, as in a check list and in the names of Japanese mastering
// tools; u8 literals are UTF-8, as names on the disk are.
#include <clocale>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/crclist/child_process.h"
#include "tests/crclist/disc_digests.h"
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
        DiscDigests expected;
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

// Every form that image_forms.py writes of an image reads as the image itself. libcdio's
// cd-info sees each Nero image's tracks where they were written, so that the Nero images of the
// tests are what other tools take for Nero images.
TEST_F(Images, ReadsEveryFormAsItsImage) {
    const std::string iso = dir_.Write("disc.iso", Joliet());
    const std::uint64_t isoSectors = fs::file_size(iso) / kSector;
    const DiscDigests expected = Digests(iso);
    ASSERT_EQ(expected.size(), FolderFiles().size());
    fs::create_directory(dir_.File("forms"));
    std::istringstream forms(OutputOf("python3 " SUMWARDEN_SOURCE_DIR
                                      "/tests/crclist/image_forms.py '" +
                                      iso + "' '" + dir_.File("forms") + "'"));
    std::size_t count = 0;
    for (std::string form, file; forms >> form >> file; ++count) {
        SCOPED_TRACE(form);
        const std::string disc = dir_.File("forms/" + file);
        EXPECT_EQ(Digests(disc), expected);
        if (form.compare(0, 3, "nrg") != 0) {
            continue;
        }
        // cd-info's track list: each track's number, start as MSF and LSN, and type; then the
        // lead-out, numbered 170.
        std::istringstream info(
            OutputOf("LC_ALL=C cd-info --no-cddb --no-device-info --quiet '" + disc + "'"));
        std::vector<std::uint64_t> starts;
        std::string firstType;
        for (std::string line; std::getline(info, line);) {
            std::istringstream fields(line);
            int track = 0;
            char colon = 0;
            std::string msf;
            std::uint64_t lsn = 0;
            std::string type;
            if (fields >> track >> colon >> msf >> lsn >> type && colon == ':' && track != 170) {
                firstType = starts.empty() ? type : firstType;
                starts.push_back(lsn);
            }
        }
        const std::vector<std::uint64_t> written = form == "nrg-mixed"
                                                       ? std::vector<std::uint64_t>{0, isoSectors}
                                                       : std::vector<std::uint64_t>{0};
        EXPECT_EQ(starts, written) << "libcdio-utils installs cd-info";
        EXPECT_NE(firstType, "audio");
    }
    EXPECT_GE(count, 11u);  // bin/cue MODE1, MODE2 and 2336, ccd, mds, six Nero images
}

// A disc image that cannot be read as it is, is refused when it is opened, with exit code 2
// and a message naming the image and what is wrong: nothing is listed or verified from it.
TEST_F(Images, RefusesBadImagesWithTheReason) {
    const std::string joliet = Joliet();
    // The Joliet records (each name's length, then the name in UTF-16) of a file and a folder.
    const std::size_t file = RecordOf(joliet, Utf16Be("README.TXT"));
    const std::size_t folder = RecordOf(joliet, "\x30\xc7\x30\xfc\x30\xbf");  // データ
    const std::size_t big = RecordOf(joliet, Utf16Be("Big.dat"));
    ASSERT_NE(file, std::string::npos);
    ASSERT_NE(folder, std::string::npos);
    ASSERT_NE(big, std::string::npos);
    const auto damaged = [&](std::size_t at, const std::string& bytes) {
        std::string image = joliet;
        image.replace(at, bytes.size(), bytes);
        return image;
    };
    std::string loop = joliet;  // the folder's data is the root folder that holds it
    PutBothEndian32(&loop, folder + 2, static_cast<std::uint32_t>(folder / kSector));
    // A Nero image whose one chunk claims more bytes than its chain holds.
    const std::string chain = std::string("DAOX\x7f\xff\xff\xff", 8) + std::string(22, '\0');
    std::string offset(8, '\0');
    offset[4] = static_cast<char>(joliet.size() >> 24);
    offset[5] = static_cast<char>(joliet.size() >> 16);
    offset[6] = static_cast<char>(joliet.size() >> 8);
    offset[7] = static_cast<char>(joliet.size());
    const struct {
        const char* what;
        std::string file;
        std::string bytes;
        const char* reason;
    } kCases[] = {
        {"an extent past the volume's end", "disc.iso",
         damaged(folder + 2, std::string("\xff\xff\xff\x00", 4)),
         "lies past the end of its volume"},
        {"an interleaved file", "disc.iso", damaged(file + 26, "\x01\x01"),
         "README.TXT, which is interleaved"},
        {"a folder that loops", "disc.iso", loop, "leads back into a folder above it"},
        {"a record that does not fit", "disc.iso", damaged(file + 32, "\xff"), "does not fit"},
        {"an image cut short", "disc.iso",
         joliet.substr(0, LittleEndian32At(joliet, big + 2) * kSector + 4 * kSector),
         "is cut short: the data of Big.dat"},
        {"a Nero image with a broken chain", "disc.nrg", joliet + chain + "NER5" + offset,
         "chunk DAOX goes on past the chain"},
        {"a cue naming a missing file", "disc.cue",
         "FILE \"gone.bin\" BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\n", "gone.bin"},
        {"an audio CD", "disc.cue", "FILE \"a.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
         "audio CD"},
        {"a cue with a bad time", "disc.cue",
         "FILE a.bin BINARY\nTRACK 01 MODE1/2352\nINDEX 01 0:60:0\n", "line 3: the time '0:60:0'"},
        {"an unknown layout", "disc.bin", std::string(100000, '\0'), "unknown sector layout"},
        {"a CHD image", "disc.chd", std::string("MComprHD") + std::string(100, '\0'),
         "chdman extractcd"},
    };
    dir_.Write("a.bin", std::string(20 * kRawSector, '\0'));
    for (const auto& c : kCases) {
        const std::string disc = dir_.Write(c.file, c.bytes);
        const ChildResult made = RunCrclist(
            {"make", "-o", dir_.File("list.INF"), "--title", "T", "--prompt", "P", "--disc", disc});
        EXPECT_EQ(made.exitCode, 2) << c.what;
        EXPECT_NE(made.err.find(disc), std::string::npos) << c.what << ": " << made.err;
        EXPECT_NE(made.err.find(c.reason), std::string::npos) << c.what << ": " << made.err;
        EXPECT_FALSE(fs::exists(dir_.File("list.INF"))) << c.what;
    }
}

}  // namespace
