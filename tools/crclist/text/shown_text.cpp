#include "tools/crclist/text/shown_text.h"

#include <cinttypes>
#include <cstdio>

namespace crclist {

std::string CrcText(std::uint32_t crc) {
    char text[9];
    std::snprintf(text, sizeof text, "%08" PRIX32, crc);
    return text;
}

}  // namespace crclist
