#include <windows.h>

#include "tools/crclist/sjis_to_utf8.h"

namespace {

constexpr UINT kShiftJis = 932;
constexpr wchar_t kReplacement = 0xFFFD;

// Decodes one character of one or two bytes; 0 when the bytes are no character.
int DecodeOne(const char* bytes, int length, wchar_t* wide) {
    return MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes, length, wide, 2);
}

}  // namespace

std::string SjisToUtf8(const std::string& sjis) {
    // One character at a time, so that a byte that does not decode costs only itself.
    std::wstring wide;
    const int size = static_cast<int>(sjis.size());
    for (int i = 0; i < size;) {
        const char* at = sjis.data() + i;
        wchar_t decoded[2];
        int count = 0;
        int used = 1;
        if (IsDBCSLeadByteEx(kShiftJis, static_cast<BYTE>(*at)) && i + 1 < size) {
            count = DecodeOne(at, 2, decoded);
            used = 2;
        }
        if (count <= 0) {
            used = 1;
            // Windows gives 0x80, 0xA0 and 0xFD-0xFF code points of their own; they are
            // no Shift-JIS characters, and iconv refuses them, so both dumps read alike.
            const BYTE byte = static_cast<BYTE>(*at);
            if (byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF)) {
                count = DecodeOne(at, 1, decoded);
            }
        }
        if (count <= 0) {
            wide += kReplacement;
        } else {
            wide.append(decoded, static_cast<std::size_t>(count));
        }
        i += used;
    }
    if (wide.empty()) {
        return std::string();
    }
    const int wideSize = static_cast<int>(wide.size());
    const int needed =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, &utf8[0], needed, nullptr, nullptr);
    }
    return utf8;
}
