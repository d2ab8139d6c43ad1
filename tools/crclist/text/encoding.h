// Shift-JIS (code page 932) and UTF-8, for a tool whose lists are Shift-JIS and whose users
// read and type UTF-8. Through iconv natively and the code page functions on Windows.
#pragma once

#include <string>

// For display: every byte that does not decode becomes U+FFFD and the conversion goes on
// after it.
std::string SjisToUtf8(const std::string& sjis);

// Exact conversions: false, and the output unspecified, when a byte of `sjis` starts no
// Shift-JIS character, when `utf8` is not valid UTF-8, or when one of its characters has no
// Shift-JIS form. Nothing is replaced or approximated.
bool SjisToUtf8Exact(const std::string& sjis, std::string* utf8);
bool Utf8ToSjis(const std::string& utf8, std::string* sjis);

// Texts of the system (command-line texts and file names) to UTF-8 and to Shift-JIS, exactly.
// The tool takes them in UTF-8 on every system: natively as they are, on Windows from UTF-16
// (text/arguments, the wide functions). False when `text` is not valid UTF-8, or (to
// Shift-JIS) holds a character without a Shift-JIS form.
bool SystemToUtf8(const std::string& text, std::string* utf8);
bool SystemToSjis(const std::string& text, std::string* sjis);
