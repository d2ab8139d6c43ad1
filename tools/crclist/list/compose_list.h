// Writing a check list: each value in the one form that the program reads back as the same
// text, the sections in a fixed order, one entry a line, CR LF line ends.
#pragma once

#include <string>
#include <vector>

#include "inf/check_list.h"

namespace crclist {

// What a list is to say, every text in Shift-JIS.
struct ListContent {
    std::string title;
    bool hasGame = false;
    std::string gameKey;
    std::vector<std::string> messageLines;
    std::vector<std::vector<std::string>> prompts;  // the lines of each DRIVEINFO section
    std::vector<DiscGroup> discs;                   // one CDFILES section each
    std::vector<FileEntry> installed;               // the REG section
};

// `text` as a value: a word when the program's lexer reads it back as that one word (a
// keyword spelling is quoted), otherwise in single quotes, or in double quotes when it holds
// a single one. False when no form reads back as `text` (it holds both quotes).
bool FormatValue(const std::string& text, std::string* value);

// The whole file: TITLE, GAME (when given), MESSAGE (when there are lines), the DRIVEINFO
// sections, the CDFILES sections and REG (when there are entries), "NAME, SIZE, CRC" with the
// CRC as eight upper-case hexadecimal digits. False when a text cannot be written; `problem`
// then names it (in UTF-8).
bool WriteList(const ListContent& content, std::string* bytes, std::string* problem);

// The check list that the program should read from what WriteList wrote.
CheckList ExpectedList(const ListContent& content);

// Whether two check lists hold the same things.
bool SameList(const CheckList& a, const CheckList& b);

// A size as make writes it, in decimal; its CRC is written as CrcText (text/shown_text.h).
std::string SizeText(std::int32_t size);

}  // namespace crclist
