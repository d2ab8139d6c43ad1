// Tokens of the information file. The kind numbers are fixed: the parser compares them.
#pragma once

#include <cstdint>
#include <string>

enum TokenKind : std::int32_t {
    TokEnd = 0,
    TokWord = 2,
    TokDriveInfo = 3,
    TokTitle = 4,
    TokGame = 5,
    TokReg = 6,
    TokCdFiles = 7,
    TokGameData = 8,
    TokMessage = 9,
    TokPlus = 10,
    TokMinus = 11,
    TokStar = 12,
    TokSlash = 13,
    TokPercent = 14,
    TokAssign = 15,
    TokLParen = 16,
    TokRParen = 17,
    TokLBrace = 18,
    TokRBrace = 19,
    TokLBracket = 20,
    TokRBracket = 21,
    TokPlusAssign = 22,
    TokMinusAssign = 23,
    TokSemicolon = 24,
    TokComma = 25,
    TokSingleQuoted = 26,
    TokDoubleQuoted = 27,
    TokEqual = 28,
    TokNotEqual = 29,
    TokLess = 30,
    TokLessEqual = 31,
    TokGreater = 32,
    TokGreaterEqual = 33,
    TokInvalid = 36,
};

// A kind that sets no text keeps the text of the last token that set one.
struct Token {
    std::int32_t kind = TokEnd;
    std::string text;  // Shift-JIS bytes
};
