// The size and CRC-32 of a file, as the program computes them when it verifies it.
#pragma once

#include <cstdint>
#include <string>

namespace crclist {

enum class Measure { kOk, kCannotRead, kTooLarge };

// Measures the file at `path` (in the system's encoding). A file over 2147483647 bytes, which
// no entry can describe, is kTooLarge and is not read.
Measure MeasureFile(const std::string& path, std::int32_t* size, std::uint32_t* crc);

}  // namespace crclist
