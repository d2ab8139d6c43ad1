// Files through Win32: the size, reads and closing of a file that one of the two halves
// opened (files_open_ansi_win.cpp for the program, files_open_utf8_win.cpp for crclist).
#include <windows.h>

#include "platform/platform.h"

namespace platform {

bool QueryFileSize(File file, std::uint64_t* size) {
    LARGE_INTEGER value;
    if (file == nullptr || !GetFileSizeEx(static_cast<HANDLE>(file), &value) ||
        value.QuadPart < 0) {
        return false;
    }
    *size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
}

bool ReadFile(File file, void* buffer, std::uint32_t count, std::uint32_t* read) {
    *read = 0;
    if (file == nullptr) {
        return false;
    }
    DWORD got = 0;
    if (!::ReadFile(static_cast<HANDLE>(file), buffer, count, &got, nullptr)) {
        return false;
    }
    *read = got;
    return true;
}

bool CloseFile(File file) {
    return file != nullptr && CloseHandle(static_cast<HANDLE>(file));
}

}  // namespace platform
