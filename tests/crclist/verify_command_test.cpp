// `crclist verify` run as a pipeline runs it. Narrow literals are Shift-JIS, as a check list
// is; u8 literals are UTF-8, as the names on the disk and in the output are.
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/crclist/child_process.h"
#include "tests/crclist/disc_image.h"
#include "tests/crclist/table_crc.h"
#include "tests/unit/temp_file.h"
#include "tools/crclist/reading/fast_crc.h"
#include "tools/crclist/text/shown_text.h"

namespace {

std::string Hex(std::uint32_t crc) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", crc);
    return text;
}

std::string CrcOf(const std::string& bytes) {
    return Hex(TableCrc(bytes));
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// A title of two discs, as folders and as images, and lists of it good and bad.
class Verify : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.ok());
        namespace fs = std::filesystem;
        fs::create_directories(dir_.File("d1/Data"));
        fs::create_directories(dir_.File(u8"d1/表"));
        fs::create_directories(dir_.File("d2"));
        dir_.Write("d1/Data/Scene.dat", "scene");
        dir_.Write(u8"d1/表/ﾃｽﾄ.dat", "test");
        dir_.Write("d2/Voice.pak", "voice");
        ASSERT_TRUE(MakeDiscImage(dir_.File("d1"), dir_.File("d1.iso")));
        ASSERT_TRUE(MakeDiscImage(dir_.File("d2"), dir_.File("d2.iso")));

        const std::string group1 = "[CDFILES]\nDATA\\SCENE.DAT, 5, " + CrcOf("scene") +
                                   "\n'表\\ﾃｽﾄ.DAT', 4, " + CrcOf("test") + "\n";
        const std::string group2 = "[CDFILES]\nVOICE.PAK, 5, " + CrcOf("voice") + "\n";
        const std::string bad =
            "[CDFILES]\nDATA\\SCENE.DAT, 5, 0BADC0DE\n"
            "DATA\\GONE.DAT, 5, 0\n'表\\ﾃｽﾄ.DAT', 3, " +
            CrcOf("test") + "\n";
        dir_.Write("good2.INF", "[TITLE]\nテスト\n" + group1 + group2);
        dir_.Write("good1.INF", group1);
        dir_.Write("bad.INF", bad + group2);
        dir_.Write("broken.INF", group1 + group2 + "[TITLE\n");
        dir_.Write("broken-bad.INF", bad + group2 + "[TITLE\n");
        dir_.Write("invalid.INF", group1 + group2 + "[MESSAGE]\n@\n");
        dir_.Write("empty.INF", "");
        dir_.Write("title.INF", "[TITLE]\nT\n");
        dir_.Write("notes.txt", "Two discs, checked on Monday.\n");
    }

    std::string File(const std::string& name) const { return dir_.File(name); }

    TempDir dir_;
};

TEST_F(Verify, GivesAnExitCodeAScriptCanTrust) {
    const std::string d1 = File("d1");
    const std::string d2 = File("d2");
    using Args = std::vector<std::string>;
    const struct {
        const char* what;
        Args args;
        int exitCode;
        std::string err;  // part of the complaint on stderr; empty: nothing there
    } kCases[] = {
        {"every file verified", {"--disc", d1, "--disc", d2, File("good2.INF")}, 0, ""},
        {"one --disc for every group", {"--disc", d1, File("good1.INF")}, 0, ""},
        {"images", {"--disc", File("d1.iso"), "--disc", File("d2.iso"), File("good2.INF")}, 0, ""},
        {"a group not on the one disc", {"--disc", d1, File("good2.INF")}, 1, ""},
        {"failed files", {"--disc", d1, "--disc", d2, File("bad.INF")}, 1, ""},
        {"list faulty, files verified", {"--disc", d1, "--disc", d2, File("broken.INF")}, 3, ""},
        {"list faulty, files failed", {"--disc", d1, "--disc", d2, File("broken-bad.INF")}, 1, ""},
        {"a complaint about a byte", {"--disc", d1, "--disc", d2, File("invalid.INF")}, 3, ""},
        {"an empty list", {"--disc", d1, File("empty.INF")}, 2, "does not load the list"},
        {"a text that is no list",
         {"--disc", d1, "--disc", d2, File("notes.txt")},
         2,
         "run crclist lint " + File("notes.txt")},
        {"a list of no disc files", {"--disc", d1, File("title.INF")}, 2, "no [CDFILES] entry"},
        {"three discs for two groups",
         {"--disc", d1, "--disc", d2, "--disc", d2, File("good2.INF")},
         2,
         "the list has 2 disc groups"},
        {"two discs for one group",
         {"--disc", d1, "--disc", d2, File("good1.INF")},
         2,
         "the list has 1 disc group:"},
        {"nothing to verify", {File("good2.INF")}, 2, "give --disc DIR, --installed, or both"},
        {"no registry here", {"--installed", File("good2.INF")}, 2, "Windows registry"},
        {"no list", {"--disc", d1, File("none.INF")}, 2, "cannot read the list"},
        {"no disc", {"--disc", File("none"), File("good1.INF")}, 2, "no such folder"},
        {"not an image", {"--disc", File("good1.INF"), File("good1.INF")}, 2, "is no disc image"},
        {"an unknown option", {"--fast", File("good1.INF")}, 2, "--fast"},
        {"one stream", {"--jobs", "1", "--disc", d1, File("good1.INF")}, 0, ""},
        {"auto", {"--jobs", "auto", "--disc", d1, File("good1.INF")}, 0, ""},
        {"no stream", {"--jobs", "0", "--disc", d1, File("good1.INF")}, 2, "--jobs takes"},
        {"fewer than none", {"--jobs", "-2", "--disc", d1, File("good1.INF")}, 2, "--jobs"},
        {"a word", {"--jobs", "many", "--disc", d1, File("good1.INF")}, 2, "--jobs takes"},
    };
    for (const auto& c : kCases) {
        Args args{"verify", "--quiet"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ChildResult result = RunCrclist(args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what << "\n" << result.out << result.err;
        if (c.err.empty()) {
            EXPECT_EQ(result.err, "") << c.what;
        } else {
            EXPECT_NE(result.err.find(c.err), std::string::npos) << c.what << ": " << result.err;
            EXPECT_EQ(result.out, "") << c.what;
        }
    }
}

// Without a list, the crclist.INF at the root of the first disc, its letter case ignored, as
// the program reads it when it is started from the disc; the report says where it was.
TEST_F(Verify, ReadsTheListOnTheDisc) {
    std::filesystem::copy_file(File("good1.INF"), File("d1/CrcList.inf"));
    ASSERT_TRUE(MakeDiscImage(File("d1"), File("d1.iso")));
    for (const std::string& disc : {File("d1"), File("d1.iso")}) {
        const ChildResult result = RunCrclist({"verify", "--json", "--disc", disc});
        EXPECT_EQ(result.exitCode, 0) << disc << "\n" << result.out << result.err;
        EXPECT_EQ(nlohmann::json::parse(result.out, nullptr, false)["list"], disc + "/CrcList.inf");
    }
    const ChildResult none = RunCrclist({"verify", "--disc", File("d2.iso")});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_NE(none.err.find("there is no crclist.INF in " + File("d2.iso")), std::string::npos)
        << none.err;
}

// A line for each failure, or each file with --verbose, in list order, then the summary.
TEST_F(Verify, WritesALineForEachFailedFile) {
    for (const bool image : {false, true}) {
        const std::string d1 = File(image ? "d1.iso" : "d1");
        const std::string d2 = File(image ? "d2.iso" : "d2");
        const std::vector<std::string> kFailures = {
            "crc         disc 1  DATA\\SCENE.DAT  CRC " + CrcOf("scene") + ", listed 0BADC0DE  " +
                d1 + "/Data/Scene.dat",
            "missing     disc 1  DATA\\GONE.DAT  not found  " + d1 + "/DATA/GONE.DAT",
            u8"size        disc 1  表\\ﾃｽﾄ.DAT  size 4, listed 3  " + d1 + u8"/表/ﾃｽﾄ.dat",
        };
        const std::string kSummary =
            "4 files: 1 ok, 3 failed (1 missing, 1 size, 1 crc, 0 read-error, 0 no-value)";
        const ChildResult quiet =
            RunCrclist({"verify", "--disc", d1, "--disc", d2, File("bad.INF")});
        std::vector<std::string> lines = Lines(quiet.out);
        ASSERT_EQ(lines.size(), 5u) << quiet.out;
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3), kFailures);
        EXPECT_EQ(lines[3], kSummary);
        EXPECT_TRUE(std::regex_match(
            lines[4], std::regex(R"(10 bytes in \d+\.\d{3} s(, ([\d.]+|under 0\.1) MB/s)?)")))
            << lines[4];

        const ChildResult verbose =
            RunCrclist({"verify", "--verbose", "--disc", d1, "--disc", d2, File("bad.INF")});
        lines = Lines(verbose.out);
        ASSERT_EQ(lines.size(), 8u) << verbose.out;
        EXPECT_EQ(lines[3], "ok          disc 2  VOICE.PAK  " + d2 + "/Voice.pak");
        // How each disc was read, before the summary.
        for (const std::size_t disc : {1, 2}) {
            const std::string& line = lines[3 + disc];
            const std::string where = disc == 1 ? d1 : d2;
            EXPECT_EQ(line.rfind("disc " + std::to_string(disc) + " (" + where + "): ", 0), 0u)
                << line;
            EXPECT_TRUE(std::regex_search(line, std::regex(R"(, read by \d+ threads?$)"))) << line;
        }
        EXPECT_EQ(verbose.err, "");  // stderr is no terminal: no progress line
    }
}

// Names from a Linux folder or a crafted image that a terminal would act on, or that would
// split a line: every report line is one line, and no control byte reaches the output.
TEST_F(Verify, ShowsNamesWithoutControlBytes) {
    std::filesystem::create_directories(File("odd"));
    dir_.Write("odd/A\x1B[31mRED", "a");
    dir_.Write("odd/B\nC", "b");
    dir_.Write("odd.INF", "[CDFILES]\n'A\x1B[31mRED', 1, 0\n'B\nC', 1, 0\n");
    const ChildResult result = RunCrclist({"verify", "--disc", File("odd"), File("odd.INF")});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 4u) << result.out;
    EXPECT_EQ(lines[0].rfind("crc         disc 1  A\\x1B[31mRED  CRC ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("crc         disc 1  B\\x0AC  CRC ", 0), 0u) << lines[1];
    for (const char c : result.out + result.err) {
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << static_cast<int>(c);
    }
    // JSON escapes them in its own way: names and places stay as they are.
    const std::string disc = File("odd\x1B");
    std::filesystem::rename(File("odd"), disc);
    const ChildResult json = RunCrclist({"verify", "--json", "--disc", disc, File("odd.INF")});
    const auto document = nlohmann::ordered_json::parse(json.out);
    EXPECT_EQ(document["files"][0]["name"], "A\x1B[31mRED");
    EXPECT_EQ(document["files"][1]["path"], disc + "/B\nC");
    EXPECT_EQ(document["reading"][0]["where"], disc);
}

TEST_F(Verify, TellsOfAListThatDidNotLoadCleanly) {
    const ChildResult result =
        RunCrclist({"verify", "--disc", File("d1"), "--disc", File("d2"), File("invalid.INF")});
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_GE(lines.size(), 1u);
    EXPECT_EQ(lines[0], "list " + File("invalid.INF") + u8": @,7,は無効なトークン");
    const ChildResult broken =
        RunCrclist({"verify", "--disc", File("d1"), "--disc", File("d2"), File("broken.INF")});
    EXPECT_EQ(Lines(broken.out).at(0), "list " + File("broken.INF") + ": did not load in full");
}

TEST_F(Verify, WritesOneJsonDocument) {
    const ChildResult result = RunCrclist({"verify", "--json", "--disc", File("d1.iso"), "--disc",
                                           File("d2"), File("broken-bad.INF")});
    EXPECT_EQ(result.exitCode, 1);
    const nlohmann::ordered_json document = nlohmann::ordered_json::parse(result.out);
    std::vector<std::string> keys;
    for (const auto& [key, value] : document.items()) {
        keys.push_back(key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"list", "loaded", "messages", "files", "reading",
                                              "summary"}));
    ASSERT_EQ(document["reading"].size(), 2u);
    for (std::size_t disc = 0; disc < 2; ++disc) {
        const auto& reading = document["reading"][disc];
        EXPECT_EQ(reading["disc"], disc + 1);
        EXPECT_EQ(reading["where"], File(disc == 0 ? "d1.iso" : "d2"));
        EXPECT_TRUE(reading["seeking"].is_boolean());
        EXPECT_TRUE(reading["inMemory"].is_boolean());
        EXPECT_GE(reading["streams"].get<int>(), 1);
    }
    EXPECT_EQ(document["list"], File("broken-bad.INF"));
    EXPECT_EQ(document["loaded"], false);
    EXPECT_EQ(document["messages"], nlohmann::ordered_json::array());

    const struct {
        int group;
        std::string name, status;
        bool hasSize, hasCrc;
    } kFiles[] = {
        {1, "DATA\\SCENE.DAT", "crc", true, true},
        {1, "DATA\\GONE.DAT", "missing", false, false},
        {1, u8"表\\ﾃｽﾄ.DAT", "size", true, false},
        {2, "VOICE.PAK", "ok", true, true},
    };
    const auto& files = document["files"];
    ASSERT_EQ(files.size(), std::size(kFiles));
    const std::vector<std::string> kKeys = {"check",       "group",  "name",         "path",
                                            "status",      "reason", "expectedSize", "size",
                                            "expectedCrc", "crc"};
    const std::regex hex("[0-9A-F]{8}");
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto& file = files[i];
        const auto& want = kFiles[i];
        std::vector<std::string> fileKeys;
        for (const auto& [key, value] : file.items()) {
            fileKeys.push_back(key);
        }
        EXPECT_EQ(fileKeys, kKeys) << i;
        EXPECT_EQ(file["check"], "disc");
        EXPECT_EQ(file["group"], want.group);
        EXPECT_EQ(file["name"], want.name);
        EXPECT_EQ(file["status"], want.status);
        EXPECT_EQ(file["reason"].is_string(), want.status == "missing") << i;
        EXPECT_TRUE(file["path"].is_string());
        EXPECT_TRUE(file["expectedSize"].is_number_integer());
        EXPECT_EQ(file["size"].is_number_integer(), want.hasSize) << i;
        EXPECT_TRUE(std::regex_match(file["expectedCrc"].get<std::string>(), hex));
        EXPECT_EQ(file["crc"].is_string(), want.hasCrc) << i;
        if (want.hasCrc) {
            EXPECT_TRUE(std::regex_match(file["crc"].get<std::string>(), hex));
        }
    }
    EXPECT_EQ(files[0]["path"], File("d1.iso") + "/Data/Scene.dat");
    EXPECT_EQ(files[0]["crc"], CrcOf("scene"));
    EXPECT_EQ(files[0]["expectedCrc"], "0BADC0DE");
    EXPECT_EQ(files[2]["path"], File("d1.iso") + u8"/表/ﾃｽﾄ.dat");

    const auto& summary = document["summary"];
    const nlohmann::ordered_json expected = {{"files", 4},      {"ok", 1},       {"failed", 3},
                                             {"missing", 1},    {"size", 1},     {"crc", 1},
                                             {"read-error", 0}, {"no-value", 0}, {"bytes", 10}};
    for (const auto& [key, value] : expected.items()) {
        EXPECT_EQ(summary[key], value) << key;
    }
    EXPECT_TRUE(summary["seconds"].is_number());
    EXPECT_TRUE(summary["mbPerSecond"].is_number());
    EXPECT_EQ(summary["stopped"], false);
    EXPECT_EQ(summary["notReached"], 0);
}

// A FIFO at a listed name never holds up verify or update: it is no file, and is missing so.
TEST_F(Verify, AFifoAtAListedNameIsMissingAtOnce) {
    std::filesystem::remove(File("d1/Data/Scene.dat"));
    ASSERT_EQ(::mkfifo(File("d1/Data/Scene.dat").c_str(), 0600), 0);
    const ChildResult verify =
        RunCrclist({"verify", "--quiet", "--disc", File("d1"), File("good1.INF")});
    EXPECT_EQ(verify.exitCode, 1) << verify.err;
    EXPECT_NE(verify.out.find("not a regular file"), std::string::npos) << verify.out;
    const ChildResult update = RunCrclist({"update", File("good1.INF"), "--disc", File("d1")});
    EXPECT_EQ(update.exitCode, 1) << update.err;
    EXPECT_NE(update.err.find("not a regular file"), std::string::npos) << update.err;
}

// Ctrl-C: the run stops at the next block, prints the summary so far and exits 130.
TEST_F(Verify, StopsOnCtrlC) {
    // A sparse file reads fast from no disk at all, yet 200 of them take seconds.
    constexpr std::size_t kSize = std::size_t{256} << 20;
    constexpr int kCount = 200;
    { std::ofstream(File("d1/Big.bin")); }
    std::filesystem::resize_file(File("d1/Big.bin"), kSize);
    std::vector<unsigned char> zeros(std::size_t{1} << 20);
    std::uint32_t crc = 0;
    for (std::size_t done = 0; done < kSize; done += zeros.size()) {
        crc = crclist::FastCrc32(crc, zeros.data(), zeros.size());
    }
    std::string list = "[CDFILES]\n";
    for (int i = 0; i < kCount; ++i) {
        list += "Big.bin, " + std::to_string(kSize) + ", " + Hex(crc) + "\n";
    }
    dir_.Write("big.INF", list);

    const ChildResult result =
        RunCrclist({"verify", "--verbose", "--disc", File("d1"), File("big.INF")},
                   [](pid_t child) { ::kill(child, SIGINT); });
    EXPECT_EQ(result.exitCode, 130) << result.out << result.err;
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_GE(lines.size(), 4u) << result.out;
    // Each file verified, how the disc was read, the summary, the speed, the stop.
    const std::size_t verified = lines.size() - 4;
    EXPECT_LT(verified, static_cast<std::size_t>(kCount));
    EXPECT_EQ(lines.back(), "stopped before every listed file was verified: " +
                                std::to_string(kCount - verified) + " not reached");
    EXPECT_EQ(lines[lines.size() - 3], crclist::CountText(verified, "file") + ": " +
                                           std::to_string(verified) + " ok, 0 failed (0 missing, " +
                                           "0 size, 0 crc, 0 read-error, 0 no-value)");
}

}  // namespace
