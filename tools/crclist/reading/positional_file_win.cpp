#include <windows.h>

#include "platform/win_handles.h"
#include "tools/crclist/reading/positional_file.h"
#include "tools/crclist/text/windows_text.h"

namespace crclist {
namespace {

FileFailure FailureOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_PATHNAME:
            return {true, "not found"};
        case ERROR_ACCESS_DENIED:
            return {false, "permission denied"};
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return {false, "in use by another program"};
        case ERROR_NOT_READY:
            return {false, "there is no disc in the drive"};
        case ERROR_CRC:
        case ERROR_IO_DEVICE:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_READ_FAULT:
            return {false, "input/output error"};
        default:
            return {false, "Windows error " + std::to_string(error)};
    }
}

// A folder is refused as access denied when it is opened as a file: it is no file, not one
// that may not be read.
FileFailure OpenFailureOf(DWORD error, const std::wstring& path) {
    if (error == ERROR_ACCESS_DENIED) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return {true, "not a regular file"};
        }
    }
    return FailureOf(error);
}

}  // namespace

PositionalFile::~PositionalFile() {
    Close();
}

bool PositionalFile::Open(const std::string& path, Accept /*accept*/, FileFailure* failure) {
    Close();
    std::wstring wide;
    if (!ToWide(CP_UTF8, path, &wide)) {
        *failure = {true, "not found"};
        return false;
    }
    // The program's own sharing: a file that some process is writing does not open.
    // Overlapped, so that several threads reading one file at their own offsets really read
    // side by side: Windows serialises the reads of a handle opened without it.
    HANDLE file = CreateFileW(
        wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OVERLAPPED, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *failure = OpenFailureOf(GetLastError(), wide);
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    // A device at a listed name, such as E:\CON or NUL, opens as the device.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        Close();
        *failure = {true, "not a regular file"};
        return false;
    }
    if (!CurrentSize(&size_)) {
        *failure = FailureOf(GetLastError());
        Close();
        return false;
    }
    return true;
}

bool PositionalFile::CurrentSize(std::uint64_t* size) const {
    LARGE_INTEGER value;
    if (handle_ == -1 || !GetFileSizeEx(reinterpret_cast<HANDLE>(handle_), &value) ||
        value.QuadPart < 0) {
        return false;
    }
    *size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
}

void PositionalFile::ReadingToTheEnd() const {
    // FILE_FLAG_SEQUENTIAL_SCAN, given when it was opened, says it already.
}

// Windows tells neither without touching the medium: a file on a drive that seeks is then read
// as one stream, in the order asked for.
bool PositionalFile::CachedBytes(std::uint64_t /*offset*/, std::uint64_t /*length*/,
                                 std::uint64_t* cached) const {
    *cached = 0;
    return false;
}

bool PositionalFile::PhysicalOffset(std::uint64_t* /*offset*/) const {
    return false;
}

bool PositionalFile::ReadOnce(std::uint64_t offset, void* out, std::size_t count, std::size_t* got,
                              std::string* reason) const {
    *got = 0;
    const win::UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (done.Get() == nullptr) {
        *reason = FailureOf(GetLastError()).reason;
        return false;
    }
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    at.hEvent = done.Get();
    const auto asked = static_cast<DWORD>(count > 0x40000000u ? 0x40000000u : count);
    const HANDLE file = reinterpret_cast<HANDLE>(handle_);
    DWORD read = 0;
    if (!ReadFile(file, out, asked, nullptr, &at) && GetLastError() != ERROR_IO_PENDING) {
        // Reading at or past the end is no error: it reads nothing.
        if (GetLastError() == ERROR_HANDLE_EOF) {
            return true;
        }
        *reason = FailureOf(GetLastError()).reason;
        return false;
    }
    if (!GetOverlappedResult(file, &at, &read, TRUE)) {
        if (GetLastError() == ERROR_HANDLE_EOF) {
            return true;
        }
        *reason = FailureOf(GetLastError()).reason;
        return false;
    }
    *got = read;
    return true;
}

void PositionalFile::Close() {
    if (handle_ != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
        handle_ = -1;
    }
}

}  // namespace crclist
