// How the tool shows what it reports: CRCs, texts of a list and names of the system.
#pragma once

#include <cstdint>
#include <string>

namespace crclist {

// A CRC-32 as eight upper-case hexadecimal digits, as lists, reports and findings write it.
std::string CrcText(std::uint32_t crc);

// A text of the system (a path, a name, an argument) as the tool shows it: in UTF-8, or,
// when it is not valid in the system's encoding, with each byte above 0x7F written as \xNN,
// so that what the tool writes is always UTF-8 and no byte is lost.
std::string ShownSystemText(const std::string& text);

}  // namespace crclist
