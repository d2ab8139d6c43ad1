// Words of the plain ASCII kind that sheets and keywords are written in, whatever the locale.
#pragma once

#include <string>

namespace crclist {

// `text` with a to z in capitals; every other byte as it is.
std::string AsciiUpper(std::string text);

// `text` without the characters of `blanks` at either end.
std::string Trimmed(const std::string& text, const char* blanks);

}  // namespace crclist
