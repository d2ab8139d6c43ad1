// Opening a file by a name in the ANSI code page, as the program does.
#include <windows.h>

#include "platform/platform.h"

namespace platform {

File OpenFileForReading(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return file;
}

}  // namespace platform
