#include "tools/crclist/text/windows_names.h"

#include <cstdint>

#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/utf8.h"

namespace crclist {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Windows drops trailing spaces and dots from each component of a path it opens.
std::string TrimComponent(std::string component) {
    while (!component.empty() && (component.back() == ' ' || component.back() == '.')) {
        component.pop_back();
    }
    return component;
}

// The upper-case form of the lower-case letters in Shift-JIS's repertoire.
std::uint32_t UpperCase(std::uint32_t c) {
    struct Range {
        std::uint32_t first, last, offset;
    };
    static constexpr Range kRanges[] = {
        {'a', 'z', 0x20},        // ASCII
        {0x03B1, 0x03C1, 0x20},  // Greek alpha to rho
        {0x03C3, 0x03C9, 0x20},  // Greek sigma to omega
        {0x0430, 0x044F, 0x20},  // Cyrillic a to ya
        {0x0450, 0x045F, 0x50},  // Cyrillic io and the others above ya
        {0x2170, 0x217F, 0x10},  // small Roman numerals
        {0xFF41, 0xFF5A, 0x20},  // full-width Latin
    };
    if (c == 0x03C2) {  // final sigma
        return 0x03A3;
    }
    for (const Range& range : kRanges) {
        if (c >= range.first && c <= range.last) {
            return c - range.offset;
        }
    }
    return c;
}

}  // namespace

bool SplitListedName(const std::string& sjisName, std::vector<std::string>* components) {
    components->clear();
    std::string utf8;
    if (!SjisToUtf8Exact(sjisName, &utf8)) {
        return false;
    }
    // In UTF-8 a '\' or '/' byte is always that character; in Shift-JIS it may be the second
    // byte of another, so the name is split only after it has been converted.
    std::size_t start = 0;
    while (start <= utf8.size()) {
        std::size_t end = start;
        while (end < utf8.size() && !IsSeparator(utf8[end])) {
            ++end;
        }
        const std::string raw = utf8.substr(start, end - start);
        if (raw == "..") {
            if (!components->empty()) {
                components->pop_back();
            }
        } else if (raw != ".") {
            std::string component = TrimComponent(raw);
            if (!component.empty()) {
                components->push_back(std::move(component));
            }
        }
        start = end + 1;
    }
    return true;
}

std::string FoldCase(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Character character = DecodeUtf8(utf8, i);
        if (character.valid) {
            AppendUtf8(UpperCase(character.code), out);
        } else {
            out += utf8[i];
        }
        i += character.length;
    }
    return out;
}

std::string RegistryValueKey(const std::string& name) {
    std::string utf8;
    if (SjisToUtf8Exact(name, &utf8)) {
        return FoldCase(utf8);
    }
    return "\x01" + FoldCase(name);
}

std::string ListedNameAsPath(const std::string& sjisName) {
    std::string path;
    for (const char c : SjisToUtf8(sjisName)) {
        if (!IsSeparator(c)) {
            path += c;
        } else if (!path.empty() && path.back() != '/') {
            path += '/';
        }
    }
    if (!path.empty() && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

}  // namespace crclist
