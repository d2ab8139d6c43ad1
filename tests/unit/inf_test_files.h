// What the information-file tests share: scratch files in a private folder (temp_file.h) and
// the lexer's invalid-token message as the user must see it.
#pragma once

#include <string>

#include "temp_file.h"

// The invalid-token message for a byte on a line.
inline std::string InvalidTokenMessage(const std::string& byte, int line) {
    return byte + "," + std::to_string(line) + ",は無効なトークン";
}
