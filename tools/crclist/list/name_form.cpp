#include "tools/crclist/list/name_form.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace crclist {
namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The characters that no Windows file name holds, besides the folder separators and the
// control characters.
constexpr char kNotAllowed[] = "<>:\"|?*";

// The parts of a Shift-JIS name between its '\' characters; a '\' that is the second byte of
// a character separates nothing.
std::vector<std::string> Parts(const std::string& sjis) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < sjis.size(); ++i) {
        const char c = sjis[i];
        if (IsSjisLeadByte(static_cast<unsigned char>(c)) && i + 1 < sjis.size()) {
            parts.back() += c;
            parts.back() += sjis[++i];
        } else if (c == '\\') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

// The device that Windows opens for `part` ("CON" for "con", "Con.txt" or "CON .dat"), or
// the empty text when it opens a file.
std::string DeviceName(const std::string& part) {
    std::string base = part.substr(0, part.find('.'));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    for (char& c : base) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : kDevices) {
        if (base == device) {
            return base;
        }
    }
    const bool numbered =
        base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0);
    return numbered && base[3] >= '1' && base[3] <= '9' ? base : "";
}

}  // namespace

bool IsSjisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string NameFormProblem(const std::string& sjis) {
    if (sjis.empty()) {
        return "is empty";
    }
    if (sjis[0] == '\\') {
        return "starts with '\\'";
    }
    // '/' is below every second byte, so it is always a character of its own.
    if (sjis.find('/') != std::string::npos) {
        return "holds '/' (folders are separated by '\\')";
    }
    if (sjis.size() >= 2 && IsAsciiLetter(sjis[0]) && sjis[1] == ':') {
        return "starts with a drive letter";
    }
    for (const std::string& part : Parts(sjis)) {
        if (part == "..") {
            return "has a '..' part";
        }
    }
    return "";
}

WindowsNameFault WindowsNameProblem(const std::string& sjis, std::string* problem) {
    for (std::size_t i = 0; i < sjis.size(); ++i) {
        const auto byte = static_cast<unsigned char>(sjis[i]);
        if (IsSjisLeadByte(byte) && i + 1 < sjis.size()) {
            ++i;  // a second byte may be any of the characters below
            continue;
        }
        char shown[32];
        if (byte < 0x20) {
            std::snprintf(shown, sizeof shown, "a control character (0x%02X)", byte);
        } else if (std::strchr(kNotAllowed, byte) != nullptr) {
            std::snprintf(shown, sizeof shown, "'%c'", byte);
        } else {
            continue;
        }
        *problem = std::string("holds ") + shown + ", which Windows does not allow in a file name";
        return WindowsNameFault::kNotAllowed;
    }
    const std::vector<std::string> parts = Parts(sjis);
    for (const std::string& part : parts) {
        const std::string device = DeviceName(part);
        if (!device.empty()) {
            *problem = "names the device " + device +
                       (part.find('.') == std::string::npos
                            ? ""
                            : " (before an extension, as Windows 10 and older read it)") +
                       ", which Windows opens instead of a file";
            return WindowsNameFault::kDevice;
        }
    }
    for (const std::string& part : parts) {
        // A part's last byte is never a second byte that looks like ' ' or '.': both are
        // below every second byte.
        if (!part.empty() && (part.back() == ' ' || part.back() == '.') && part != "." &&
            part != "..") {
            *problem = std::string("has a name that ends in ") +
                       (part.back() == ' ' ? "a space" : "a dot") +
                       ", which Windows drops when it opens a file";
            return WindowsNameFault::kTrimmed;
        }
    }
    problem->clear();
    return WindowsNameFault::kNone;
}

}  // namespace crclist
