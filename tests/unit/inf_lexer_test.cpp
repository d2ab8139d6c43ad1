// The lexer, table-driven: input bytes -> the tokens that Next returns, with their texts,
// and the invalid-token messages shown on the way.
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "inf/inf_lexer.h"
#include "inf_test_files.h"
#include "platform/ui_recorded.h"

namespace {

using Tokens = std::vector<std::pair<int, std::string>>;

struct LexCase {
    const char* name;
    std::string input;
    Tokens tokens;  // every Next up to the last end of input
    std::vector<std::string> messages;
};

std::string Bytes(const char* data, std::size_t size) {
    return std::string(data, size);
}

const LexCase kLexCases[] = {
    // Keywords match exactly and case-sensitively; every word sets the text.
    {"Header", "[TITLE]\n", {{20, ""}, {4, "TITLE"}, {21, "TITLE"}, {0, "TITLE"}}, {}},
    {"HeaderInOtherCase", "[Title]\n", {{20, ""}, {2, "Title"}, {21, "Title"}, {0, "Title"}}, {}},
    {"EveryKeyword",
     "DRIVEINFO TITLE GAME REG CDFILES GAMEDATA MESSAGE\n",
     {{3, "DRIVEINFO"},
      {4, "TITLE"},
      {5, "GAME"},
      {6, "REG"},
      {7, "CDFILES"},
      {8, "GAMEDATA"},
      {9, "MESSAGE"},
      {0, "MESSAGE"}},
     {}},
    {"NearKeywordsAreWords",
     "title GAMEDATAX REG.DAT _GAME MESSAGE1\n",
     {{2, "title"},
      {2, "GAMEDATAX"},
      {2, "REG.DAT"},
      {2, "_GAME"},
      {2, "MESSAGE1"},
      {0, "MESSAGE1"}},
     {}},
    // Punctuation keeps the text of the last token that set one.
    {"CommaKeepsText", "A,B\n", {{2, "A"}, {25, "A"}, {2, "B"}, {0, "B"}}, {}},
    {"QuotedEmptyStringSetsText", "A '' ,\n", {{2, "A"}, {26, ""}, {25, ""}, {0, ""}}, {}},
    // Operators and the one-byte look-ahead.
    {"Operators",
     "+= + = =<= != == -= * / % ( ) { } ; < > <= >= ==\n",
     {{22, ""}, {10, ""}, {15, ""}, {15, ""}, {31, ""}, {29, ""}, {28, ""}, {23, ""},
      {12, ""}, {13, ""}, {14, ""}, {16, ""}, {17, ""}, {18, ""}, {19, ""}, {24, ""},
      {30, ""}, {32, ""}, {31, ""}, {33, ""}, {28, ""}, {0, ""}},
     {}},
    {"LookAheadPushesBack",
     "+x<y>z=w-v\n",
     {{10, ""},
      {2, "x"},
      {30, "x"},
      {2, "y"},
      {32, "y"},
      {2, "z"},
      {15, "z"},
      {2, "w"},
      {11, "w"},
      {2, "v"},
      {0, "v"}},
     {}},
    {"MinusBeforeDigits", "-5\n", {{11, ""}, {2, "5"}, {0, "5"}}, {}},
    {"LessAtEnd", "<", {{30, ""}, {0, ""}}, {}},
    {"EqualAtEnd", "A =", {{2, "A"}, {15, "A"}, {0, "A"}}, {}},
    {"BangAlone", "!x\n", {{36, "!"}, {2, "x"}, {0, "x"}}, {InvalidTokenMessage("!", 1)}},
    {"BangAtEnd", "!", {{36, "!"}, {0, "!"}}, {InvalidTokenMessage("!", 1)}},
    // Words: '.' and '\' go on a word but start none.
    {"PathIsOneWord", "data\\file.dat\n", {{2, "data\\file.dat"}, {0, "data\\file.dat"}}, {}},
    {"DotAndBackslashStartNoWord",
     ".\\file.dat\n",
     {{36, "."}, {36, "\\"}, {2, "file.dat"}, {0, "file.dat"}},
     {InvalidTokenMessage(".", 1), InvalidTokenMessage("\\", 1)}},
    {"OtherInvalidBytes",
     "#$&:?@^`|~\x7F\x01\x08\x0B\x0C\x0E\x1F\n",
     {{36, "#"},
      {36, "$"},
      {36, "&"},
      {36, ":"},
      {36, "?"},
      {36, "@"},
      {36, "^"},
      {36, "`"},
      {36, "|"},
      {36, "~"},
      {36, "\x7F"},
      {36, "\x01"},
      {36, "\x08"},
      {36, "\x0B"},
      {36, "\x0C"},
      {36, "\x0E"},
      {36, "\x1F"},
      {0, "\x1F"}},
     {InvalidTokenMessage("#", 1), InvalidTokenMessage("$", 1), InvalidTokenMessage("&", 1),
      InvalidTokenMessage(":", 1), InvalidTokenMessage("?", 1), InvalidTokenMessage("@", 1),
      InvalidTokenMessage("^", 1), InvalidTokenMessage("`", 1), InvalidTokenMessage("|", 1),
      InvalidTokenMessage("~", 1), InvalidTokenMessage("\x7F", 1), InvalidTokenMessage("\x01", 1),
      InvalidTokenMessage("\x08", 1), InvalidTokenMessage("\x0B", 1),
      InvalidTokenMessage("\x0C", 1), InvalidTokenMessage("\x0E", 1),
      InvalidTokenMessage("\x1F", 1)}},
    // The NUL byte is a token text of one byte; the message shows it as nothing.
    {"NulByte",
     Bytes("\0 A\n", 4),
     {{36, Bytes("\0", 1)}, {2, "A"}, {0, "A"}},
     {InvalidTokenMessage("", 1)}},
    // Quoted strings: literal bytes, no escapes, the other quote is ordinary.
    {"QuotesHoldTheOtherQuote", "'a\"b' \"c'd\"\n", {{26, "a\"b"}, {27, "c'd"}, {0, "c'd"}}, {}},
    {"QuotedTextIsLiteral",
     "'x [y], \\n\r\nz'\n",
     {{26, "x [y], \\n\r\nz"}, {0, "x [y], \\n\r\nz"}},
     {}},
    {"UnclosedSingleQuote",
     "A 'abc\n",
     {{2, "A"}, {36, "'"}, {0, "'"}},
     {InvalidTokenMessage("'", 1)}},
    {"UnclosedDoubleQuoteNamesItsOwnLine",
     "\n\n\"ab\ncd\n",
     {{36, "\""}, {0, "\""}},
     {InvalidTokenMessage("\"", 3)}},
    // Shift-JIS: lead bytes 0x80-0xA0 and 0xE0-0xFE take the next byte whatever it is.
    {"TrailBackslashStaysInWord", "表示\n", {{2, "表示"}, {0, "表示"}}, {}},
    {"TrailBracketStaysInWord",
     "[\x83\x5D]\n",
     {{20, ""}, {2, "\x83\x5D"}, {21, "\x83\x5D"}, {0, "\x83\x5D"}},
     {}},
    {"TrailQuoteDoesNotCloseString",
     "'\x83\x27' \"\x95\x5C\"\n",
     {{26, "\x83\x27"}, {27, "\x95\x5C"}, {0, "\x95\x5C"}},
     {}},
    {"LeadByteBounds",
     "\x80\x41 \xA0\x42 \xE0\x43 \xFE\x44 サンプル\n",
     {{2, "\x80\x41"},
      {2, "\xA0\x42"},
      {2, "\xE0\x43"},
      {2, "\xFE\x44"},
      {2, "サンプル"},
      {0, "サンプル"}},
     {}},
    {"KatakanaStartsNoToken",
     "\xA1 \xB1 \xDF\n",
     {{36, "\xA1"}, {36, "\xB1"}, {36, "\xDF"}, {0, "\xDF"}},
     {InvalidTokenMessage("\xA1", 1), InvalidTokenMessage("\xB1", 1),
      InvalidTokenMessage("\xDF", 1)}},
    {"KatakanaEndsWord",
     "AB\xB1"
     "CD\n",
     {{2, "AB"}, {36, "\xB1"}, {2, "CD"}, {0, "CD"}},
     {InvalidTokenMessage("\xB1", 1)}},
    // Line ends are white space; the message counts line feeds, wherever they stand.
    {"LineEnds", "A\r\nB\nC\r\n", {{2, "A"}, {2, "B"}, {2, "C"}, {0, "C"}}, {}},
    {"LineNumbers",
     "A\r\n#\n\n$ B\n",
     {{2, "A"}, {36, "#"}, {36, "$"}, {2, "B"}, {0, "B"}},
     {InvalidTokenMessage("#", 2), InvalidTokenMessage("$", 4)}},
    {"LineFeedPushedBackCountsOnce",
     "AB\n<\n=\n-\n#\n",
     {{2, "AB"}, {30, "AB"}, {15, "AB"}, {11, "AB"}, {36, "#"}, {0, "#"}},
     {InvalidTokenMessage("#", 5)}},
    {"LineFeedsInQuotesCount",
     "'a\nb\n' \"\n\" #\n",
     {{26, "a\nb\n"}, {27, "\n"}, {36, "#"}, {0, "#"}},
     {InvalidTokenMessage("#", 4)}},
    {"LineFeedAsTrailByteCounts",
     "\x81\n#\n",
     {{2, "\x81\n"}, {36, "#"}, {0, "#"}},
     {InvalidTokenMessage("#", 2)}},
    // End of input and the 0xFF end mark.
    {"WordCutOffByEnd", "[TITLE] Game", {{20, ""}, {4, "TITLE"}, {21, "TITLE"}, {0, "TITLE"}}, {}},
    {"LeadByteAtEnd", "A \x82", {{2, "A"}, {0, "A"}}, {}},
    {"EndMarkMidFile", "A \xFF B\n", {{2, "A"}, {0, "A"}, {2, "B"}, {0, "B"}}, {}},
    {"EndMarkCutsWord", "AB\xFF CD\n", {{0, ""}, {2, "CD"}, {0, "CD"}}, {}},
    {"EndMarkAfterLess", "<\xFF=\n", {{30, ""}, {0, ""}, {15, ""}, {0, ""}}, {}},
    {"EndMarkInQuotes",
     "'ab\xFF' x'\n",
     {{36, "'"}, {26, " x"}, {0, " x"}},
     {InvalidTokenMessage("'", 1)}},
    {"EndMarkAsTrailByte",
     "\x81\xFF"
     "A\n",
     {{2,
       "\x81\xFF"
       "A"},
      {0,
       "\x81\xFF"
       "A"}},
     {}},
};

// Failures name the case rather than dumping its bytes.
void PrintTo(const LexCase& c, std::ostream* out) {
    *out << c.name;
}

class LexerTableTest : public ::testing::TestWithParam<LexCase> {
  protected:
    void SetUp() override { platform::testing::Reset(); }
};

TEST_P(LexerTableTest, ScansTokensAndReportsInvalidOnes) {
    const LexCase& c = GetParam();
    TempDir dir;
    const std::string file = dir.Write("file.INF", c.input);
    InfLexer lexer;
    ASSERT_TRUE(lexer.Open(file.c_str()));

    Tokens scanned;
    for (std::size_t i = 0; i < c.tokens.size(); ++i) {
        const Token token = lexer.Next();
        scanned.emplace_back(token.kind, token.text);
        const Token again = lexer.Current();
        EXPECT_EQ(again.kind, token.kind);
        EXPECT_EQ(again.text, token.text);
    }
    EXPECT_EQ(scanned, c.tokens);
    // Once the input is used up, every further call is the end again.
    EXPECT_EQ(lexer.Next().kind, TokEnd);
    EXPECT_EQ(lexer.Next().kind, TokEnd);

    std::vector<std::string> shown;
    for (const auto& message : platform::testing::Messages()) {
        shown.push_back(message.text);
        EXPECT_EQ(message.owner, nullptr);
        EXPECT_FALSE(message.hasCaption);
        EXPECT_EQ(message.style, platform::kIconError | platform::kSetForeground);
    }
    EXPECT_EQ(shown, c.messages);
}

INSTANTIATE_TEST_SUITE_P(Inputs, LexerTableTest, ::testing::ValuesIn(kLexCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LexerTest, CurrentBeforeAnyNextIsEmptyEnd) {
    TempDir dir;
    const std::string file = dir.Write("file.INF", "[TITLE]\n");
    InfLexer lexer;
    ASSERT_TRUE(lexer.Open(file.c_str()));
    EXPECT_EQ(lexer.Current().kind, TokEnd);
    EXPECT_EQ(lexer.Current().text, "");
    EXPECT_EQ(lexer.Next().kind, TokLBracket);
}

TEST(LexerTest, UnopenedLexerIsAtEnd) {
    InfLexer lexer;
    EXPECT_EQ(lexer.Next().kind, TokEnd);
}

TEST(LexerTest, OpenFailsOnEmptyOrMissingFile) {
    TempDir dir;
    const std::string empty = dir.Write("empty.INF", "");
    InfLexer lexer;
    EXPECT_FALSE(lexer.Open(empty.c_str()));
    EXPECT_FALSE(lexer.Open(dir.File("missing.INF").c_str()));
}

// Line numbers are counted as the scan goes, so a file full of bad bytes stays quick and
// every message names its own line.
TEST(LexerTest, ManyInvalidBytesAreNumberedByLine) {
    platform::testing::Reset();
    constexpr int kLines = 100000;
    std::string input;
    for (int i = 0; i < kLines; ++i) {
        input += "#?\n";
    }
    TempDir dir;
    const std::string file = dir.Write("file.INF", input);
    InfLexer lexer;
    ASSERT_TRUE(lexer.Open(file.c_str()));
    int tokens = 0;
    while (lexer.Next().kind != TokEnd) {
        ++tokens;
    }
    EXPECT_EQ(tokens, 2 * kLines);
    const auto& messages = platform::testing::Messages();
    ASSERT_EQ(messages.size(), 2u * kLines);
    EXPECT_EQ(messages[1].text, InvalidTokenMessage("?", 1));
    EXPECT_EQ(messages[2].text, InvalidTokenMessage("#", 2));
    EXPECT_EQ(messages.back().text, InvalidTokenMessage("?", kLines));
    platform::testing::Reset();
}

}  // namespace
