#include "tools/crclist/text/shown_text.h"

#include <cinttypes>
#include <cstdio>

#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/utf8.h"

namespace crclist {
namespace {

void AppendEscaped(const std::string& text, std::size_t at, std::size_t length, std::string& out) {
    for (std::size_t i = at; i < at + length; ++i) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(text[i]));
        out += escaped;
    }
}

bool IsControl(std::uint32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

}  // namespace

std::string CrcText(std::uint32_t crc) {
    char text[9];
    std::snprintf(text, sizeof text, "%08" PRIX32, crc);
    return text;
}

std::string CountText(std::uint64_t count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string EscapedControls(const std::string& utf8) {
    std::string shown;
    shown.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Character character = DecodeUtf8(utf8, i);
        if (!character.valid || IsControl(character.code)) {
            AppendEscaped(utf8, i, character.length, shown);
        } else {
            shown.append(utf8, i, character.length);
        }
        i += character.length;
    }
    return shown;
}

std::string SystemTextInUtf8(const std::string& text) {
    std::string utf8;
    if (SystemToUtf8(text, &utf8)) {
        return utf8;
    }
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            shown += text[i];
        } else {
            AppendEscaped(text, i, 1, shown);
        }
    }
    return shown;
}

std::string ShownSystemText(const std::string& text) {
    return EscapedControls(SystemTextInUtf8(text));
}

std::string ShownListText(const std::string& sjis) {
    return EscapedControls(SjisToUtf8(sjis));
}

}  // namespace crclist
