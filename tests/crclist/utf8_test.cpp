#include "tools/crclist/text/utf8.h"

#include <gtest/gtest.h>

namespace {

using crclist::DecodeUtf8;

TEST(Utf8, TakesEachWellFormedCharacterWholeAndEveryOtherByteAlone) {
    const struct {
        const char* text;
        std::uint32_t code;
        std::size_t length;
        bool valid;
    } kCases[] = {
        {"A", 'A', 1, true},
        {"\xC3\xA9", 0xE9, 2, true},
        {"\xE8\xA1\xA8", 0x8868, 3, true},
        {"\xF0\x9F\x98\x80", 0x1F600, 4, true},
        {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4, true},
        {"\x80", 0x80, 1, false},              // a stray continuation byte
        {"\xC0\x81", 0xC0, 1, false},          // overlong
        {"\xE0\x80\x80", 0xE0, 1, false},      // overlong
        {"\xED\xA0\x80", 0xED, 1, false},      // a surrogate
        {"\xF4\x90\x80\x80", 0xF4, 1, false},  // above U+10FFFF
        {"\xF8\x88\x80\x80", 0xF8, 1, false},  // no such lead byte
        {"\xE8\xA1", 0xE8, 1, false},          // cut short
        {"\xE8"
         "A\xA8",
         0xE8, 1, false},  // a continuation byte missing
    };
    for (const auto& c : kCases) {
        const crclist::Utf8Character character = DecodeUtf8(c.text, 0);
        EXPECT_EQ(character.code, c.code) << c.text;
        EXPECT_EQ(character.length, c.length) << c.text;
        EXPECT_EQ(character.valid, c.valid) << c.text;
    }
}

TEST(Utf8, WritesWhatItReads) {
    for (const std::uint32_t code : {0x41u, 0xE9u, 0x8868u, 0xFFFDu, 0x1F600u, 0x10FFFFu}) {
        std::string text;
        crclist::AppendUtf8(code, text);
        const crclist::Utf8Character character = DecodeUtf8(text, 0);
        EXPECT_TRUE(character.valid && character.code == code && character.length == text.size())
            << code;
    }
    EXPECT_TRUE(crclist::IsUtf8("A\xC3\xA9\xE8\xA1\xA8"));
    EXPECT_FALSE(crclist::IsUtf8("A\xC3"));
}

}  // namespace
