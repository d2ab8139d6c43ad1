// The sheets that describe CD images, as the tools of different makers write them.
#include <gtest/gtest.h>

#include "tools/crclist/images/ccd_sheet.h"
#include "tools/crclist/images/cue_sheet.h"

namespace {

using crclist::CcdTrack;
using crclist::CueTrack;

TEST(CueSheet, ReadsEachTrackWithItsFileAndStart) {
    const std::string sheet =
        "\xEF\xBB\xBFREM made on Windows\r\n"
        "file \"Game (Disc 1).bin\" binary\r\n"
        "  TRACK 01 MODE2/2352\r\n    FLAGS DCP\r\n    INDEX 01 00:00:00\r\n"
        "  TRACK 02 AUDIO\r\n    INDEX 00 31:20:70\r\n    INDEX 01 31:22:70\r\n"
        "FILE Track 03.wav WAVE\n  TRACK 03 AUDIO\n    PREGAP 00:02:00\n    INDEX 01 00:00:00";
    std::vector<CueTrack> tracks;
    std::string error;
    ASSERT_TRUE(crclist::ParseCueSheet(sheet, &tracks, &error)) << error;
    ASSERT_EQ(tracks.size(), 3u);
    const struct {
        int number;
        const char* file;
        const char* type;
        const char* mode;
        std::int64_t pregap;
        std::int64_t start;
    } kExpected[] = {
        {1, "Game (Disc 1).bin", "BINARY", "MODE2/2352", -1, 0},
        {2, "Game (Disc 1).bin", "BINARY", "AUDIO", (31 * 60 + 20) * 75 + 70,
         (31 * 60 + 22) * 75 + 70},
        {3, "Track 03.wav", "WAVE", "AUDIO", -1, 0},
    };
    for (std::size_t index = 0; index < tracks.size(); ++index) {
        const auto& expected = kExpected[index];
        EXPECT_EQ(tracks[index].number, expected.number);
        EXPECT_EQ(tracks[index].file, expected.file);
        EXPECT_EQ(tracks[index].fileType, expected.type);
        EXPECT_EQ(tracks[index].mode, expected.mode);
        EXPECT_EQ(tracks[index].pregap, expected.pregap);
        EXPECT_EQ(tracks[index].start, expected.start);
    }
    EXPECT_EQ(crclist::CueSectorSize("MODE1/2048"), 2048u);
    EXPECT_EQ(crclist::CueSectorSize("MODE2/2336"), 2336u);
    EXPECT_EQ(crclist::CueSectorSize("CDG"), 0u);
}

TEST(CueSheet, SaysWhereASheetGoesWrong) {
    const struct {
        const char* sheet;
        const char* error;
    } kCases[] = {
        {"TRACK 01 MODE1/2352\n", "line 1: TRACK before any FILE"},
        {"FILE a.bin BINARY\nINDEX 01 00:00:00\n", "line 2: INDEX outside a TRACK"},
        {"FILE a.bin BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:75\n",
         "line 3: the time '00:00:75' is not mm:ss:ff"},
        {"FILE a.bin BINARY\nTRACK 01 MODE1/2352\nINDEX 00 00:00:00\n", "track 1 has no INDEX 01"},
        {"REM nothing\n", "there is no TRACK"},
    };
    for (const auto& c : kCases) {
        std::vector<CueTrack> tracks;
        std::string error;
        EXPECT_FALSE(crclist::ParseCueSheet(c.sheet, &tracks, &error)) << c.sheet;
        EXPECT_EQ(error, c.error) << c.sheet;
    }
}

TEST(CcdSheet, ReadsTheTracksInTheirOrder) {
    const std::string sheet =
        "[CloneCD]\r\nVersion=3\r\n[Entry 0]\r\nPoint=0xa0\r\nPLBA=-150\r\n"
        "[TRACK 2]\r\nMODE=0\r\nINDEX 0=1000\r\nINDEX 1=1150\r\n"
        "[TRACK 1]\r\nMODE=2\r\nINDEX 1=0\r\n";
    EXPECT_TRUE(crclist::LooksLikeCcdSheet(sheet));
    EXPECT_FALSE(crclist::LooksLikeCcdSheet("FILE a.bin BINARY\n"));
    std::vector<CcdTrack> tracks;
    std::string error;
    ASSERT_TRUE(crclist::ParseCcdSheet(sheet, &tracks, &error)) << error;
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks[0].number, 1);
    EXPECT_EQ(tracks[0].mode, 2);
    EXPECT_EQ(tracks[0].start, 0);
    EXPECT_EQ(tracks[1].pregap, 1000);
    EXPECT_EQ(tracks[1].start, 1150);

    for (const char* broken : {"[CloneCD]\n[TRACK 1]\nMODE=1\n", "[CloneCD]\n[TRACK x]\n",
                               "[CloneCD]\n[TRACK 1]\nINDEX 1=0x10\n", "[CloneCD]\n"}) {
        EXPECT_FALSE(crclist::ParseCcdSheet(broken, &tracks, &error)) << broken;
    }
}

}  // namespace
