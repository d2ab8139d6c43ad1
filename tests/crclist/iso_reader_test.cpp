// The ISO 9660 reader against an independent one: each image, mastered here by xorriso or
// genisoimage or taken from other projects' test suites, lists as isoinfo lists the tree that
// Windows shows: Joliet when the disc has one, else the primary tree, never Rock Ridge.
#include <clocale>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/crclist/disc_digests.h"
#include "tests/crclist/disc_image.h"
#include "tests/crclist/table_crc.h"
#include "tests/unit/temp_file.h"
#include "tools/crclist/discs/disc_reader.h"

namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;    // UTF-8 path -> content
using Sizes = std::map<std::string, std::uint64_t>;  // UTF-8 path, '/' between names -> size

constexpr std::size_t kSector = 2048;
const std::string kImages = SUMWARDEN_SOURCE_DIR "/tests/data/images/";

// A name as Windows shows it: without its version (";1") and its trailing dots.
std::string Shown(std::string name) {
    const auto semicolon = name.rfind(';');
    if (semicolon != std::string::npos) {
        name.erase(semicolon);
    }
    while (!name.empty() && name.back() == '.') {
        name.pop_back();
    }
    return name;
}

// isoinfo's listing of the files of a tree: the Joliet tree (in Latin-1, each character beyond
// it shown as '_') or the primary tree (its bytes as Shift-JIS). A file of several extents is
// listed once for each.
Sizes IsoinfoSizes(const std::string& image, bool joliet) {
    std::istringstream lines(
        OutputOf("LC_ALL=C isoinfo " + std::string(joliet ? "-J -j iso8859-1" : "") + " -l -i '" +
                 image + "' | iconv -f " + (joliet ? "ISO-8859-1" : "CP932") + " -t UTF-8"));
    const std::string heading = "Directory listing of /";
    Sizes sizes;
    std::string folder;
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, heading.size(), heading) == 0) {
            folder = line.substr(heading.size());
            continue;
        }
        // A file: its mode, links, owner, group and size, then its date, "[extent flags]" and
        // its name after a fixed width.
        const auto bracket = line.find('[');
        if (line.empty() || line[0] != '-' || bracket == std::string::npos) {
            continue;
        }
        std::istringstream fields(line);
        std::string field;
        std::uint64_t size = 0;
        fields >> field >> field >> field >> field >> size;
        std::string name = line.substr(bracket + 14);
        if (!name.empty() && name.back() == ' ') {
            name.pop_back();
        }
        sizes[folder + Shown(name)] += size;
    }
    return sizes;
}

// A UTF-8 name as isoinfo shows a Joliet name in Latin-1.
std::string InLatin1(const std::string& utf8) {
    std::string shown;
    for (std::size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        shown += length == 1 || lead < 0xC4 ? utf8.substr(at, length) : "_";
        at += length;
    }
    return shown;
}

// What the disc layer lists of `image`, in the C locale and in a UTF-8 one (names never depend
// on it), and every file read; in isoinfo's characters when `latin1`.
Sizes OurSizes(const std::string& image, bool latin1, DiscDigests* digests) {
    Sizes sizes;
    for (const char* locale : {"C", "C.UTF-8"}) {
        EXPECT_NE(std::setlocale(LC_ALL, locale), nullptr) << locale;
        *digests = Digests(image);
        Sizes inLocale;
        for (const auto& [path, digest] : *digests) {
            inLocale[latin1 ? InLatin1(path) : path] = digest.first;
        }
        EXPECT_TRUE(sizes.empty() || inLocale == sizes) << locale;
        sizes = inLocale;
    }
    std::setlocale(LC_ALL, "C");
    return sizes;
}

// Makes the file recorded as `identifier` one of two extents, as a file of 4 GiB or more is
// recorded, with its parts out of order: the first record gives the second `half` of its data,
// the second record the first half. The second record takes room that the sector has free.
void SplitInTwo(std::string* image, const std::string& identifier, std::uint32_t half) {
    const std::size_t record = RecordOf(*image, identifier);
    ASSERT_NE(record, std::string::npos) << identifier;
    const std::size_t length = static_cast<unsigned char>((*image)[record]);
    std::string first = image->substr(record, length);
    std::string second = first;
    PutBothEndian32(&first, 2, LittleEndian32At(first, 2) + half / kSector);
    PutBothEndian32(&first, 10, half);
    first[25] = static_cast<char>(first[25] | 0x80);
    PutBothEndian32(&second, 10, half);
    const std::size_t sectorEnd = (record / kSector + 1) * kSector;
    ASSERT_EQ(image->compare(sectorEnd - length, length, std::string(length, '\0')), 0);
    image->replace(record, length, first + second);
    image->erase(sectorEnd, length);
}

// The root folder's date, in every volume descriptor, as NetBSD's makefs leaves it.
void DamageRootDates(std::string* image) {
    for (std::size_t sector = 16; static_cast<unsigned char>((*image)[sector * kSector]) != 255;
         ++sector) {
        image->replace(sector * kSector + 156 + 18, 7, 7, '\xA5');
    }
}

class IsoReader : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.ok()); }
    TempDir dir_;
};

TEST_F(IsoReader, ListsMasteredImagesAsIsoinfo) {
    const std::vector<std::uint8_t> pattern = PatternBytes(4 * kSector);
    const std::string big(pattern.begin(), pattern.end());
    const std::string halves = big.substr(2 * kSector) + big.substr(0, 2 * kSector);
    const Files names = {
        {"Mixed Case Name.txt", "a"},
        {std::string(96, 'L') + ".txt", "long"},
        {u8"データ/表示.DAT", "display"},
        {"sub/Empty.bin", ""},
    };
    const Files primary = {
        {"lower case name.txt", "1"},
        {"a_long_file_name_of_forty_characters_x.dat", "2"},
        {"Mixed Dir/File.With.Dots.txt", "3"},
        {"NoExtension", "4"},
        {"trailing.", "5"},
    };
    const Files deep = {{"a/b/c/d/e/f/g/h/i/j/k/deep.txt", "deep"}, {"top.txt", "top"}};
    const Files hidden = {
        {"secret.txt", "s"}, {"sub/inner.txt", "i"}, {"empty.bin", ""}, {"visible.txt", "v"}};
    const Files linked = {{"deep.txt", "deep"}};
    const Files bigOne = {{"BIG.DAT", big}, {"SMALL.TXT", "small"}};
    const Files sjis = {{"DDDDDD/HYOJ.DAT", "display"}, {"README", "r"}};
    const auto shiftJis = [](std::string* image) {
        EXPECT_GT(ReplaceAll(image, "DDDDDD", "\x83\x66\x81\x5B\x83\x5E"), 0u);  // データ
        EXPECT_EQ(ReplaceAll(image, "HYOJ.DAT", "\x95\x5C\x8E\xA6.DAT"), 1u);    // 表示
    };
    const struct {
        const char* what;
        const Files& files;
        std::string tool;  // the mastering command, before -o and the folder
        bool joliet;       // the tree that Windows shows
        std::function<void(std::string*)> edit = nullptr;
        const char* link = nullptr;  // a symbolic link to the first file
        Files contents = {};         // what some files must hold, by their names on the disc
    } kCases[] = {
        {"Joliet, xorriso", names, "xorriso -as mkisofs -J -joliet-long --norock", true},
        {"Joliet, genisoimage", names, "genisoimage -J -joliet-long", true},
        {"primary only, lowercase and long level-3 names", primary,
         "genisoimage -iso-level 3 -allow-lowercase -max-iso9660-filenames -relaxed-filenames "
         "-allow-multidot",
         false},
        {"primary only, level 3, xorriso", primary,
         "xorriso -as mkisofs -iso-level 3 -untranslated-filenames", false},
        {"Shift-JIS primary names", sjis, "genisoimage", false, shiftJis},
        {"a primary file of two extents",
         bigOne,
         "genisoimage",
         false,
         [](std::string* image) { SplitInTwo(image, "BIG.DAT;1", 2 * kSector); },
         nullptr,
         {{"BIG.DAT", halves}}},
        {"a Joliet file of two extents",
         bigOne,
         "xorriso -as mkisofs -J --norock",
         true,
         [](std::string* image) { SplitInTwo(image, Utf16Be("BIG.DAT"), 2 * kSector); },
         nullptr,
         {{"BIG.DAT", halves}}},
        {"deep folders, primary", deep, "genisoimage -D", false},
        {"deep folders, Joliet", deep, "xorriso -as mkisofs -J --norock", true},
        {"hidden and empty files", hidden, "genisoimage -J -hidden secret.txt -hidden sub", true},
        {"a Rock Ridge link beside Joliet", linked, "xorriso -as mkisofs -J -R", true, nullptr,
         "link.txt"},
        {"a Rock Ridge link in the primary tree",
         linked,
         "xorriso -as mkisofs -R",
         false,
         nullptr,
         "link.txt",
         {{"LINK.TXT", ""}}},
        {"A5 bytes in the root's date", names, "xorriso -as mkisofs -J --norock", true,
         DamageRootDates},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        const fs::path folder = dir_.File("src");
        fs::remove_all(folder);
        for (const auto& [name, content] : c.files) {
            const fs::path path = folder / fs::u8path(name);
            fs::create_directories(path.parent_path());
            dir_.Write(path.string().substr(dir_.path().size() + 1), content);
        }
        if (c.link != nullptr) {
            fs::create_symlink(fs::u8path(c.files.begin()->first), folder / c.link);
        }
        const std::string image = dir_.File("disc.iso");
        ASSERT_TRUE(RunImageTool(c.tool + " -input-charset UTF-8 -quiet -o '" + image + "' '" +
                                 folder.string() + "'"))
            << "tools/scripts/setup.sh installs xorriso and genisoimage";
        if (c.edit) {
            std::string bytes = ReadAll(image);
            c.edit(&bytes);
            dir_.Write("disc.iso", bytes);
        }
        DiscDigests digests;
        const Sizes ours = OurSizes(image, c.joliet, &digests);
        EXPECT_EQ(ours, IsoinfoSizes(image, c.joliet));
        EXPECT_FALSE(ours.empty());
        for (const auto& [name, content] : c.contents) {
            EXPECT_EQ(digests[name],
                      std::make_pair(std::uint64_t{content.size()}, TableCrc(content)))
                << name;
        }
    }
}

// The plain sectors of a MODE1/2352 track.
std::string PlainOfMode1(const std::string& raw) {
    std::string plain;
    for (std::size_t at = 0; at + 2352 <= raw.size(); at += 2352) {
        plain += raw.substr(at + 16, kSector);
    }
    return plain;
}

TEST_F(IsoReader, ListsOtherProjectsTestImagesAsIsoinfo) {
    const struct {
        const char* image;  // under tests/data/images
        bool joliet;
        const char* refusal = nullptr;                   // what the message of a damaged image says
        std::map<std::string, std::uint32_t> crcs = {};  // some files' CRCs, found otherwise
    } kCases[] = {
        {"libarchive/test_read_format_iso.iso", false},
        {"libarchive/test_read_format_iso_3.iso", false},
        {"libarchive/test_read_format_iso_joliet.iso", true},
        {"libarchive/test_read_format_iso_joliet_utf16be_overflow.iso", true},
        // The file that libcdio made the image of is test/data/multi_extent_file.
        {"libcdio/multi_extent_8k_joliet.iso", true, nullptr, {{"multi_extent_file", 0x8F0BAAE8}}},
        {"libcdio/bad-dir.iso", false},
        // isoinfo -x of the track's plain sectors.
        {"libcdio/isofs-m1.cue", false, nullptr, {{"COPYING", 0x7E9742CE}}},
        {"libcdio/malformed.iso", false, "its logical block size is 12336 bytes"},
        {"libcdio/malformed2.iso", false, "a directory record of the root folder does not fit"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.image);
        const std::string image = kImages + c.image;
        if (c.refusal != nullptr) {
            std::unique_ptr<crclist::DiscReader> reader;
            std::string error;
            EXPECT_FALSE(crclist::OpenDisc(image, &reader, &error));
            EXPECT_NE(error.find(image + " is damaged: " + c.refusal), std::string::npos) << error;
            continue;
        }
        std::string plain = image;
        if (fs::path(image).extension() == ".cue") {
            plain =
                dir_.Write("plain.iso", PlainOfMode1(ReadAll(kImages + "libcdio/isofs-m1.bin")));
        }
        DiscDigests digests;
        EXPECT_EQ(OurSizes(image, c.joliet, &digests), IsoinfoSizes(plain, c.joliet));
        for (const auto& [name, crc] : c.crcs) {
            EXPECT_EQ(digests[name].second, crc) << name;
        }
    }
}

}  // namespace
