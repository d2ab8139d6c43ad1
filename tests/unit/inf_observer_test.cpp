// What LoadInfFile tells an observer: file bytes -> the log of its calls, with every token's
// kind and byte offsets. Also that an observer changes nothing in what is read.
#include <string>

#include <gtest/gtest.h>

#include "inf/check_list.h"
#include "inf/inf_lexer.h"
#include "inf/inf_observer.h"
#include "inf_test_files.h"
#include "platform/ui_recorded.h"

namespace {

// Tokens as KIND@START-END; the other calls as words.
class LogObserver : public InfObserver {
  public:
    std::string log;

    void OnToken(const Token& token, std::int32_t start, std::int32_t end) override {
        Add(std::to_string(token.kind) + "@" + std::to_string(start) + "-" + std::to_string(end));
    }
    void OnSectionOpened(std::int32_t keyword) override { Add("open" + std::to_string(keyword)); }
    void OnValue() override { Add("value"); }
    void OnEntry(const FileEntry& entry) override {
        Add("entry(" + entry.name + "," + std::to_string(entry.size) + "," +
            std::to_string(entry.crc) + ")");
    }
    void OnFault(InfFault fault) override {
        Add("fault" + std::to_string(static_cast<int>(fault)));
    }

  private:
    void Add(const std::string& item) { log += log.empty() ? item : " " + item; }
};

struct ObserverCase {
    const char* name;
    std::string file;
    const char* log;
};

const ObserverCase kCases[] = {
    {"HeaderAndValues", "[ TITLE ]\n'A B' C\n",
     "20@0-1 4@2-7 open4 21@8-9 26@10-15 value 2@16-17 value 0@18-18"},
    {"Entry", "[REG]\nA ,1,2\n",
     "20@0-1 6@1-4 open6 21@4-5 2@6-7 25@8-9 2@9-10 25@10-11 2@11-12 entry(A,1,2) 0@13-13"},
    {"MessageAndPrompt", "[MESSAGE] x [DRIVEINFO] ,\n",
     "20@0-1 9@1-8 open9 21@8-9 2@10-11 value 20@12-13 3@13-22 open3 21@22-23 25@24-25 value "
     "0@26-26"},
    // An end of input points at what ended the reading: a cut-off word or a 0xFF byte.
    {"CutWord", "[GAME]\nKEY", "20@0-1 5@1-5 open5 21@5-6 0@7-10"},
    {"EndMark", "[GAME] \xFF KEY\n", "20@0-1 5@1-5 open5 21@5-6 0@7-8"},
    {"InvalidByteIsAValue", "[TITLE]\n@\n", "20@0-1 4@1-6 open4 21@6-7 36@8-9 value 0@10-10"},
    // Each way of failing, at the token where reading stops.
    {"HeaderNotClosed", "[CDFILES] [TITLE x\n",
     "20@0-1 7@1-8 open7 21@8-9 20@10-11 4@11-16 open4 "
     "2@17-18 fault0"},
    {"NoCommaAfterName", "[CDFILES]\nA B,1,2\n",
     "20@0-1 7@1-8 open7 21@8-9 2@10-11 2@12-13 fault1"},
    {"NoCommaAfterSize", "[REG]\nA,1 2\n",
     "20@0-1 6@1-4 open6 21@4-5 2@6-7 25@7-8 2@8-9 2@10-11 fault2"},
    {"CrcNotNumber", "[REG]\nA,1,XYZ\n",
     "20@0-1 6@1-4 open6 21@4-5 2@6-7 25@7-8 2@8-9 25@9-10 2@10-13 fault3"},
    {"StrayWord", "word\n", "2@0-4 fault4"},
    {"Reserved", "[GAMEDATA]\n", "20@0-1 8@1-9 fault4"},
};

TEST(InfObserver, IsToldWhatEachTokenWasTakenFor) {
    for (const ObserverCase& c : kCases) {
        TempDir dir;
        const std::string file = dir.Write("file.INF", c.file);
        CheckList observed;
        LogObserver observer;
        const bool loadedObserved = observed.LoadInfFile(file.c_str(), &observer);
        EXPECT_EQ(observer.log, c.log) << c.name;

        CheckList plain;
        EXPECT_EQ(plain.LoadInfFile(file.c_str()), loadedObserved) << c.name;
        EXPECT_EQ(plain.title, observed.title) << c.name;
        EXPECT_EQ(plain.gameKey, observed.gameKey) << c.name;
        EXPECT_EQ(plain.installedFiles.size(), observed.installedFiles.size()) << c.name;
        EXPECT_EQ(plain.discGroups.size(), observed.discGroups.size()) << c.name;
        EXPECT_EQ(plain.messageLines, observed.messageLines) << c.name;
        EXPECT_EQ(plain.drivePrompts, observed.drivePrompts) << c.name;
        platform::testing::ClearMessages();
    }
}

TEST(InfLexer, ReadsBytesAsItReadsAFile) {
    InfLexer lexer;
    EXPECT_FALSE(lexer.OpenBytes(""));
    ASSERT_TRUE(lexer.OpenBytes("  DATA\\A.DAT,'x'"));
    Token token = lexer.Next();
    EXPECT_EQ(token.kind, TokWord);
    EXPECT_EQ(token.text, "DATA\\A.DAT");
    EXPECT_EQ(lexer.TokenStart(), 2);
    EXPECT_EQ(lexer.ScanEnd(), 12);
    EXPECT_EQ(lexer.Next().kind, TokComma);
    token = lexer.Next();
    EXPECT_EQ(token.kind, TokSingleQuoted);
    EXPECT_EQ(token.text, "x");
    EXPECT_EQ(lexer.TokenStart(), 13);
    EXPECT_EQ(lexer.Next().kind, TokEnd);
    EXPECT_EQ(lexer.TokenStart(), 16);
}

}  // namespace
