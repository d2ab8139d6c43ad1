#include <windows.h>

#include "tools/crclist/reading/sequential_file.h"
#include "tools/crclist/reading/sequential_file_testing.h"
#include "tools/crclist/text/windows_text.h"

namespace crclist {

SequentialFile::~SequentialFile() {
    Close();
}

bool SequentialFile::Open(const std::string& path) {
    Close();
    std::wstring wide;
    if (!ToWide(CP_UTF8, path, &wide)) {
        return false;
    }
    // The program's own sharing: a file that some process is writing does not open.
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    if (!Size(&openedSize_)) {
        Close();
        return false;
    }
    return true;
}

void SequentialFile::ReadingToTheEnd() {
    // FILE_FLAG_SEQUENTIAL_SCAN, given when it was opened, says it already.
}

bool SequentialFile::Size(std::uint64_t* size) const {
    LARGE_INTEGER value;
    if (handle_ == -1 || !GetFileSizeEx(reinterpret_cast<HANDLE>(handle_), &value) ||
        value.QuadPart < 0) {
        return false;
    }
    *size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
}

bool SequentialFile::Read(void* buffer, std::size_t count, std::size_t* got) {
    *got = 0;
    if (handle_ == -1) {
        return false;
    }
    DWORD read = 0;
    const auto asked = static_cast<DWORD>(count > 0x40000000u ? 0x40000000u : count);
    if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, asked, &read, nullptr)) {
        return false;
    }
    *got = read;
    return true;
}

bool SequentialFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count,
                            std::size_t* got) const {
    *got = 0;
    if (handle_ == -1 || testing::ReadFailsNow(offset, count)) {
        return false;
    }
    // A synchronous handle reads at the offset that the OVERLAPPED gives.
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    const auto asked = static_cast<DWORD>(count > 0x40000000u ? 0x40000000u : count);
    if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, asked, &read, &at)) {
        // Reading at or past the end is no error: it reads nothing.
        return ::GetLastError() == ERROR_HANDLE_EOF;
    }
    *got = read;
    return true;
}

void SequentialFile::Close() {
    if (handle_ != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
        handle_ = -1;
    }
}

}  // namespace crclist
