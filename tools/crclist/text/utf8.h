// UTF-8, read one character at a time: the one decoder of the tool, for every place that
// walks a UTF-8 text (case folding, glob patterns, widths on a terminal, shortened texts).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace crclist {

struct Utf8Character {
    std::uint32_t code = 0;  // the code point; for a byte that is not valid, that byte
    std::size_t length = 1;  // in bytes
    bool valid = false;
};

// The character that starts at byte `at` (< text.size()). A byte that does not begin a
// well-formed sequence (a stray continuation byte, an overlong form, a surrogate, a code point
// above U+10FFFF, a sequence cut short) is a character of its own: one byte, not valid. So
// every byte of any text belongs to exactly one character, and a walk always moves on.
Utf8Character DecodeUtf8(const std::string& text, std::size_t at);

// Appends code point `code` (at most U+10FFFF) in UTF-8.
void AppendUtf8(std::uint32_t code, std::string& out);

// UTF-16 in big-endian byte order, as Joliet names are written, in UTF-8: a surrogate pair is
// one character, and a surrogate without its other half U+FFFD. An odd last byte is dropped.
std::string Utf16BigEndianToUtf8(const unsigned char* bytes, std::size_t length);

// 3 when `text` begins with the UTF-8 mark (EF BB BF) that some editors write first, else 0.
std::size_t Utf8MarkLength(const std::string& text);

// Whether every character of `text` is valid.
bool IsUtf8(const std::string& text);

}  // namespace crclist
