// Narrow literals in this file are compiled to Shift-JIS, as the names in a check list are;
// u8 literals are UTF-8, as the names on the disk are.
#include "tools/crclist/text/windows_names.h"
#include "tools/crclist/discs/folder_lookup.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/unit/temp_file.h"

namespace {

using crclist::FoldCase;
using crclist::SplitListedName;

TEST(ListedNames, FoldsTheLettersWindowsFolds) {
    const struct {
        std::string in, out;
    } kCases[] = {
        {"Setup.exe", "SETUP.EXE"},
        {u8"ａｂｃＸ", u8"ＡＢＣＸ"},
        {u8"αως", u8"ΑΩΣ"},
        {u8"дёђ", u8"ДЁЂ"},
        {u8"ⅰⅹ", u8"ⅠⅩ"},
        {u8"表ｶﾅ", u8"表ｶﾅ"},
        {"\xFF"
         "a\xC3",
         "\xFF"
         "A\xC3"},  // not UTF-8: passed through, letters folded
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(FoldCase(c.in), c.out) << c.in;
    }
}

TEST(ListedNames, SplitsAsWindowsResolvesAPath) {
    using Parts = std::vector<std::string>;
    const struct {
        std::string name;
        Parts parts;
    } kCases[] = {
        {"DATA\\SCENE.DAT", {"DATA", "SCENE.DAT"}},
        {"表\\x", {u8"表", "x"}},  // the 0x5C second byte of 表 is no separator
        {"a/b", {"a", "b"}},
        {"a\\\\b\\", {"a", "b"}},
        {".\\a\\..\\b", {"b"}},
        {"..\\..\\a", {"a"}},
        {"FILE. .\\x", {"FILE", "x"}},
        {"", {}},
    };
    for (const auto& c : kCases) {
        Parts parts;
        EXPECT_TRUE(SplitListedName(c.name, &parts)) << c.name;
        EXPECT_EQ(parts, c.parts) << c.name;
    }
    Parts parts;
    EXPECT_FALSE(SplitListedName("a\x80", &parts));
}

TEST(ListedNames, FindsFilesAsWindowsWould) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    namespace fs = std::filesystem;
    fs::create_directories(dir.File("Data"));
    fs::create_directories(dir.File(u8"表"));
    fs::create_directories(dir.File("Two"));
    dir.Write("Data/Scene.dat", "x");
    dir.Write(u8"表/ﾃｽﾄ.dat", "x");
    dir.Write("Two/a.txt", "x");
    dir.Write("Two/A.TXT", "x");
    const struct {
        std::string name;
        std::string found;  // relative to the folder; empty: not found
    } kCases[] = {
        {"Data\\Scene.dat", "Data/Scene.dat"},
        {"DATA\\SCENE.DAT", "Data/Scene.dat"},
        {"data/scene.DAT", "Data/Scene.dat"},
        {"表\\ﾃｽﾄ.DAT", u8"表/ﾃｽﾄ.dat"},
        {"Two\\a.txt", "Two/a.txt"},
        {"Two\\A.TXT", "Two/A.TXT"},
        {"two\\A.txt", "Two/A.TXT"},  // no exact name: the first match in byte order
        {"Data\\Other.dat", ""},
        {"Nowhere\\Scene.dat", ""},
        {"Data\\Scene.dat\\more", ""},
        {"", ""},
    };
    crclist::FolderLookup lookup(dir.path());
    for (const auto& c : kCases) {
        std::string path;
        const bool found = lookup.Find(c.name, &path);
        EXPECT_EQ(found, !c.found.empty()) << c.name;
        if (found) {
            EXPECT_EQ(path, dir.File(c.found)) << c.name;
        }
    }
}

}  // namespace
