// crclist as a shell runs it: a wrong command line, a list that cannot be read, and a list
// that comes down a pipe.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/crclist/child_process.h"
#include "tests/unit/temp_file.h"

namespace {

using Args = std::vector<std::string>;

// Every complaint is told in the name of the command it is about, and says what to do.
TEST(CommandLine, TellsWhatIsWrongInTheCommandsName) {
    TempDir dir;
    const std::string none = dir.File("none.INF");
    const struct {
        Args args;
        std::string told;  // the start of stderr
    } kCases[] = {
        {{"bogus"},
         "crclist: bogus is not a command of crclist: give dump, lint, make, update or verify"},
        {{"verify", "--fast", none},
         "crclist verify: the following argument was not expected: --fast (crclist verify "
         "--help"},
        {{"dump", none}, "crclist dump: cannot read the list " + none + ": there is no such file"},
        {{"lint", none}, "crclist lint: cannot read the list " + none},
        {{"update", none, "--disc", dir.path()}, "crclist update: cannot read the list " + none},
        {{"verify", "--disc", dir.path(), none}, "crclist verify: cannot read the list " + none},
        {{"update", dir.File("x.INF")}, "crclist update: nothing to update: give --disc DIR"},
    };
    for (const auto& c : kCases) {
        const ChildResult result = RunCrclist(c.args);
        EXPECT_EQ(result.exitCode, 2) << c.args[0];
        EXPECT_EQ(result.err.rfind(c.told, 0), 0u) << result.err;
        EXPECT_EQ(result.out, "") << c.args[0];
    }
}

// crclist make -o - ... | crclist lint -
TEST(CommandLine, ReadsTheListDownAPipe) {
    TempDir dir;
    dir.Write("a.dat", "abc");
    const ChildResult made =
        RunCrclist({"make", "-o", "-", "--title", "T", "--installed", "Main=" + dir.File("a.dat")});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const ChildResult linted = RunCrclist({"lint", "-"}, nullptr, &made.out);
    EXPECT_EQ(linted.exitCode, 0) << linted.err;
    EXPECT_EQ(linted.out,
              "<stdin>:4:1: warning: the list has [REG] entries but no [GAME] key: the program "
              "looks their values up in HKEY_CURRENT_USER itself [reg-without-game]\n"
              "0 errors, 1 warnings\n");
}

}  // namespace
