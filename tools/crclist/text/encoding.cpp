#include "tools/crclist/text/encoding.h"

#include "tools/crclist/text/utf8.h"

bool SystemToUtf8(const std::string& text, std::string* utf8) {
    // The tool's own texts are UTF-8 on every system; what is not well-formed is refused.
    if (!crclist::IsUtf8(text)) {
        utf8->clear();
        return false;
    }
    *utf8 = text;
    return true;
}

bool SystemToSjis(const std::string& text, std::string* sjis) {
    std::string utf8;
    return SystemToUtf8(text, &utf8) && Utf8ToSjis(utf8, sjis);
}
