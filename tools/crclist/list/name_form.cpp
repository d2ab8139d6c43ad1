#include "tools/crclist/list/name_form.h"

#include <vector>

namespace crclist {
namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

bool IsSjisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string NameFormProblem(const std::string& sjis) {
    if (sjis.empty()) {
        return "is empty";
    }
    // Split at '\' bytes that are characters of their own, not second bytes.
    std::vector<std::string> parts(1);
    bool slash = false;
    for (std::size_t i = 0; i < sjis.size(); ++i) {
        const char c = sjis[i];
        if (IsSjisLeadByte(static_cast<unsigned char>(c)) && i + 1 < sjis.size()) {
            parts.back() += c;
            parts.back() += sjis[++i];
        } else if (c == '\\') {
            parts.emplace_back();
        } else {
            slash = slash || c == '/';
            parts.back() += c;
        }
    }
    if (sjis[0] == '\\') {
        return "starts with '\\'";
    }
    if (slash) {
        return "holds '/' (folders are separated by '\\')";
    }
    if (sjis.size() >= 2 && IsAsciiLetter(sjis[0]) && sjis[1] == ':') {
        return "starts with a drive letter";
    }
    for (const std::string& part : parts) {
        if (part == "..") {
            return "has a '..' part";
        }
    }
    return "";
}

}  // namespace crclist
