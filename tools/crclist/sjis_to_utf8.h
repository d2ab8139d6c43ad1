// Shift-JIS (code page 932) byte strings to UTF-8, for tools that print check lists.
#pragma once

#include <string>

// Every byte that does not decode becomes U+FFFD and the conversion goes on after it.
std::string SjisToUtf8(const std::string& sjis);
