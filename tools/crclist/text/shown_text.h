// How the tool shows what it reports: CRCs, texts of a list and names of the system.
#pragma once

#include <cstdint>
#include <string>

namespace crclist {

// A CRC-32 as eight upper-case hexadecimal digits, as lists, reports and findings write it.
std::string CrcText(std::uint32_t crc);

}  // namespace crclist
