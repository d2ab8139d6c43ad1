// Byte-exact text handling for the driver. Scripts are UTF-8; the program under test shows
// Shift-JIS (code page 932) bytes. Comparisons are made on the code page 932 bytes, and
// everything the driver prints is UTF-8 so that it reads correctly on the Unix terminal.
#pragma once

#include <string>

namespace e2e {

// UTF-8 to code page 932. Returns false when a character has no code page 932 form, so that a
// script cannot silently compare against a substituted '?'.
bool Utf8ToCp932(const std::string& utf8, std::string* cp932);

// Code page 932 to UTF-8. Bytes that form no character come out as U+FFFD.
std::string Cp932ToUtf8(const std::string& cp932);

// UTF-16 to code page 932, for texts that another process hands over in UTF-16.
std::string WideToCp932(const wchar_t* wide);

// UTF-16 to UTF-8, for the command line.
std::string WideToUtf8(const wchar_t* wide);

// UTF-8 to the ANSI code page, for paths handed to the A functions.
std::string Utf8ToAnsi(const std::string& utf8);

// Quoted for a report line: line feeds as \n, other control bytes as \xNN, the rest as is.
std::string Quote(const std::string& utf8);

// Hexadecimal dump of raw bytes, "82 a0 0a".
std::string Hex(const std::string& bytes);

}  // namespace e2e
