#include "text.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace e2e {
namespace {

constexpr UINT kShiftJis = 932;

std::wstring ToWide(UINT codePage, const std::string& bytes, DWORD flags) {
    if (bytes.empty()) {
        return std::wstring();
    }
    int length = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()),
                                     nullptr, 0);
    if (length <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), &wide[0],
                        length);
    return wide;
}

std::string FromWide(UINT codePage, const std::wstring& wide, BOOL* lossy) {
    if (wide.empty()) {
        return std::string();
    }
    // CP_UTF8 refuses the lossy flag; it never needs it.
    BOOL* usedDefault = codePage == CP_UTF8 ? nullptr : lossy;
    int length = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                     nullptr, 0, nullptr, usedDefault);
    if (length <= 0) {
        return std::string();
    }
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0], length,
                        nullptr, usedDefault);
    return bytes;
}

}  // namespace

bool Utf8ToCp932(const std::string& utf8, std::string* cp932) {
    std::wstring wide = ToWide(CP_UTF8, utf8, MB_ERR_INVALID_CHARS);
    if (wide.empty() && !utf8.empty()) {
        return false;
    }
    BOOL lossy = FALSE;
    *cp932 = FromWide(kShiftJis, wide, &lossy);
    return !lossy;
}

std::string Cp932ToUtf8(const std::string& cp932) {
    return FromWide(CP_UTF8, ToWide(kShiftJis, cp932, 0), nullptr);
}

std::string WideToCp932(const wchar_t* wide) {
    return FromWide(kShiftJis, std::wstring(wide), nullptr);
}

std::string WideToUtf8(const wchar_t* wide) {
    return FromWide(CP_UTF8, std::wstring(wide), nullptr);
}

std::string Utf8ToAnsi(const std::string& utf8) {
    return FromWide(CP_ACP, ToWide(CP_UTF8, utf8, 0), nullptr);
}

std::string Quote(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string Hex(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02x", c);
        if (!out.empty()) {
            out += ' ';
        }
        out += digits;
    }
    return out;
}

}  // namespace e2e
