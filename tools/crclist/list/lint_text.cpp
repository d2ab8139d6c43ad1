#include <cstdio>

#include "tools/crclist/list/lint_checks.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/shown_text.h"
#include "tools/crclist/text/utf8.h"

namespace crclist {
namespace {

// Longer texts are cut, at a character, so that a finding stays one readable line.
constexpr std::size_t kShownCharacters = 60;

}  // namespace

std::string Shown(const std::string& sjis) {
    return ShownUtf8(SjisToUtf8(sjis));
}

std::string ShownUtf8(const std::string& utf8) {
    std::size_t end = 0;
    for (std::size_t characters = 0; end < utf8.size() && characters < kShownCharacters;
         ++characters) {
        end += DecodeUtf8(utf8, end).length;
    }
    return "'" + EscapedControls(utf8.substr(0, end)) + (end < utf8.size() ? "..." : "") + "'";
}

std::string ShownByte(std::uint8_t byte) {
    char text[16];
    if (byte > 0x20 && byte < 0x7F) {
        std::snprintf(text, sizeof text, "0x%02X ('%c')", byte, byte);
    } else {
        std::snprintf(text, sizeof text, "0x%02X", byte);
    }
    return text;
}

std::string KeywordName(std::int32_t keyword) {
    switch (keyword) {
        case TokTitle:
            return "TITLE";
        case TokGame:
            return "GAME";
        case TokReg:
            return "REG";
        case TokCdFiles:
            return "CDFILES";
        case TokMessage:
            return "MESSAGE";
        case TokDriveInfo:
            return "DRIVEINFO";
        default:
            return "?";
    }
}

std::string SectionName(const ListReading& reading, std::size_t section) {
    const ReadSection& read = reading.sections[section];
    std::string name = "[" + KeywordName(read.keyword) + "]";
    if (reading.sectionCounts.at(read.keyword) > 1) {
        name += " section " + std::to_string(read.ordinal);
    }
    return name;
}

}  // namespace crclist
