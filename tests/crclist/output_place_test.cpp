// Where a written list goes: what is at the output decides whether it is made, replaced
// through its links, written into, or refused; nothing else is ever made or replaced.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/crclist/run_crclist.h"
#include "tests/unit/temp_file.h"

namespace {

namespace fs = std::filesystem;

// What `crclist make --title T` writes.
const std::string kList = "[TITLE]\r\nT\r\n";

struct OutputCase {
    const char* what;
    const char* out;  // in the test's folder
    // Makes what is at OUT in the test's folder beforehand; false when it cannot be made here.
    std::function<bool(const TempDir&, const std::string& out)> before;
    bool force;
    int exit;
    std::string told;  // part of stderr; empty: nothing there
    // Whether OUT and its folder are as they should be afterwards.
    std::function<bool(const TempDir&, const std::string& out)> after;
};

bool Nothing(const TempDir&, const std::string&) {
    return true;
}
bool Old(const TempDir& dir, const std::string& out) {
    return !dir.Write(out.substr(dir.path().size() + 1), "old").empty();
}
bool HoldsTheList(const TempDir&, const std::string& out) {
    return fs::is_regular_file(fs::symlink_status(out)) && ReadAll(out) == kList;
}
bool KeptOld(const TempDir&, const std::string& out) {
    return ReadAll(out) == "old";
}

const OutputCase kCases[] = {
    {"a new file", "out.INF", Nothing, false, 0, "", HoldsTheList},
    {"an existing file", "out.INF", Old, false, 1, "exists; give --force to replace it", KeptOld},
    {"an existing file, --force", "out.INF", Old, true, 0, "", HoldsTheList},
    {"a link to a file: the file is replaced, the link stays", "out.INF",
     [](const TempDir& dir, const std::string& out) {
         Old(dir, dir.File("target.INF"));
         fs::create_symlink("target.INF", out);
         return true;
     },
     true, 0, "",
     [](const TempDir& dir, const std::string& out) {
         return fs::is_symlink(out) && HoldsTheList(dir, dir.File("target.INF"));
     }},
    {"a link to nothing yet: the file is made where it leads", "out.INF",
     [](const TempDir& dir, const std::string& out) {
         fs::create_directory(dir.File("sub"));
         fs::create_symlink(dir.File("sub/new.INF"), out);
         return true;
     },
     false, 0, "",
     [](const TempDir& dir, const std::string& out) {
         return fs::is_symlink(out) && HoldsTheList(dir, dir.File("sub/new.INF"));
     }},
    {"a character device, as /dev/null", "out.INF",
     [](const TempDir&, const std::string& out) {
         return ::mknod(out.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;  // root only
     },
     false, 0, "",
     [](const TempDir&, const std::string& out) { return fs::is_character_file(out); }},
    {"a folder", "out.INF",
     [](const TempDir&, const std::string& out) { return fs::create_directory(out); }, true, 2,
     "out.INF is a folder: give the name of the file to write, such as",
     [](const TempDir&, const std::string& out) { return fs::is_empty(out); }},
    {"in a folder that does not exist", "none/x.INF", Nothing, false, 2, "none/x.INF: the folder",
     [](const TempDir&, const std::string& out) {
         return !fs::exists(fs::path(out).parent_path());
     }},
};

// Whether a temporary file of a write is left in the test's folder, or below it.
bool LeftBehind(const TempDir& dir) {
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
        if (entry.path().filename().string().front() == '.') {
            return true;
        }
    }
    return false;
}

int Make(const std::string& out, bool force, std::string* told) {
    std::vector<std::string> args = {"make", "-o", out, "--title", "T"};
    if (force) {
        args.push_back("--force");
    }
    testing::internal::CaptureStderr();
    const int exit = RunCrclist(args);
    *told = testing::internal::GetCapturedStderr();
    return exit;
}

TEST(OutputPlace, WritesEachKindOfPlaceAsItShould) {
    for (const OutputCase& c : kCases) {
        TempDir dir;
        const std::string out = dir.File(c.out);
        if (!c.before(dir, out)) {
            std::printf("skipped: %s (not root)\n", c.what);
            continue;
        }
        std::string told;
        EXPECT_EQ(Make(out, c.force, &told), c.exit) << c.what << "\n" << told;
        if (c.told.empty()) {
            EXPECT_EQ(told, "") << c.what;
        } else {
            EXPECT_NE(told.find(c.told), std::string::npos) << c.what << "\n" << told;
        }
        EXPECT_TRUE(c.after(dir, out)) << c.what;
        EXPECT_FALSE(LeftBehind(dir)) << c.what;
    }
}

// A FIFO gets the list down it, and stays a FIFO.
TEST(OutputPlace, WritesIntoAFifo) {
    TempDir dir;
    const std::string out = dir.File("pipe");
    ASSERT_EQ(::mkfifo(out.c_str(), 0600), 0);
    std::string got;
    std::thread reader([&] { got = ReadAll(out); });
    std::string told;
    EXPECT_EQ(Make(out, false, &told), 0) << told;
    // A reader still waiting for a writer gets the end of the FIFO: a failure, not a hang.
    const int unblock = ::open(out.c_str(), O_WRONLY | O_NONBLOCK);
    if (unblock >= 0) {
        ::close(unblock);
    }
    reader.join();
    EXPECT_EQ(got, kList);
    EXPECT_TRUE(fs::is_fifo(out));
}

}  // namespace
