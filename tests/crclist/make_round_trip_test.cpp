// The round trip of crclist make as a property: random titles, keys, lines, prompts, file and
// value names drawn from all of Shift-JIS (with single-byte katakana, second bytes 0x5C and
// 0x5B, spaces, quotes, '-', '[', leading dots and keyword spellings weighted up), written by
// make and read back by the program, give exactly what was asked for; and lint finds nothing
// in what make wrote but names that Windows takes for the same.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "inf/check_list.h"
#include "tests/crclist/run_crclist.h"
#include "tests/crclist/table_crc.h"
#include "tests/unit/temp_file.h"
#include "tools/crclist/list/lint.h"
#include "tools/crclist/text/encoding.h"

namespace {

namespace fs = std::filesystem;

// Every Shift-JIS character that converts to UTF-8 and back to the same bytes.
class Characters {
  public:
    Characters() {
        auto add = [this](const std::string& sjis) {
            std::string utf8;
            std::string back;
            if (SjisToUtf8Exact(sjis, &utf8) && Utf8ToSjis(utf8, &back) && back == sjis) {
                all_.push_back(sjis);
                if (sjis.size() == 2 && (sjis[1] == '\\' || sjis[1] == '[')) {
                    special_.push_back(sjis);
                }
            }
        };
        for (int byte = 0x20; byte <= 0xDF; ++byte) {
            if (byte < 0x7F || byte >= 0xA1) {
                add(std::string(1, static_cast<char>(byte)));
            }
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0x40; trail <= 0xFC && (lead <= 0x9F || lead >= 0xE0); ++trail) {
                add(std::string{static_cast<char>(lead), static_cast<char>(trail)});
            }
        }
        for (const char* text : {" ", "'", "\"", "-", "[", "]", ",", ".", "ｶ", "ﾟ", "｡"}) {
            special_.push_back(text);
        }
    }

    // A random text in Shift-JIS: a keyword now and then, else 1 to `most` characters, about
    // a third of them from the troublesome ones. Never both quotes; in names, nothing that
    // Windows does not allow there.
    std::string Text(std::mt19937& random, int most, bool name) const {
        static const char* const kKeywords[] = {"TITLE",   "GAME",      "REG",     "CDFILES",
                                                "MESSAGE", "DRIVEINFO", "GAMEDATA"};
        if (random() % 10 == 0) {
            return kKeywords[random() % 7];
        }
        std::string text = random() % 8 == 0 ? "." : "";
        for (int count = 1 + static_cast<int>(random() % most); count > 0; --count) {
            const auto& from = random() % 3 == 0 ? special_ : all_;
            const std::string& character = from[random() % from.size()];
            if (name && character.size() == 1 &&
                std::string_view("/\\<>:\"|?*").find(character[0]) != std::string_view::npos) {
                continue;
            }
            text += character;
        }
        if (text.find('\'') != std::string::npos) {
            std::replace(text.begin(), text.end(), '"', '-');  // single bytes: safe to swap
        }
        // Windows drops a space or a dot at the end of a name that it opens: make refuses them.
        if (name && (text.empty() || text.back() == ' ' || text.back() == '.')) {
            text += "n";
        }
        return text;
    }

  private:
    std::vector<std::string> all_;
    std::vector<std::string> special_;
};

std::string Utf8(const std::string& sjis) {
    std::string utf8;
    EXPECT_TRUE(SjisToUtf8Exact(sjis, &utf8));
    return utf8;
}

struct Asked {
    std::vector<std::string> args;  // the command line, UTF-8
    std::string title, game;        // Shift-JIS
    std::vector<std::string> messages, prompts;
    std::vector<std::vector<FileEntry>> discs;
    std::vector<FileEntry> installed;
};

FileEntry WriteFile(const fs::path& path, std::mt19937& random) {
    std::string bytes(random() % 100, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    std::ofstream(path, std::ios::binary) << bytes;
    return {"", static_cast<std::int32_t>(bytes.size()), TableCrc(bytes)};
}

// A disc folder of a few files, some in folders; the expected entries in make's order.
std::vector<FileEntry> MakeDisc(const Characters& characters, const fs::path& root,
                                std::mt19937& random) {
    std::vector<std::pair<std::vector<std::string>, FileEntry>> files;
    std::set<std::string> used;
    const std::string folder = characters.Text(random, 6, true);
    used.insert(Utf8(folder));
    for (int count = static_cast<int>(random() % 5); count > 0; --count) {
        const std::string name = characters.Text(random, 8, true);
        const bool inFolder = random() % 2 == 0;
        if (!used.insert((inFolder ? Utf8(folder) + "/" : std::string()) + Utf8(name)).second) {
            continue;
        }
        std::vector<std::string> components = {name};
        fs::path path = root;
        if (inFolder) {
            components.insert(components.begin(), folder);
            path /= Utf8(folder);
            fs::create_directories(path);
        }
        FileEntry entry = WriteFile(path / Utf8(name), random);
        entry.name = inFolder ? folder + '\\' : std::string();
        entry.name += name;
        files.push_back({components, entry});
    }
    std::sort(files.begin(), files.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<FileEntry> entries;
    entries.reserve(files.size());
    for (const auto& file : files) {
        entries.push_back(file.second);
    }
    return entries;
}

Asked RandomList(const Characters& characters, const TempDir& dir, std::mt19937& random) {
    Asked asked;
    asked.title = characters.Text(random, 20, false);
    asked.args = {"make", "-o", dir.File("out.INF"), "--title", Utf8(asked.title)};
    asked.game = characters.Text(random, 10, false);
    asked.args.insert(asked.args.end(), {"--game", Utf8(asked.game)});
    for (int count = static_cast<int>(random() % 3); count > 0; --count) {
        asked.messages.push_back(characters.Text(random, 15, false));
        asked.args.insert(asked.args.end(), {"--message", Utf8(asked.messages.back())});
    }
    for (int disc = 0, discs = 1 + static_cast<int>(random() % 2); disc < discs; ++disc) {
        const fs::path root = dir.File("disc" + std::to_string(disc));
        fs::create_directories(root);
        asked.discs.push_back(MakeDisc(characters, root, random));
        std::string prompt;
        for (int lines = static_cast<int>(random() % 3); lines > 0; --lines) {
            prompt += characters.Text(random, 10, false) + "\n";
        }
        asked.prompts.push_back(prompt);
        asked.args.insert(asked.args.end(), {"--disc", root.string(), "--prompt", Utf8(prompt)});
    }
    fs::create_directories(dir.File("inst"));
    for (int count = static_cast<int>(random() % 3); count > 0; --count) {
        const std::string path = dir.File("inst/" + std::to_string(count));
        FileEntry entry = WriteFile(path, random);
        entry.name = characters.Text(random, 10, false);
        asked.installed.push_back(entry);
        asked.args.insert(asked.args.end(), {"--installed", Utf8(entry.name) + "=" + path});
    }
    return asked;
}

void ExpectEntries(const std::vector<FileEntry>& read, const std::vector<FileEntry>& asked) {
    ASSERT_EQ(read.size(), asked.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(Utf8(read[i].name), Utf8(asked[i].name));
        EXPECT_EQ(read[i].size, asked[i].size);
        EXPECT_EQ(read[i].crc, asked[i].crc);
    }
}

TEST(MakeRoundTrip, GivesBackWhatWasAskedForAndLintsClean) {
    const Characters characters;
    std::mt19937 random(9);
    for (int round = 0; round < 40; ++round) {
        TempDir dir;
        const Asked asked = RandomList(characters, dir, random);
        SCOPED_TRACE("round " + std::to_string(round) + ", title " + Utf8(asked.title));
        ASSERT_EQ(RunCrclist(asked.args), 0);

        CheckList list;
        ASSERT_TRUE(list.LoadInfFile(dir.File("out.INF").c_str()));
        EXPECT_EQ(Utf8(list.title), Utf8(asked.title));
        EXPECT_EQ(Utf8(list.gameKey), Utf8(asked.game));
        std::vector<std::string> lines;
        for (const std::string& line : list.messageLines) {
            lines.push_back(Utf8(line));
        }
        std::vector<std::string> askedLines;
        for (const std::string& line : asked.messages) {
            askedLines.push_back(Utf8(line));
        }
        EXPECT_EQ(lines, askedLines);
        ASSERT_EQ(list.drivePrompts.size(), asked.prompts.size());
        for (std::size_t i = 0; i < asked.prompts.size(); ++i) {
            EXPECT_EQ(Utf8(list.drivePrompts[i]), Utf8(asked.prompts[i]));
        }
        ASSERT_EQ(list.discGroups.size(), asked.discs.size());
        for (std::size_t i = 0; i < asked.discs.size(); ++i) {
            ExpectEntries(list.discGroups[i], asked.discs[i]);
        }
        ExpectEntries(list.installedFiles, asked.installed);

        crclist::LintReport report;
        std::string problem;
        ASSERT_TRUE(crclist::LintFile(dir.File("out.INF"), &report, &problem));
        // Random names may differ in case only, and a random disc may have no files.
        for (const crclist::Diagnostic& diagnostic : report.diagnostics) {
            EXPECT_TRUE(std::string(diagnostic.code) == "duplicate-name" ||
                        std::string(diagnostic.code) == "empty-disc")
                << diagnostic.text;
        }
    }
}

TEST(MakeRoundTrip, RefusesATextWithBothQuotes) {
    TempDir dir;
    EXPECT_EQ(RunCrclist({"make", "-o", dir.File("out.INF"), "--title", "it's \"x\""}), 1);
    EXPECT_FALSE(fs::exists(dir.File("out.INF")));
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

}  // namespace
