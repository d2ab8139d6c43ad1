#include "inf/number_reading.h"

namespace inf {
namespace {

// The white space of C's isspace in the "C" locale, independent of the current locale.
bool IsSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

int HexValue(unsigned char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Skips white space and one sign; returns true when the sign was '-'.
bool SkipSpaceAndSign(const std::string& text, std::size_t& i) {
    while (i < text.size() && IsSpace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return negative;
}

}  // namespace

std::int32_t ReadSize(const std::string& text) {
    std::size_t i = 0;
    const bool negative = SkipSpaceAndSign(text, i);
    // One past INT32_MAX is the magnitude of INT32_MIN; anything larger saturates.
    constexpr std::int64_t kLimit = std::int64_t{INT32_MAX} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(static_cast<unsigned char>(text[i])); ++i) {
        if (magnitude < kLimit) {
            magnitude = magnitude * 10 + (text[i] - '0');
        }
    }
    if (magnitude > kLimit) {
        magnitude = kLimit;
    }
    if (negative) {
        return static_cast<std::int32_t>(-magnitude);
    }
    return magnitude >= kLimit ? INT32_MAX : static_cast<std::int32_t>(magnitude);
}

bool ReadCrc(const std::string& text, std::uint32_t* crc) {
    std::size_t i = 0;
    const bool negative = SkipSpaceAndSign(text, i);
    bool haveDigit = false;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        // The 0 of the prefix is a number of its own when no hexadecimal digit follows.
        haveDigit = true;
        i += 2;
    }
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = HexValue(static_cast<unsigned char>(text[i]));
        if (digit < 0) {
            break;
        }
        // Shifting an unsigned value drops the high digits: the last eight remain.
        value = (value << 4) | static_cast<std::uint32_t>(digit);
        haveDigit = true;
    }
    if (!haveDigit) {
        return false;
    }
    *crc = negative ? 0u - value : value;
    return true;
}

}  // namespace inf
