#include <iconv.h>

#include <cerrno>

#include "tools/crclist/sjis_to_utf8.h"

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

}  // namespace

std::string SjisToUtf8(const std::string& sjis) {
    std::string utf8;
    iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        // No converter: keep what is plain ASCII and mark the rest.
        for (char c : sjis) {
            if (static_cast<unsigned char>(c) < 0x80) {
                utf8 += c;
            } else {
                utf8 += kReplacement;
            }
        }
        return utf8;
    }
    char* in = const_cast<char*>(sjis.data());
    std::size_t inLeft = sjis.size();
    char chunk[256];
    while (inLeft > 0) {
        char* out = chunk;
        std::size_t outLeft = sizeof chunk;
        const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        utf8.append(chunk, static_cast<std::size_t>(out - chunk));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // EILSEQ or EINVAL: the byte at `in` starts nothing that decodes.
            utf8 += kReplacement;
            ++in;
            --inLeft;
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(converter);
    return utf8;
}
