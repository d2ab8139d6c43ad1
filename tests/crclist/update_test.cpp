// crclist update: lists before and after, byte for byte. Every byte but a changed number
// stays as it was; a failed update writes nothing. Narrow literals are Shift-JIS.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/crclist/disc_image.h"
#include "tests/crclist/run_crclist.h"
#include "tests/unit/temp_file.h"

namespace {

namespace fs = std::filesystem;

// The files that the lists describe: hello (5 bytes, CRC 3610A686), abc (3, 352441C2) and
// main (4, BF28CD64).
void MakeFiles(const TempDir& dir) {
    fs::create_directories(dir.File(u8"d1/データ"));
    fs::create_directories(dir.File("d2"));
    dir.Write("d1/SETUP.EXE", "hello");
    dir.Write(u8"d1/データ/A.DAT", "abc");
    dir.Write("d2/B.DAT", "abc");
    dir.Write("main.bin", "main");
}

struct UpdateCase {
    const char* what;
    std::string list;
    // After FILE; "@" stands for the test's folder, and "#/d1" for the disc d1: its folder,
    // or an image of it.
    std::vector<std::string> args;
    int exit;
    std::string after;   // the list afterwards; empty: as it was
    std::string output;  // what update prints
};

const std::string kHead = "[TITLE]\r\n'T'\r\n[DRIVEINFO]\r\n'P'\r\n";

const UpdateCase kCases[] = {
    {"matching numbers in odd forms",
     kHead + "[CDFILES]\nSETUP.EXE,'5',0x3610a686\n\tデータ\\A.DAT ,\t00003, '352441C2'\n",
     {"--disc", "#/d1"},
     0,
     "",
     ""},
    {"a changed size and a changed crc",
     kHead + "[CDFILES]\r\nsetup.exe , 4 , 0X3610A686\t\r\nデータ\\a.dat,3,beef\r\n",
     {"--disc", "#/d1"},
     0,
     kHead + "[CDFILES]\r\nsetup.exe , 5 , 0X3610A686\t\r\nデータ\\a.dat,3,352441C2\r\n",
     "F:6:1: setup.exe: size 4 -> 5\nF:7:1: " + std::string(u8"データ\\a.dat") +
         ": crc 0000BEEF -> 352441C2\n"},
    {"quoted numbers become words, kept apart from what follows",
     kHead + "[CDFILES]\nSETUP.EXE,'4','1'データ\\A.DAT,3,352441C2\n",
     {"--disc", "#/d1"},
     0,
     kHead + "[CDFILES]\nSETUP.EXE,5,3610A686 データ\\A.DAT,3,352441C2\n",
     "F:6:1: SETUP.EXE: size 4 -> 5, crc 00000001 -> 3610A686\n"},
    {"one folder for each disc",
     kHead + "[CDFILES]\nSETUP.EXE,5,3610A686\n[DRIVEINFO]\n[CDFILES]\nB.DAT,3,0\n",
     {"--disc", "#/d1", "--disc", "#/d2"},
     0,
     kHead + "[CDFILES]\nSETUP.EXE,5,3610A686\n[DRIVEINFO]\n[CDFILES]\nB.DAT,3,352441C2\n",
     "F:9:1: B.DAT: crc 00000000 -> 352441C2\n"},
    {"installed files by value name, without case",
     "[TITLE]\nT\n[GAME]\nK\n[REG]\nMain, 4, 0\nOther, 1, 2\n",
     {"--installed", "MAIN=@/main.bin"},
     0,
     "[TITLE]\nT\n[GAME]\nK\n[REG]\nMain, 4, BF28CD64\nOther, 1, 2\n",
     "F:6:1: Main: crc 00000000 -> BF28CD64\n"},
    // A value name with no Shift-JIS form is compared by its bytes, as lint compares them: a
    // list saved in UTF-8 still matches the name given in UTF-8.
    {"a value name that is not Shift-JIS",
     "[TITLE]\nT\n[GAME]\nK\n[REG]\n'" + std::string(u8"é") + "', 4, 0\n",
     {"--installed", std::string(u8"é") + "=@/main.bin"},
     0,
     "[TITLE]\nT\n[GAME]\nK\n[REG]\n'" + std::string(u8"é") + "', 4, BF28CD64\n",
     "F:6:1: " + std::string(u8"ﾃｩ") + ": crc 00000000 -> BF28CD64\n"},
    {"no place to look for the files", kHead + "[CDFILES]\nGONE,1,1\n", {}, 2, "", ""},
    // Failures write nothing.
    {"a missing file",
     kHead + "[CDFILES]\nSETUP.EXE,1,1\nGONE.DAT,1,1\n",
     {"--disc", "#/d1"},
     1,
     "",
     ""},
    {"an installed name without entry",
     "[REG]\nMain,1,1\n",
     {"--installed", "Nothing=@/main.bin"},
     1,
     "",
     ""},
    {"a list that does not load",
     kHead + "[CDFILES]\nSET UP.EXE,1,1\n",
     {"--disc", "#/d1"},
     1,
     "",
     ""},
    {"a number cut off by the end of the file",
     kHead + "[CDFILES]\nSETUP.EXE,5,1",
     {"--disc", "#/d1"},
     1,
     "",
     ""},
    {"folders for some discs only",
     kHead + "[CDFILES]\n[CDFILES]\n[CDFILES]\n",
     {"--disc", "#/d1", "--disc", "#/d2"},
     2,
     "",
     ""},
    {"--installed without a path", "[REG]\nMain,1,1\n", {"--installed", "Main"}, 2, "", ""},
    {"a disc that is not there",
     kHead + "[CDFILES]\nSETUP.EXE,1,1\n",
     {"--disc", "#/d3"},
     2,
     "",
     ""},
};

std::string Replaced(std::string text, const std::string& folder) {
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at)) {
        text.replace(at, 1, folder);
        at += folder.size();
    }
    return text;
}

// Runs `c` with its discs in `discs` ("#/d1" becomes DISCS/d1 + `suffix`), or without
// `discs` in the folders beside the list.
void RunCase(const UpdateCase& c, const std::string& discs, const std::string& suffix) {
    TempDir dir;
    MakeFiles(dir);
    const std::string file = dir.Write("F", c.list);
    const auto before = fs::last_write_time(file);
    std::vector<std::string> args = {"update", "F"};
    for (const std::string& arg : c.args) {
        const std::string& place = discs.empty() ? dir.path() : discs;
        if (arg[0] != '#') {
            args.push_back(Replaced(arg, dir.path()));
            continue;
        }
        std::string where = place;
        where += arg.substr(1);
        where += suffix;
        args.push_back(where);
    }
    const fs::path here = fs::current_path();
    fs::current_path(dir.path());  // so that the lines name the list "F"
    testing::internal::CaptureStdout();
    const int exit = RunCrclist(args);
    const std::string output = testing::internal::GetCapturedStdout();
    fs::current_path(here);
    EXPECT_EQ(exit, c.exit) << c.what;
    EXPECT_EQ(ReadAll(file), c.after.empty() ? c.list : c.after) << c.what;
    EXPECT_EQ(output, c.output) << c.what;
    if (c.after.empty()) {
        EXPECT_EQ(fs::last_write_time(file), before) << c.what;
    }
    // Nothing but the list and the files it describes.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 4)
        << c.what;
}

TEST(UpdateCommand, ChangesOnlyTheNumbersThatDiffer) {
    for (const UpdateCase& c : kCases) {
        RunCase(c, "", "");
    }
}

// An image of the disc folders gives the same numbers, and so the same bytes.
TEST(UpdateCommand, ReadsTheDiscsFromImages) {
    TempDir images;
    MakeFiles(images);
    ASSERT_TRUE(MakeDiscImage(images.File("d1"), images.File("d1.iso")));
    ASSERT_TRUE(MakeDiscImage(images.File("d2"), images.File("d2.iso")));
    for (const UpdateCase& c : kCases) {
        if (std::find(c.args.begin(), c.args.end(), "--disc") != c.args.end()) {
            RunCase(c, images.path(), ".iso");
        }
    }
}

TEST(UpdateCommand, WritesElsewhereWithOutput) {
    TempDir dir;
    MakeFiles(dir);
    const std::string list = "[REG]\nMain, 4, 0xbf28cd64\n";
    const std::string file = dir.Write("crclist.INF", list);
    const std::string out = dir.File("copy.INF");
    const std::vector<std::string> update = {
        "update", file, "--installed", "Main=" + dir.File("main.bin"), "-o", out};
    EXPECT_EQ(RunCrclist(update), 0);
    EXPECT_EQ(ReadAll(file), list);
    EXPECT_EQ(ReadAll(out), list);  // nothing changed, but a copy was asked for
    // An existing OUT is kept, as make keeps it, unless --force is given.
    dir.Write("copy.INF", "keep");
    EXPECT_EQ(RunCrclist(update), 1);
    EXPECT_EQ(ReadAll(out), "keep");
    std::vector<std::string> forced = update;
    forced.push_back("--force");
    EXPECT_EQ(RunCrclist(forced), 0);
    EXPECT_EQ(ReadAll(out), list);
}

// A list given through a link is updated where the link leads, and the link stays.
TEST(UpdateCommand, UpdatesTheFileThatALinkLeadsTo) {
    TempDir dir;
    MakeFiles(dir);
    const std::string file = dir.Write("crclist.INF", "[REG]\nMain, 4, 0\nOther, 1, 2\n");
    fs::create_symlink("crclist.INF", dir.File("link.INF"));
    dir.Write("main.bin", "MAIN");
    testing::internal::CaptureStderr();
    EXPECT_EQ(
        RunCrclist({"update", dir.File("link.INF"), "--installed", "main=" + dir.File("main.bin")}),
        0);
    // The entry that no --installed names is counted, not passed over in silence.
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "crclist update: 1 [REG] entry is not updated: give --installed NAME=PATH for "
              "each\n");
    EXPECT_TRUE(fs::is_symlink(dir.File("link.INF")));
    EXPECT_EQ(ReadAll(file), "[REG]\nMain, 4, 89BD20D0\nOther, 1, 2\n");
}

// With -o -, standard output carries the list alone, for a pipe; the changes go to stderr.
TEST(UpdateCommand, KeepsStandardOutputForTheList) {
    TempDir dir;
    MakeFiles(dir);
    const std::string list = "[REG]\nMain, 4, 0\n";
    const std::string file = dir.Write("crclist.INF", list);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int code =
        RunCrclist({"update", file, "--installed", "Main=" + dir.File("main.bin"), "-o", "-"});
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out, "[REG]\nMain, 4, BF28CD64\n");
    EXPECT_EQ(told, file + ":2:1: Main: crc 00000000 -> BF28CD64\n");
    EXPECT_EQ(ReadAll(file), list);
}

}  // namespace
