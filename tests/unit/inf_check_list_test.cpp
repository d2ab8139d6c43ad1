// Loading the information file into a check list: file bytes -> loaded flag, the check
// list afterwards and the messages shown on the way.
#include <cstdio>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "inf/check_list.h"
#include "inf_test_files.h"
#include "platform/files_testing.h"
#include "platform/ui_recorded.h"

namespace {

// A readable dump of a check list, so that a difference shows where it lies.
std::string Describe(const CheckList& list) {
    std::ostringstream out;
    auto entry = [&out](const FileEntry& e) {
        out << " {" << e.name << "," << e.size << "," << std::hex << e.crc << std::dec << "}";
    };
    out << "title=" << list.title << "\ngameKey=" << list.gameKey << "\ninstalled:";
    for (const FileEntry& e : list.installedFiles)
        entry(e);
    for (const DiscGroup& group : list.discGroups) {
        out << "\ndisc:";
        for (const FileEntry& e : group)
            entry(e);
    }
    for (const std::string& line : list.messageLines)
        out << "\nline=" << line;
    for (const std::string& prompt : list.drivePrompts)
        out << "\nprompt=" << prompt << "|";
    return out.str();
}

std::vector<std::string> ShownMessages() {
    std::vector<std::string> texts;
    for (const auto& message : platform::testing::Messages())
        texts.push_back(message.text);
    return texts;
}

struct LoadCase {
    const char* name;
    std::string file;
    bool loaded;
    CheckList list;
    std::vector<std::string> messages;
};

CheckList WithTitle(const std::string& title) {
    CheckList list;
    list.title = title;
    return list;
}

std::string Repeat(const std::string& part, int count) {
    std::string all;
    for (int i = 0; i < count; ++i)
        all += part;
    return all;
}

// Sections numbered 1..count, each with its number as the value.
std::string TitleSections(int count) {
    std::string all;
    for (int i = 1; i <= count; ++i)
        all += "[TITLE]\nT" + std::to_string(i) + "\n";
    return all;
}

const LoadCase kLoadCases[] = {
    {"WhitespaceOnly", " \r\n\t\n", true, {}, {}},
    {"EmptyFile", "", false, {}, {}},
    // TITLE and GAME: the last value wins, also across repeated sections.
    {"LastTitleWordWins", "[TITLE]\nMy Game\n", true, WithTitle("Game"), {}},
    {"QuotedTitleIsOneValue", "[TITLE]\n'My Game'\n", true, WithTitle("My Game"), {}},
    {"SecondTitleSectionWins", "[TITLE]\nA\n[ TITLE ]\nB\n[TITLE]\n", true, WithTitle("B"), {}},
    {"GameKeyKeptOverEmptySection",
     "[GAME]\n\"Software\\Maker\\Game\"\n[GAME]\n",
     true,
     {"", "Software\\Maker\\Game", {}, {}, {}, {}},
     {}},
    {"LastGameWordWins", "[GAME]\nA B\n", true, {"", "B", {}, {}, {}, {}}, {}},
    {"SecondGameSectionWins",
     "[GAME]\nA\n[ GAME ]\n'B C'\n",
     true,
     {"", "B C", {}, {}, {}, {}},
     {}},
    {"PunctuationValueRepeatsText", "[TITLE]\n,\n", true, WithTitle("TITLE"), {}},
    // A keyword inside a body is a value like any other word.
    {"KeywordsAreValues",
     "[TITLE]\nGAME\n[MESSAGE]\nREG GAMEDATA\n[DRIVEINFO]\nTITLE\n[GAME]\nMESSAGE\n",
     true,
     {"GAME", "MESSAGE", {}, {}, {"REG", "GAMEDATA"}, {"TITLE\n"}},
     {}},
    // The end mark ends the input wherever it stands.
    {"EndMarkFirstEndsLoad", "\xFF\n[TITLE]\nT\n", true, {}, {}},
    {"EndMarkEndsLoad", "[TITLE]\nA\n\xFF\n[TITLE]\nB\n", true, WithTitle("A"), {}},
    // Brackets at the top level.
    {"DoubleBracketOpensSection", "[[TITLE]\nT\n", true, WithTitle("T"), {}},
    {"LoneBracketAtEnd", "[TITLE]\nT\n[\n", true, WithTitle("T"), {}},
    // Entries.
    {"RegEntriesAccumulate",
     "[REG]\nA,1,2\n[TITLE] T [REG]\nB , 3 , 4 C,5,6\n",
     true,
     {"T", "", {{"A", 1, 2}, {"B", 3, 4}, {"C", 5, 6}}, {}, {}, {}},
     {}},
    {"EveryCdFilesSectionIsADisc",
     "[CDFILES]\nA,1,2\n[CDFILES]\n[CDFILES]\nREG,3,4\n",
     true,
     {"", "", {}, {{{"A", 1, 2}}, {}, {{"REG", 3, 4}}}, {}, {}},
     {}},
    {"SizeAndCrcTexts",
     "[REG]\nA,'12',0xbeef\nB,abc,BEEF\nC,2048KB,beef\nD,'-5',0000BEEF\n"
     "E,99999999999,123456789\nF,0,12G4\n",
     true,
     {"",
      "",
      {{"A", 12, 0xBEEF},
       {"B", 0, 0xBEEF},
       {"C", 2048, 0xBEEF},
       {"D", -5, 0xBEEF},
       {"E", INT32_MAX, 0x23456789},
       {"F", 0, 0x12}},
      {},
      {},
      {}},
     {}},
    // Size and crc take a token of any kind, brackets included; a name any but '['.
    {"BracketsInsideEntriesAreTaken",
     "[REG]\nA,[,1\nB,2,[\nC,3,4\n",
     true,
     {"", "", {{"A", 0, 1}, {"B", 2, 2}, {"C", 3, 4}}, {}, {}, {}},
     {}},
    {"PunctuationNameRepeatsText",
     "[CDFILES]\n;,1,2\n'MY FILE.DAT',3,4\n",
     true,
     {"", "", {}, {{{"CDFILES", 1, 2}, {"MY FILE.DAT", 3, 4}}}, {}, {}},
     {}},
    {"NumbersFromPunctuationRepeatText",
     "[REG]\n7,,,1f\nAB,1,,\n",
     true,
     {"", "", {{"7", 7, 0x1F}, {"AB", 1, 1}}, {}, {}, {}},
     {}},
    // MESSAGE and DRIVEINFO take every token as a value.
    {"MessageLinesWithComma",
     "[MESSAGE]\nA , B\n[MESSAGE]\n[MESSAGE]\n'C D'",
     true,
     {"", "", {}, {}, {"A", "A", "B", "C D"}, {}},
     {}},
    {"DrivePromptLines",
     "[DRIVEINFO]\n'L1' 'L2'\n[DRIVEINFO]\n[DRIVEINFO]\n\"X\"",
     true,
     {"", "", {}, {}, {}, {"L1\nL2\n", "", "X\n"}},
     {}},
    {"MessagePunctuationRepeatsText",
     "[MESSAGE]\n; 'A' += ) B == ]\n",
     true,
     {"", "", {}, {}, {"MESSAGE", "A", "A", "A", "B", "B", "B"}, {}},
     {}},
    {"MessageInvalidBytesAreValues",
     "[MESSAGE]\nA $ , ? \"B\" ~\n",
     true,
     {"", "", {}, {}, {"A", "$", "$", "?", "B", "~"}, {}},
     {"$,2,は無効なトークン", "?,2,は無効なトークン", "~,2,は無効なトークン"}},
    {"DrivePromptPunctuationAndInvalidBytes",
     "[DRIVEINFO]\n, 'P' - @ ; ! 'Q\nR'\n",
     true,
     {"", "", {}, {}, {}, {"DRIVEINFO\nP\nP\n@\n@\n!\nQ\nR\n"}},
     {"@,2,は無効なトークン", "!,2,は無効なトークン"}},
    {"InvalidByteIsAValue",
     "[MESSAGE]\nA\n#\n",
     true,
     {"", "", {}, {}, {"A", "#"}, {}},
     {"#,3,は無効なトークン"}},
    {"InvalidByteIsAName",
     "[REG]\n\n@,1,2\n",
     true,
     {"", "", {{"@", 1, 2}}, {}, {}, {}},
     {"@,3,は無効なトークン"}},
    // Failures: what was stored before stays.
    {"LowerCaseKeyword", "[TITLE]\nT\n[title]\nU\n", false, WithTitle("T"), {}},
    {"ReservedKeyword", "[TITLE]\nT\n[GAMEDATA]\n[TITLE]\nU\n", false, WithTitle("T"), {}},
    {"WordBeforeFirstSection", "x\n[TITLE]\nT\n", false, {}, {}},
    {"InvalidByteBeforeFirstSection", "\n$\n[TITLE]\nT\n", false, {}, {"$,2,は無効なトークン"}},
    {"StrayClosingBracket", "[TITLE]\nT\n[]\n", false, WithTitle("T"), {}},
    {"MissingClosingBracket", "[TITLE\nT\n", false, {}, {}},
    {"MissingClosingBracketOfMessage",
     "[MESSAGE]\nA\n[MESSAGE\nB\n",
     false,
     {"", "", {}, {}, {"A"}, {}},
     {}},
    // Each header needs its ']': a body read without it would be taken.
    {"MissingClosingBracketOfGame", "[GAME]\nA\n[GAME\nB\n", false, {"", "A", {}, {}, {}, {}}, {}},
    {"MissingClosingBracketOfReg",
     "[REG]\nA,1,2\n[REG\nB,3,4\n",
     false,
     {"", "", {{"A", 1, 2}}, {}, {}, {}},
     {}},
    {"MissingClosingBracketOfCdFiles",
     "[CDFILES]\nA,1,2\n[CDFILES\nB,3,4\n",
     false,
     {"", "", {}, {{{"A", 1, 2}}}, {}, {}},
     {}},
    {"FailureKeepsEverythingBefore",
     "[TITLE]\nT\n[GAME]\nG\n[MESSAGE]\nM\n[DRIVEINFO]\nP\n[CDFILES]\nA,1,2\n[REG]\nR,1,2\n"
     "[CDFILES]\nB,1,2\nC 1\n[MESSAGE]\nN\n",
     false,
     {"T", "G", {{"R", 1, 2}}, {{{"A", 1, 2}}}, {"M"}, {"P\n"}},
     {}},
    // No token is read after a fault: the bad byte behind it gives no message.
    {"NothingReadAfterFault", "[CDFILES]\nA,1,XYZ\n#\n", false, {}, {}},
    {"RegKeepsEntriesBeforeMissingComma",
     "[REG]\nA,1,2\nB,3,4\nC,5 6\n",
     false,
     {"", "", {{"A", 1, 2}, {"B", 3, 4}}, {}, {}, {}},
     {}},
    {"CommaAfterCrc", "[REG]\nA,1,2,\n", false, {"", "", {{"A", 1, 2}}, {}, {}, {}}, {}},
    {"NameWithSpace", "[CDFILES]\nMY FILE.DAT,1,2\n", false, {}, {}},
    {"NameWithMinus", "[CDFILES]\nMY-FILE.DAT,1,2\n", false, {}, {}},
    {"CdFilesDropsGroupWithBadCrc",
     "[CDFILES]\nA,1,2\n[CDFILES]\nB,1,2\nC,1,XYZ\n[TITLE]\nT\n",
     false,
     {"", "", {}, {{{"A", 1, 2}}}, {}, {}},
     {}},
    // The end of input carries the text before it, so it can stand as a crc or a size.
    {"CrcTakenFromEnd", "[CDFILES]\nA,1,\n", true, {"", "", {}, {{{"A", 1, 1}}}, {}, {}}, {}},
    {"EntryCutShortByEnd", "[CDFILES]\nA,\n", false, {}, {}},
    {"DrivePromptOfFailedHeaderIsNotAdded",
     "[DRIVEINFO]\n'a'\n[DRIVEINFO\n'b'\n",
     false,
     {"", "", {}, {}, {}, {"a\n"}},
     {}},
    // The pass limit: TITLE sections and extra brackets use a pass each.
    {"ThousandTitleSections", TitleSections(1000), true, WithTitle("T1000"), {}},
    {"ThousandAndOneTitleSections", TitleSections(1001), false, WithTitle("T1001"), {}},
    {"ThousandPassesOfBrackets", Repeat("[", 1000) + "TITLE]\nT\n", true, WithTitle("T"), {}},
    {"ThousandAndOnePassesOfBrackets",
     Repeat("[", 1001) + "TITLE]\nT\n",
     false,
     WithTitle("T"),
     {}},
    {"TitlesAndBracketsShareThePassLimit",
     TitleSections(500) + Repeat("[", 501) + "TITLE]\nU\n",
     false,
     WithTitle("U"),
     {}},
    {"OtherSectionsUseNoPass",
     Repeat("[GAME]\nG\n[REG]\n[MESSAGE]\n[DRIVEINFO]\n[CDFILES]\n", 1001) + "[TITLE]\nT\n",
     true,
     {"T", "G", {}, std::vector<DiscGroup>(1001), {}, std::vector<std::string>(1001)},
     {}},
};

// Failures name the case rather than dumping its bytes.
void PrintTo(const LoadCase& c, std::ostream* out) {
    *out << c.name;
}

class LoadTableTest : public ::testing::TestWithParam<LoadCase> {
  protected:
    void SetUp() override { platform::testing::Reset(); }
    void TearDown() override { platform::testing::Reset(); }
};

TEST_P(LoadTableTest, FillsCheckListAsFarAsTheFileIsValid) {
    const LoadCase& c = GetParam();
    TempDir dir;
    const std::string file = dir.Write("file.INF", c.file);
    CheckList list;
    EXPECT_EQ(list.LoadInfFile(file.c_str()), c.loaded);
    EXPECT_EQ(Describe(list), Describe(c.list));
    EXPECT_EQ(ShownMessages(), c.messages);
}

INSTANTIATE_TEST_SUITE_P(Files, LoadTableTest, ::testing::ValuesIn(kLoadCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Every header, with each kind of token where its ']' belongs: the load fails and the body
// behind it, which would be valid after a ']', is not read.
TEST(LoadInfFileTest, NoOtherTokenClosesAHeader) {
    const std::pair<std::string, std::string> sections[] = {
        {"TITLE", "T"},       {"GAME", "G"},    {"REG", "A,1,2"},
        {"CDFILES", "A,1,2"}, {"MESSAGE", "M"}, {"DRIVEINFO", "P"},
    };
    TempDir dir;
    for (const auto& [keyword, body] : sections) {
        for (const char* standIn : {"X", "'X'", "\"X\"", "12", ")", ",", "TITLE"}) {
            std::string text = "[" + keyword;
            text += std::string(" ") + standIn + "\n";
            text += body + "\n";
            CheckList list;
            EXPECT_FALSE(list.LoadInfFile(dir.Write("file.INF", text).c_str())) << text;
            EXPECT_EQ(Describe(list), Describe(CheckList{})) << text;
        }
    }
}

TEST(LoadInfFileTest, ExampleFile) {
    platform::testing::Reset();
    CheckList list;
    ASSERT_TRUE(list.LoadInfFile(SUMWARDEN_TEST_DATA_DIR "/example.INF"));
    CheckList expected{
        "サンプルタイトル",
        "Software\\SampleMaker\\SampleTitle",
        {{"MainProgram", 1234567, 0x89ABCDEF}},
        {{{"SETUP.EXE", 1234567, 0x89ABCDEF}, {"DATA\\SCENE.DAT", 2048000, 0xBEEF}},
         {{"DATA\\VOICE.DAT", 4096, 0x1A2B3C4D}}},
        {"チェックする対象を選んでください。", "CD/DVD or installed files"},
        {"ディスク1をドライブに入れてください。\nドライブを選んでください。\n",
         "ディスク2をドライブに入れてください。\n"},
    };
    EXPECT_EQ(Describe(list), Describe(expected));
    EXPECT_TRUE(platform::testing::Messages().empty());
}

TEST(LoadInfFileTest, MissingOrEmptyFileLeavesListUntouched) {
    TempDir dir;
    const std::string empty = dir.Write("empty.INF", "");
    CheckList list;
    EXPECT_FALSE(list.LoadInfFile(dir.File("missing.INF").c_str()));
    EXPECT_FALSE(list.LoadInfFile(empty.c_str()));
    const std::string unreadable = dir.Write("unreadable.INF", "[TITLE]\nT\n");
    platform::testing::FailReadCall(1);
    EXPECT_FALSE(list.LoadInfFile(unreadable.c_str()));
    EXPECT_EQ(Describe(list), Describe(CheckList{}));
}

TEST(LoadInfFileTest, AddsToWhatTheListHolds) {
    TempDir dir;
    const std::string file = dir.Write("file.INF", "[REG]\nB,2,2\n[CDFILES]\n[MESSAGE]\nM\n");
    CheckList list{"T", "K", {{"A", 1, 1}}, {{}}, {"L"}, {"P\n"}};
    EXPECT_TRUE(list.LoadInfFile(file.c_str()));
    CheckList expected{"T", "K", {{"A", 1, 1}, {"B", 2, 2}}, {{}, {}}, {"L", "M"}, {"P\n"}};
    EXPECT_EQ(Describe(list), Describe(expected));
}

}  // namespace
