// A small JSON writer for the crclist dump: just what a check list needs.
#pragma once

#include <string>

// A JSON string literal for UTF-8 text: quotes and backslashes escaped, control
// characters as \u00XX.
std::string JsonString(const std::string& utf8);
