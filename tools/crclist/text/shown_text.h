// How the tool shows what it reports: CRCs, counts, texts of a list and names of the system.
#pragma once

#include <cstdint>
#include <string>

namespace crclist {

// A CRC-32 as eight upper-case hexadecimal digits, as lists, reports and findings write it.
std::string CrcText(std::uint32_t crc);

// "1 file", "2 files": `count` and the `noun`, with an s unless the count is one.
std::string CountText(std::uint64_t count, const std::string& noun);

// The one rule for what may reach a terminal or a text report: `utf8` with each control
// character (below U+0020, U+007F, and U+0080 to U+009F) and each byte that is not UTF-8
// written as \xNN, byte by byte. A name from a list or a disc then can neither act on the
// terminal (ESC [31m) nor split the one line that a script reads for a file.
std::string EscapedControls(const std::string& utf8);

// A text of the system (a path, a name, an argument) in UTF-8, or, when it is not valid in
// the system's encoding, with each byte above 0x7F written as \xNN, so that no byte is lost.
// Control characters stay: for JSON, which escapes them in its own way.
std::string SystemTextInUtf8(const std::string& text);

// A text of the system as the text outputs show it: SystemTextInUtf8, then EscapedControls.
std::string ShownSystemText(const std::string& text);

// A Shift-JIS text of a list (a name, a message of the program) as the text outputs show it:
// in UTF-8, a byte that does not decode as U+FFFD, then EscapedControls.
std::string ShownListText(const std::string& sjis);

}  // namespace crclist
