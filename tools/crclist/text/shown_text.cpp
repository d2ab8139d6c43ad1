#include "tools/crclist/text/shown_text.h"

#include <cinttypes>
#include <cstdio>

#include "tools/crclist/text/encoding.h"

namespace crclist {

std::string CrcText(std::uint32_t crc) {
    char text[9];
    std::snprintf(text, sizeof text, "%08" PRIX32, crc);
    return text;
}

std::string ShownSystemText(const std::string& text) {
    std::string utf8;
    if (SystemToUtf8(text, &utf8)) {
        return utf8;
    }
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            shown += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        }
    }
    return shown;
}

}  // namespace crclist
