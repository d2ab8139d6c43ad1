#include <iconv.h>

#include <cerrno>

#include "tools/crclist/text/encoding.h"

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8
// glibc's CP932 is Microsoft's table: 0x5C is the backslash and 0x7E the tilde, as on
// Japanese Windows, not the yen sign and overline of JIS X 0201.
constexpr char kShiftJis[] = "CP932";
constexpr char kUtf8[] = "UTF-8";

// A converter for one call, closed on every way out.
class Converter {
  public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (ok()) {
            iconv_close(handle_);
        }
    }
    // NOLINTNEXTLINE(performance-no-int-to-ptr): (iconv_t)-1 is how iconv_open fails
    bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in`, appending to *out. When `replacement` is given, a byte that
    // starts nothing convertible is replaced by it and skipped; otherwise it ends the call
    // with false.
    bool Convert(const std::string& in, std::string* out, const char* replacement) {
        char* from = const_cast<char*>(in.data());
        std::size_t left = in.size();
        char chunk[256];
        while (left > 0) {
            char* to = chunk;
            std::size_t room = sizeof chunk;
            const std::size_t result = iconv(handle_, &from, &left, &to, &room);
            out->append(chunk, static_cast<std::size_t>(to - chunk));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
                // EILSEQ or EINVAL: the byte at `from` starts nothing that converts.
                if (replacement == nullptr) {
                    return false;
                }
                *out += replacement;
                ++from;
                --left;
                iconv(handle_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return true;
    }

  private:
    iconv_t handle_;
};

}  // namespace

std::string SjisToUtf8(const std::string& sjis) {
    std::string utf8;
    Converter converter(kUtf8, kShiftJis);
    if (!converter.ok()) {
        // No converter: keep what is plain ASCII and mark the rest.
        for (char c : sjis) {
            utf8 += static_cast<unsigned char>(c) < 0x80 ? std::string(1, c) : kReplacement;
        }
        return utf8;
    }
    converter.Convert(sjis, &utf8, kReplacement);
    return utf8;
}

bool SjisToUtf8Exact(const std::string& sjis, std::string* utf8) {
    utf8->clear();
    Converter converter(kUtf8, kShiftJis);
    return converter.ok() && converter.Convert(sjis, utf8, nullptr);
}

bool Utf8ToSjis(const std::string& utf8, std::string* sjis) {
    sjis->clear();
    Converter converter(kShiftJis, kUtf8);
    if (!converter.ok() || !converter.Convert(utf8, sjis, nullptr)) {
        return false;
    }
    // iconv maps some characters one way only (the yen sign to 0x5C, the backslash; the wave
    // dash to the full-width tilde's 0x8160): the form must read back as the text given, as on
    // Windows, or a file name would name another file.
    std::string back;
    return SjisToUtf8Exact(*sjis, &back) && back == utf8;
}
