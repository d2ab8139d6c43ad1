#include "tools/crclist/text/path_join.h"
#include "tools/crclist/text/windows_text.h"

namespace crclist {

const char kSystemSeparator = '\\';

// In UTF-8 a '\' or '/' byte is always that character, never the second byte of another.
bool IsSystemSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace crclist

std::wstring FullPathOf(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length = size == 0 ? 0 : GetFullPathNameW(path.c_str(), size, &full[0], nullptr);
    return length == 0 || length >= size ? path : full.substr(0, length);
}
