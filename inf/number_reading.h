// The two number readings of the information file: entry sizes in decimal and CRCs in
// hexadecimal. They are written out by hand rather than left to the C library so that
// every target reads every text alike, including texts that overflow 32 bits.
#pragma once

#include <cstdint>
#include <string>

namespace inf {

// Optional leading white space, an optional sign, then decimal digits up to the first
// byte that is no digit; the rest is ignored. No digits reads as 0. A value beyond the
// signed 32-bit range saturates to INT32_MAX or INT32_MIN.
std::int32_t ReadSize(const std::string& text);

// The "%X" reading: optional leading white space, an optional sign, an optional 0x or
// 0X, then hexadecimal digits of either case up to the first byte that is none. More than
// eight digits keep the low 32 bits; a '-' negates modulo 2^32. "0x" followed by no
// hexadecimal digit reads as the 0 before the x. False, and *crc untouched, when the
// text does not begin with a hexadecimal number in this way.
bool ReadCrc(const std::string& text, std::uint32_t* crc);

}  // namespace inf
