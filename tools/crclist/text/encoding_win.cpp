#include <windows.h>

#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/windows_text.h"

namespace {

constexpr UINT kShiftJis = 932;
constexpr wchar_t kReplacement = 0xFFFD;

// Windows decodes 0x80, 0xA0 and 0xFD-0xFF to code points of their own; they are no Shift-JIS
// characters, and iconv refuses them, so both builds read alike.
bool IsSingleByteCharacter(BYTE byte) {
    return byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF);
}

// Decodes one character of one or two bytes; 0 when the bytes are no character.
int DecodeOne(const char* bytes, int length, wchar_t* wide) {
    return MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes, length, wide, 2);
}

// Decodes `sjis` one character at a time, so that a byte that does not decode costs only
// itself: it becomes U+FFFD, or with `exact` ends the call with false.
bool DecodeSjis(const std::string& sjis, bool exact, std::wstring* out) {
    std::wstring& wide = *out;
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
            if (IsSingleByteCharacter(static_cast<BYTE>(*at))) {
                count = DecodeOne(at, 1, decoded);
            }
        }
        if (count <= 0) {
            if (exact) {
                return false;
            }
            wide += kReplacement;
        } else {
            wide.append(decoded, static_cast<std::size_t>(count));
        }
        i += used;
    }
    return true;
}

}  // namespace

// `bytes` of `codePage` in UTF-16, exactly: false when they are not valid in it.
bool ToWide(UINT codePage, const std::string& bytes, std::wstring* wide) {
    wide->clear();
    if (bytes.empty()) {
        return true;
    }
    const int size = static_cast<int>(bytes.size());
    const int wideSize =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (wideSize <= 0) {
        return false;
    }
    wide->resize(static_cast<std::size_t>(wideSize));
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, &(*wide)[0], wideSize);
    return true;
}

std::string WideToUtf8(const std::wstring& wide) {
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

std::string SjisToUtf8(const std::string& sjis) {
    std::wstring wide;
    DecodeSjis(sjis, false, &wide);
    return WideToUtf8(wide);
}

bool SjisToUtf8Exact(const std::string& sjis, std::string* utf8) {
    std::wstring wide;
    if (!DecodeSjis(sjis, true, &wide)) {
        return false;
    }
    *utf8 = WideToUtf8(wide);
    return true;
}

bool Utf8ToSjis(const std::string& utf8, std::string* sjis) {
    sjis->clear();
    if (utf8.empty()) {
        return true;
    }
    std::wstring wide;
    if (!ToWide(CP_UTF8, utf8, &wide)) {
        return false;
    }
    const int wideSize = static_cast<int>(wide.size());
    // No best fit: a character without a Shift-JIS form must fail, not turn into a look-alike.
    BOOL usedDefault = FALSE;
    const int needed = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize,
                                           nullptr, 0, nullptr, &usedDefault);
    if (needed <= 0 || usedDefault) {
        return false;
    }
    sjis->resize(static_cast<std::size_t>(needed));
    WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, &(*sjis)[0], needed,
                        nullptr, &usedDefault);
    // Several code points share one Shift-JIS form on Windows; the form must read back as the
    // text that was given.
    std::string back;
    return !usedDefault && SjisToUtf8Exact(*sjis, &back) && back == utf8;
}

bool AnsiToUtf8(const std::string& ansi, std::string* utf8) {
    std::wstring wide;
    if (!ToWide(CP_ACP, ansi, &wide)) {
        return false;
    }
    *utf8 = WideToUtf8(wide);
    return true;
}
