// Opening a file by a name in UTF-8 through the wide functions: the crclist tool's way, so
// that the program's reader opens a list by any name, whatever the system's code page.
#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace platform {

File OpenFileForReading(const char* path) {
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    if (size <= 0) {
        return nullptr;
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, &wide[0], size);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return file;
}

}  // namespace platform
