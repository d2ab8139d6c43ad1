// Narrow literals in this file are compiled to Shift-JIS; u8 literals stay UTF-8.
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/shown_text.h"

#include <gtest/gtest.h>

namespace {

struct Pair {
    const char* what;
    std::string sjis;
    std::string utf8;
};

const Pair kPairs[] = {
    {"ASCII with backslash and tilde", "A\\B~C", u8"A\\B~C"},
    {"trail byte 0x5C", "表示", u8"表示"},
    {"trail byte 0x5B and 0x5D", "ボ」", u8"ボ」"},
    {"half-width katakana", "ｶﾀｶﾅﾞ", u8"ｶﾀｶﾅﾞ"},
    {"NEC extensions", "①Ⅰ㈱", u8"①Ⅰ㈱"},
    {"empty", "", u8""},
};

TEST(TextEncoding, ConvertsBothWaysExactly) {
    for (const Pair& pair : kPairs) {
        std::string utf8;
        std::string sjis;
        EXPECT_TRUE(SjisToUtf8Exact(pair.sjis, &utf8)) << pair.what;
        EXPECT_EQ(utf8, pair.utf8) << pair.what;
        EXPECT_EQ(SjisToUtf8(pair.sjis), pair.utf8) << pair.what;
        EXPECT_TRUE(Utf8ToSjis(pair.utf8, &sjis)) << pair.what;
        EXPECT_EQ(sjis, pair.sjis) << pair.what;
    }
}

TEST(TextEncoding, RefusesWhatHasNoForm) {
    const struct {
        const char* what;
        std::string sjis;
        std::string displayed;
    } kBadSjis[] = {
        {"0x80 alone",
         "a\x80"
         "b",
         u8"a\uFFFDb"},
        {"0xA0 alone", "\xA0", u8"\uFFFD"},
        {"0xFD", "\xFD", u8"\uFFFD"},
        {"lead byte at the end", "x\x81", u8"x\uFFFD"},
        {"lead byte before a space", "\x81 x", u8"\uFFFD x"},
    };
    for (const auto& bad : kBadSjis) {
        std::string utf8;
        EXPECT_FALSE(SjisToUtf8Exact(bad.sjis, &utf8)) << bad.what;
        EXPECT_EQ(SjisToUtf8(bad.sjis), bad.displayed) << bad.what;
    }
    const struct {
        const char* what;
        std::string utf8;
    } kBadUtf8[] = {
        {"euro sign", u8"€"},
        {"hangul", u8"한"},
        {"emoji", u8"😀"},
        {"yen sign, which would read back as a backslash", u8"a¥b"},
        {"wave dash, which would read back as a full-width tilde", u8"〜"},
        {"cut sequence", "\xE8\xA1"},
        {"lone continuation byte", "\x80"},
    };
    for (const auto& bad : kBadUtf8) {
        std::string sjis;
        EXPECT_FALSE(Utf8ToSjis(bad.utf8, &sjis)) << bad.what;
    }
}

}  // namespace

namespace {

TEST(TextEncoding, ShowsASystemTextInUtf8WithoutLosingAByte) {
    EXPECT_EQ(crclist::ShownSystemText(u8"disc/表示.DAT"), u8"disc/表示.DAT");
    // Not UTF-8: a name such as an older system wrote in Shift-JIS.
    EXPECT_EQ(crclist::ShownSystemText("disc/\x95\x5C.DAT"), "disc/\\x95\\.DAT");
}

// Nothing that a terminal acts on, and no line feed, reaches a text output.
TEST(TextEncoding, ShowsControlCharactersAsBytes) {
    const struct {
        std::string text, shown;
    } kCases[] = {
        {"A\x1B[31mRED", "A\\x1B[31mRED"}, {"B\nC\r\t", "B\\x0AC\\x0D\\x09"},
        {"DEL\x7F", "DEL\\x7F"},           {u8"C1\u009B", "C1\\xC2\\x9B"},
        {u8"\u00A0表ｶ", u8"\u00A0表ｶ"},  // printable from U+00A0 on
        {"cut\xE8\xA1", "cut\\xE8\\xA1"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(crclist::EscapedControls(c.text), c.shown) << c.shown;
        EXPECT_EQ(crclist::ShownSystemText(c.text), c.shown) << c.shown;
    }
    EXPECT_EQ(crclist::SystemTextInUtf8("B\nC"), "B\nC");  // for JSON, which escapes it itself
    EXPECT_EQ(crclist::ShownListText("\x95\x5C\x1B"), u8"表\\x1B");
}

}  // namespace
