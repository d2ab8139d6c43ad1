// crclist make: how values are written, the order of a disc's files, what is refused, and the
// round trip through the program's reader as a property over random texts and names.
// Narrow literals are Shift-JIS; u8 literals are UTF-8, as command lines and file names are.
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/crclist/disc_image.h"
#include "tests/crclist/run_crclist.h"
#include "tests/unit/temp_file.h"
#include "tools/crclist/authoring/exclude_glob.h"
#include "tools/crclist/authoring/make_list.h"
#include "tools/crclist/list/compose_list.h"

namespace {

namespace fs = std::filesystem;
using crclist::FormatValue;

TEST(ListWriter, WritesAValueInTheFormTheLexerReadsBack) {
    const struct {
        std::string text;
        std::string value;  // empty: it cannot be written
    } kCases[] = {
        {"SETUP.EXE", "SETUP.EXE"},
        {"DATA\\SCENE.DAT", "DATA\\SCENE.DAT"},
        {"0x1F_a", "0x1F_a"},
        {"表示\\ソフト", "表示\\ソフト"},  // second bytes 0x5C stay inside the word
        {"ｶﾀｶﾅ", "'ｶﾀｶﾅ'"},
        {"My Game", "'My Game'"},
        {"a-b", "'a-b'"},
        {".hidden", "'.hidden'"},
        {"\\root", "'\\root'"},
        {"[x]", "'[x]'"},
        {"a,b", "'a,b'"},
        {"", "''"},
        {"TITLE", "'TITLE'"},  // a keyword spelling is quoted
        {"GAMEDATA", "'GAMEDATA'"},
        {"title", "title"},
        {"it's", "\"it's\""},
        {"say \"hi\"", "'say \"hi\"'"},
        {"both ' and \"", ""},
        {"line\r\nbreak", "'line\r\nbreak'"},
    };
    for (const auto& c : kCases) {
        std::string value;
        EXPECT_EQ(FormatValue(c.text, &value), !c.value.empty()) << c.text;
        if (!c.value.empty()) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(ListWriter, WritesSectionsInOrderWithCrLf) {
    crclist::ListContent content;
    content.title = "T";
    content.hasGame = true;
    content.gameKey = "K";
    content.messageLines = {"M"};
    content.prompts = {{"P1", "P2"}, {}};
    content.discs = {{{"A", 1, 0xBEEF}}, {}};
    content.installed = {{"R", 2147483647, 0xFFFFFFFF}};
    std::string bytes;
    std::string problem;
    ASSERT_TRUE(crclist::WriteList(content, &bytes, &problem));
    EXPECT_EQ(bytes,
              "[TITLE]\r\nT\r\n\r\n[GAME]\r\nK\r\n\r\n[MESSAGE]\r\nM\r\n\r\n[DRIVEINFO]\r\nP1\r\n"
              "P2\r\n\r\n[DRIVEINFO]\r\n\r\n[CDFILES]\r\nA, 1, 0000BEEF\r\n\r\n[CDFILES]\r\n\r\n"
              "[REG]\r\nR, 2147483647, FFFFFFFF\r\n");
}

TEST(MakeList, SplitsPromptsAtLineFeeds) {
    using Lines = std::vector<std::string>;
    const struct {
        std::string text;
        Lines lines;
    } kCases[] = {
        {"", {}},       {"a", {"a"}}, {"a\nb", {"a", "b"}},
        {"a\n", {"a"}}, {"\n", {""}}, {"a\n\nb\n", {"a", "", "b"}},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(crclist::PromptLines(c.text), c.lines) << c.text;
    }
}

TEST(MakeList, ExcludesByPattern) {
    using Path = std::vector<std::string>;
    const struct {
        std::string pattern;
        Path path;
        bool excluded;
    } kCases[] = {
        {"*.bak", {"DATA", "x.BAK"}, true},
        {"*.bak", {"x.bak2"}, false},
        {"CVS", {"a", "cvs", "Entries"}, true},
        {"DATA/*.tmp", {"DATA", "a.tmp"}, true},
        {"DATA/*.tmp", {"DATA", "sub", "a.tmp"}, false},
        {"DATA\\**\\*.tmp", {"DATA", "sub", "deep", "a.tmp"}, true},
        {"**/*.tmp", {"a.tmp"}, true},
        {"/setup.exe", {"SETUP.EXE"}, true},
        {"/setup.exe", {"x", "setup.exe"}, false},
        {u8"?.dat", {u8"表.dat"}, true},  // '?' is one character, not one byte
        {u8"ａ*", {u8"Ａｂ"}, true},      // full-width letters fold too
        {"a?c", {"ac"}, false},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(crclist::MatchesExclude(c.pattern, c.path), c.excluded) << c.pattern;
    }
}

// A disc folder with files of the given relative paths (UTF-8), each holding its own name.
void MakeFiles(const TempDir& dir, const std::string& disc, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        const fs::path full = fs::path(dir.File(disc)) / path;
        fs::create_directories(full.parent_path());
        std::ofstream(full, std::ios::binary) << path;
    }
}

crclist::MakeOptions Options(const TempDir& dir, const std::vector<std::string>& discs) {
    crclist::MakeOptions options;
    options.out = dir.File("crclist.INF");
    options.title = "T";
    for (const std::string& disc : discs) {
        options.discs.push_back(dir.File(disc));
        options.prompts.push_back("P");
    }
    return options;
}

// MakeContent on the discs of `options`, opened as the command opens them.
bool Make(const crclist::MakeOptions& options, crclist::ListContent* content,
          std::vector<std::string>* problems) {
    crclist::OpenedDiscs discs;
    std::string error;
    EXPECT_TRUE(discs.Open(options.discs, &error)) << error;
    return crclist::MakeContent(options, discs, content, problems);
}

TEST(MakeList, ListsFilesInShiftJisOrderFolderByFolder) {
    TempDir dir;
    MakeFiles(dir, "d",
              {"DATA2/Y", "DATA.BIN", u8"ｶﾅ", "a", "DATA/X.DAT", u8"表", "A.DAT", "B/C/D", u8"ア"});
    crclist::ListContent content;
    std::vector<std::string> problems;
    ASSERT_TRUE(Make(Options(dir, {"d"}), &content, &problems));
    std::vector<std::string> names;
    for (const FileEntry& entry : content.discs[0]) {
        names.push_back(entry.name);
    }
    // Shift-JIS bytes: ア 0x8341, 表 0x955C, ｶ 0xB6; 'a' after the capitals.
    EXPECT_EQ(names, (std::vector<std::string>{"A.DAT", "B\\C\\D", "DATA\\X.DAT", "DATA.BIN",
                                               "DATA2\\Y", "a", "ア", "表", "ｶﾅ"}));
}

TEST(MakeList, NamesWhatItCannotList) {
    const struct {
        const char* what;
        std::string title;
        std::string file;  // UTF-8, or raw bytes
        const char* culprit;
    } kCases[] = {
        {"no Shift-JIS form", u8"Price €5", "a", u8"'€'"},
        {"a name without Shift-JIS form", "T", u8"한.dat", u8"한.dat"},
        {"a decomposed name, as macOS writes it", "T", u8"か\u3099.dat",
         "holds a decomposed (NFD) character, as macOS writes names"},
        {"a name that is not UTF-8", "T", "bad\xFF.dat", "bad\\xFF.dat"},
        {"a backslash in a name", "T", "a\\b", "backslash"},
        {"a name that would read back as another", "T", u8"a¥b", u8"holds '¥'"},
        {"a name that ends in a dot", "T", "DATA./a", "DATA./a has a name that ends in"},
        {"a name that ends in a space", "T", "a ", "a  has a name that ends in"},
        {"a device name", "T", "DATA/nul.txt", "nul.txt names the device NUL"},
        {"a terminal's escape", "T", "A\x1B[31mRED", "A\\x1B[31mRED holds a control character"},
        {"a line feed", "T", "B\nC", "B\\x0AC holds a control character (0x0A)"},
    };
    for (const auto& c : kCases) {
        TempDir dir;
        MakeFiles(dir, "d", {c.file});
        crclist::MakeOptions options = Options(dir, {"d"});
        options.title = c.title;
        crclist::ListContent content;
        std::vector<std::string> problems;
        EXPECT_FALSE(Make(options, &content, &problems)) << c.what;
        ASSERT_EQ(problems.size(), 1u) << c.what;
        EXPECT_NE(problems[0].find(c.culprit), std::string::npos) << problems[0];
    }
}

// What is in a folder, for "nothing is left behind".
std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(MakeCommand, KeepsWhatExistsAndLeavesNothingBehind) {
    TempDir dir;
    MakeFiles(dir, "d", {"a.dat"});
    const std::string out = dir.File("d/crclist.INF");
    const std::vector<std::string> make = {"make",   "-o",          out,        "--title", "T",
                                           "--disc", dir.File("d"), "--prompt", "P"};
    dir.Write("d/crclist.INF", "old");
    EXPECT_EQ(RunCrclist(make), 1);
    EXPECT_EQ(ReadAll(out), "old");
    std::vector<std::string> forced = make;
    forced.push_back("--force");
    EXPECT_EQ(RunCrclist(forced), 0);
    // The list lies in the disc folder and does not list itself.
    EXPECT_EQ(ReadAll(out),
              "[TITLE]\r\nT\r\n\r\n[DRIVEINFO]\r\nP\r\n\r\n[CDFILES]\r\n"
              "a.dat, 5, 46CDFDD2\r\n");
    EXPECT_EQ(Entries(dir.File("d")), (std::set<std::string>{"a.dat", "crclist.INF"}));

    // A file too large for an entry: nothing is written, nothing is left.
    { std::ofstream big(dir.File("d/big.bin"), std::ios::binary); }
    fs::resize_file(dir.File("d/big.bin"), std::uintmax_t{1} << 31);
    fs::remove(out);
    EXPECT_EQ(RunCrclist(make), 1);
    EXPECT_EQ(Entries(dir.File("d")), (std::set<std::string>{"a.dat", "big.bin"}));
    fs::resize_file(dir.File("d/big.bin"), (std::uintmax_t{1} << 31) - 1);
    std::vector<std::string> excluding = make;
    excluding.insert(excluding.end(), {"--exclude", "BIG.*"});
    EXPECT_EQ(RunCrclist(excluding), 0);
    EXPECT_EQ(ReadAll(out).find("big"), std::string::npos);
}

// The lines of a list that hold an entry.
std::size_t EntryLines(const std::string& list) {
    std::size_t count = 0;
    for (std::size_t at = list.find(", "); at != std::string::npos; at = list.find(", ", at + 2)) {
        ++count;
    }
    return count / 2;
}

// An image gives the same list as the folder it was made of: the same names in the same
// order, the same numbers, whatever order the image keeps its files in. Each disc also holds
// a file larger than a read.
TEST(MakeCommand, ListsAnImageAsItsFolder) {
    using Paths = std::vector<std::string>;
    const struct {
        const char* what;
        Paths files;  // UTF-8, each holding its own name
        Paths links;  // FILE=TARGET: hard links, which an image keeps as shared data
        Paths more;   // further arguments
        std::size_t entries;
    } kCases[] = {
        {"the order of names and folders",
         {"DATA2/Y", "DATA.BIN", "a", "DATA/X.DAT", "A.DAT", "B/C/D", "Z/a/b/c/d/e/f/g/h/i"},
         {},
         {},
         8},
        {"Japanese names", {u8"ｶﾅ", u8"表/示.dat", u8"ア", u8"データ/背景 1.dat"}, {}, {}, 5},
        {"names that differ in case", {"Two/A.TXT", "Two/a.txt", "two/b"}, {}, {}, 4},
        {"shared data", {"first.dat"}, {"later.dat=first.dat", "DIR/link=first.dat"}, {}, 4},
        {"excluded files",
         {"keep.dat", "x.bak", "CVS/Entries"},
         {},
         {"--exclude", "*.bak", "--exclude", "cvs"},
         2},
        {"no other files", {}, {}, {}, 1},
    };
    for (const auto& c : kCases) {
        TempDir dir;
        MakeFiles(dir, "d", c.files);
        fs::create_directories(dir.File("d"));
        std::ofstream(dir.File("d/big.bin"), std::ios::binary) << std::string(600000, 'b');
        for (const std::string& link : c.links) {
            const std::size_t equals = link.find('=');
            const fs::path at = fs::path(dir.File("d")) / link.substr(0, equals);
            fs::create_directories(at.parent_path());
            fs::create_hard_link(fs::path(dir.File("d")) / link.substr(equals + 1), at);
        }
        ASSERT_TRUE(MakeDiscImage(dir.File("d"), dir.File("d.iso"))) << c.what;
        std::string lists[2];
        for (const int image : {0, 1}) {
            const std::string out = dir.File(image ? "image.INF" : "folder.INF");
            std::vector<std::string> args = {
                "make",     "-o", out, "--title", "T", "--disc", dir.File(image ? "d.iso" : "d"),
                "--prompt", "P"};
            args.insert(args.end(), c.more.begin(), c.more.end());
            EXPECT_EQ(RunCrclist(args), 0) << c.what << (image ? ": image" : ": folder");
            lists[image] = ReadAll(out);
        }
        EXPECT_EQ(lists[1], lists[0]) << c.what;
        EXPECT_EQ(EntryLines(lists[0]), c.entries) << c.what << "\n" << lists[0];
    }
}

TEST(MakeCommand, RefusesWrongArguments) {
    TempDir dir;
    MakeFiles(dir, "d", {"a.dat"});
    const std::string out = dir.File("x.INF");
    const std::vector<std::vector<std::string>> kCases = {
        {"make", "-o", out, "--title", "T", "--disc", dir.File("d")},
        {"make", "-o", out, "--title", "T", "--prompt", "P"},
        {"make", "-o", out, "--title", "T", "--installed", "NoEquals"},
        {"make", "-o", out},
        {"make", "--title", "T"},
        {"make", "-o", out, "--title", "T", "--disc", dir.File("none"), "--prompt", "P"},
        {"make", "-o", out, "--title", "T", "--disc", dir.File("d/a.dat"), "--prompt", "P"},
    };
    for (const auto& args : kCases) {
        EXPECT_EQ(RunCrclist(args), 2) << args.back();
        EXPECT_FALSE(fs::exists(out));
    }
}

// A list that passes whatever the discs hold is written, but not in silence.
TEST(MakeCommand, WarnsOfADiscTwiceAndADiscWithoutFiles) {
    TempDir dir;
    MakeFiles(dir, "d", {"a.dat"});
    fs::create_directories(dir.File("empty"));
    testing::internal::CaptureStderr();
    const int code = RunCrclist({"make", "-o", dir.File("x.INF"), "--title", "T", "--disc",
                                 dir.File("d"), "--prompt", "P", "--disc", dir.File("d") + "/.",
                                 "--prompt", "P", "--disc", dir.File("empty"), "--prompt", "P"});
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 0);
    EXPECT_NE(told.find("warning: disc 2 (" + dir.File("d") + "/.) is the place of disc 1 too"),
              std::string::npos)
        << told;
    EXPECT_NE(told.find("[CDFILES] section 3 has no entries"), std::string::npos) << told;
}

TEST(MakeCommand, WritesToStandardOutput) {
    TempDir dir;
    dir.Write("main.bin", "main");
    testing::internal::CaptureStdout();
    const int code = RunCrclist({"make", "-o", "-", "--title", u8"題名", "--game", "Software\\X",
                                 "--installed", u8"本体=" + dir.File("main.bin")});
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out,
              "[TITLE]\r\n題名\r\n\r\n[GAME]\r\nSoftware\\X\r\n\r\n[REG]\r\n本体, 4, "
              "BF28CD64\r\n");
}

}  // namespace
