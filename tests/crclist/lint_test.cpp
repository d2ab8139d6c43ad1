// crclist lint, table-driven: a file for each finding -> every finding as "LINE:COLUMN
// severity code". Narrow literals are Shift-JIS, as a check list is; u8 literals are UTF-8.
#include "tools/crclist/list/lint.h"

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "inf/check_list.h"
#include "tests/unit/temp_file.h"

namespace {

using crclist::Diagnostic;
using crclist::LintReport;
using crclist::Severity;

struct LintCase {
    const char* what;
    std::string file;
    std::vector<std::string> findings;
};

std::string Repeat(const std::string& part, int count) {
    std::string all;
    for (int i = 0; i < count; ++i) {
        all += part;
    }
    return all;
}

// A list that the program reads in full and lint passes, to build the cases on.
const std::string kTitle = "[TITLE]\r\n'テスト タイトル'\r\n[GAME]\r\nSoftware\\Maker\\表示\r\n";
const std::string kDisc =
    "[DRIVEINFO]\r\n'ディスク1'\r\n[CDFILES]\r\nDATA\\表示.DAT, 10, 0000BEEF\r\n";
// The start of a list whose [REG] entries begin on line 6.
const std::string kReg = "[TITLE]\nT\n[GAME]\nK\n[REG]\n";
// The start of a list whose disc entries begin on line 7.
const std::string kDiscEntries = kTitle + "[DRIVEINFO]\n[CDFILES]\n";

const LintCase kCases[] = {
    {"clean", kTitle + kDisc + "[REG]\r\nMain, 1, 0x1a2b3c4d\r\n", {}},
    // Errors.
    {"invalid byte", kTitle + "[MESSAGE]\n@\n", {"6:1 error invalid-byte"}},
    {"unclosed quote", kTitle + "[MESSAGE]\n'open\n", {"6:1 error invalid-byte"}},
    {"header not closed", "[TITLE 'x'\n", {"1:8 error syntax"}},
    {"name with a space", kDiscEntries + "SET UP.EXE, 1, 2\n", {"7:5 error syntax"}},
    {"no comma after size", kReg + "A, 1 2, 3\n", {"6:6 error syntax"}},
    {"crc without a number", kReg + "A, 1, XYZ\n", {"6:7 error syntax"}},
    {"word before the first section", "TITLE\n", {"1:1 error syntax"}},
    {"reserved section", kTitle + "[GAMEDATA]\n", {"5:2 error syntax"}},
    {"lower-case keyword", "[title]\nx\n", {"1:2 error syntax"}},
    {"empty file", "", {"1:1 error syntax"}},
    {"end mark", kTitle + "\xFF[MESSAGE]\nx\n", {"5:1 error end-mark"}},
    // Read in full, as an empty list.
    {"UTF-16", std::string("\xFF\xFE[\0T\0", 6), {"1:1 error end-mark", "1:1 warning no-title"}},
    {"end mark at the very end", kTitle + "\xFF\n", {}},
    {"utf8 bom", "\xEF\xBB\xBF" + kTitle, {"1:1 error utf8-bom"}},
    {"pass limit", Repeat("[TITLE]\n", 1001), {"1002:1 error pass-limit"}},
    {"pass limit of brackets", Repeat("[", 1001) + "\n", {"2:1 error pass-limit"}},
    {"no prompt", kTitle + "[CDFILES]\nA, 1, 2\n", {"5:1 error no-prompt"}},
    {"too few prompts",
     kTitle + kDisc + "[CDFILES]\nA, 1, 2\n[CDFILES]\nB, 1, 2\n",
     {"9:1 error too-few-prompts"}},
    {"size with a unit", kReg + "A, 2048KB, 0\n", {"6:4 error size-form"}},
    {"size out of range", kReg + "A, 2147483648, 0\n", {"6:4 error size-form"}},
    {"negative size", kReg + "A, '-5', 0\n", {"6:4 error size-form"}},
    {"size in quotes and leading zeros", kReg + "A, '0012', 0\nB, 2147483647, 0\n", {}},
    {"punctuation as size", kReg + "A, ;, 0\n", {"6:4 error size-form"}},
    {"crc of nine digits", kReg + "A, 1, 123456789\n", {"6:7 error crc-form"}},
    {"crc with a tail", kReg + "A, 1, 12G4\n", {"6:7 error crc-form"}},
    {"bare 0x", kReg + "A, 1, 0x\n", {"6:7 error crc-form"}},
    {"crc forms", kReg + "A, 1, 0XbeEF\nB, 1, '0'\n", {}},
    {"cut word", kTitle + "[MESSAGE]\nlast", {"6:1 error cut-word"}},
    {"cut word before an end mark",
     kTitle + "[MESSAGE]\nlast\xFF x\n",
     {"6:1 error cut-word", "6:5 error end-mark"}},
    {"disc names",
     kDiscEntries + "'\\A', 1, 0\n'a/b', 1, 0\n'C:x', 1, 0\n'..\\x', 1, 0\n'', 1, 0\n"
                    "A\\..B\\C, 1, 0\n表\\x, 1, 0\n",
     {"7:1 error name-form", "8:1 error name-form", "9:1 error name-form", "10:1 error name-form",
      "11:1 error name-form"}},
    {"names that Windows cannot hold",
     kDiscEntries + "'Q?', 1, 0\nCON, 1, 0\n'DATA\\nul.txt', 1, 0\n'A.', 1, 0\n'B\nC', 1, 0\n"
                    "CONSOLE, 1, 0\n",
     {"7:1 error name-form", "8:1 error name-form", "9:1 error name-form", "10:1 error name-form",
      "11:1 error name-form"}},
    // Warnings.
    {"punctuation as a value", kTitle + "[MESSAGE]\nA - B\n", {"6:3 warning punctuation-value"}},
    {"punctuation as a name", kReg + "+=, 1, 0\n", {"6:1 warning punctuation-value"}},
    {"title replaced",
     "[TITLE]\nMy Game\n[GAME]\nA\n[GAME]\nB\n",
     {"2:4 warning replaced", "6:1 warning replaced"}},
    {"unused prompt", kTitle + kDisc + "[DRIVEINFO]\nx\n", {"9:1 warning unused-prompt"}},
    {"empty disc", kTitle + kDisc + "[DRIVEINFO]\n[CDFILES]\n", {"10:1 warning empty-disc"}},
    {"no title", "[GAME]\nK\n", {"1:1 warning no-title"}},
    {"empty title", "[TITLE]\n''\n", {"2:1 warning no-title"}},
    {"long title", "[TITLE]\n" + Repeat("表", 113) + "\n", {"2:1 warning title-length"}},
    {"title of 225 bytes", "[TITLE]\n" + Repeat("表", 112) + "x\n", {}},
    {"reg without game", "[TITLE]\nT\n[REG]\nMain, 1, 2\n", {"3:1 warning reg-without-game"}},
    {"duplicate names",
     kTitle + kDisc + "data\\表示.dat., 1, 2\n[REG]\nMain, 1, 2\nMAIN, 1, 2\n",
     {"9:1 error name-form", "9:1 warning duplicate-name", "12:1 warning duplicate-name"}},
    {"same name on two discs",
     kTitle + kDisc + "[DRIVEINFO]\n[CDFILES]\nDATA\\表示.DAT, 1, 2\n",
     {}},
    {"not shift-jis",
     kTitle + "[MESSAGE]\n'\x80x' '\xEF\xBF'\n",
     {"6:1 warning not-sjis", "6:6 warning not-sjis"}},
    {"saved as UTF-8", u8"[TITLE]\n'あい'\n[GAME]\nK\n", {"2:2 warning not-sjis"}},
    // The second byte of ト takes the closing quote.
    {"UTF-8 breaks a quote",
     u8"[TITLE]\n'テスト'\n",
     {"2:1 error invalid-byte", "2:2 warning not-sjis"}},
    {"long path", kDiscEntries + Repeat("a\\", 128) + "b, 1, 0\n", {"7:1 warning long-path"}},
    {"path of 259 bytes", kDiscEntries + Repeat("a\\", 128) + ", 1, 0\n", {}},
};

std::string Describe(const crclist::ListReading& reading, const Diagnostic& diagnostic) {
    // FormatDiagnostic gives "FILE:LINE:COLUMN: severity: ..."; the table keeps the place,
    // the severity and the code.
    const std::string line = crclist::FormatDiagnostic("F", reading, diagnostic);
    const std::size_t place = line.find(':') + 1;
    const std::size_t severity = line.find(": ", place);
    return line.substr(place, severity - place) + " " +
           (diagnostic.severity == Severity::kError ? "error" : "warning") + " " + diagnostic.code;
}

TEST(Lint, FindsWhatTheProgramMakesOfEachFile) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    for (const LintCase& c : kCases) {
        const std::string path = dir.Write("case.INF", c.file);
        LintReport report;
        std::string problem;
        ASSERT_TRUE(crclist::LintFile(path, &report, &problem)) << c.what;
        std::vector<std::string> found;
        for (const Diagnostic& diagnostic : report.diagnostics) {
            found.push_back(Describe(report.reading, diagnostic));
        }
        EXPECT_EQ(found, c.findings) << c.what;
    }
}

// What the program does with a name that Windows cannot hold, in the finding's words.
TEST(Lint, SaysWhatTheProgramDoesWithANameWindowsCannotHold) {
    TempDir dir;
    LintReport report;
    std::string problem;
    ASSERT_TRUE(crclist::LintFile(dir.Write("a.INF", kDiscEntries + "'Q?', 1, 0\nAUX.DAT, 1, 0\n"),
                                  &report, &problem));
    ASSERT_EQ(report.diagnostics.size(), 2u);
    EXPECT_EQ(report.diagnostics[0].text,
              "the disc file name 'Q?' holds '?', which Windows does not allow in a file name: "
              "the program cannot find the file and reports it missing");
    EXPECT_EQ(report.diagnostics[1].text,
              "the disc file name 'AUX.DAT' names the device AUX (before an extension, as "
              "Windows 10 and older read it), which Windows opens instead of a file: the "
              "program opens the device, not a file");
}

TEST(Lint, FormatsOneFindingALine) {
    TempDir dir;
    const std::string path = dir.Write("a.INF", "[TITLE]\n'T'\n[MESSAGE]\n'x\ny' -\n");
    LintReport report;
    std::string problem;
    ASSERT_TRUE(crclist::LintFile(path, &report, &problem));
    ASSERT_EQ(report.diagnostics.size(), 1u);
    EXPECT_EQ(crclist::FormatDiagnostic("a.INF", report.reading, report.diagnostics[0]),
              "a.INF:5:4: warning: '-' is taken as a value of [MESSAGE]: it has no text of its "
              "own and repeats the text before it, 'x\\x0Ay' (punctuation belongs inside quotes) "
              "[punctuation-value]");
    EXPECT_FALSE(crclist::LintFile(dir.File("missing.INF"), &report, &problem));
    EXPECT_EQ(problem,
              "cannot read the list " + dir.File("missing.INF") + ": there is no such file");
    EXPECT_FALSE(crclist::LintFile(dir.path(), &report, &problem));
    EXPECT_EQ(problem, "cannot read the list " + dir.path() + ": it is a folder, not a check list");
}

// A list larger than the program can hold is told by its size alone: its 2 GiB are not read.
TEST(Lint, TellsAListTooLargeByItsSize) {
    TempDir dir;
    const std::string path = dir.Write("huge.INF", "[TITLE]\n'T'\n");
    std::filesystem::resize_file(path, std::uintmax_t{1} << 31);
    LintReport report;
    std::string problem;
    ASSERT_TRUE(crclist::LintFile(path, &report, &problem)) << problem;
    EXPECT_TRUE(report.reading.bytes.empty());
    ASSERT_EQ(report.diagnostics.size(), 1u);
    EXPECT_EQ(crclist::FormatDiagnostic("huge.INF", report.reading, report.diagnostics[0]),
              "huge.INF:1:1: error: the file is over 2147483647 bytes: the program cannot read "
              "it and shows its load-failure message [syntax]");
}

// The property the fuzzer holds on a large scale, here on mutations of the cases above: lint
// never finds no error in a file that the program fails to load.
TEST(Lint, NeverPassesAFileThatDoesNotLoad) {
    TempDir dir;
    std::mt19937 random(20261208);
    for (int round = 0; round < 800; ++round) {
        std::string bytes = kCases[random() % (sizeof kCases / sizeof kCases[0])].file;
        for (auto edits = 1 + random() % 4; edits > 0 && !bytes.empty(); --edits) {
            const std::size_t at = random() % bytes.size();
            const char byte = "[],'\" \nAx\xFF\x81\\0-"[random() % 15];
            if (random() % 2) {
                bytes[at] = byte;
            } else {
                bytes.insert(bytes.begin() + static_cast<long>(at), byte);
            }
        }
        const std::string path = dir.Write("mutant.INF", bytes);
        LintReport report;
        std::string problem;
        ASSERT_TRUE(crclist::LintFile(path, &report, &problem));
        CheckList list;
        const bool loaded = list.LoadInfFile(path.c_str());
        EXPECT_EQ(report.reading.loaded, loaded);
        EXPECT_TRUE(loaded || report.errors > 0) << bytes;
    }
}

}  // namespace
