#include <windows.h>

#include "tools/crclist/list/list_source.h"
#include "tools/crclist/text/windows_text.h"

namespace crclist {
namespace {

// What keeps the file at `path` from being read, in words that follow its name.
std::string Why(DWORD error, const std::wstring& path) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return "there is no such file";
        case ERROR_ACCESS_DENIED: {
            // A folder cannot be opened as a file and says no more than this.
            const DWORD attributes = GetFileAttributesW(path.c_str());
            return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                       ? kIsAFolder
                       : "permission denied";
        }
        case ERROR_SHARING_VIOLATION:
            return "another program holds it open";
        default:
            return "Windows error " + std::to_string(error);
    }
}

// The file of a source, open for reading; standard input is left open.
class SourceFile {
  public:
    explicit SourceFile(const std::wstring* path)
        : owned_(path != nullptr),
          handle_(owned_ ? CreateFileW(path->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)
                         : GetStdHandle(STD_INPUT_HANDLE)) {}
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;
    ~SourceFile() {
        if (owned_ && handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    HANDLE get() const { return handle_; }

  private:
    bool owned_;
    HANDLE handle_;
};

// Reads `file` to its end, or to one byte past kLargestList. A pipe whose writer has gone
// ends there.
bool ReadToEnd(HANDLE file, std::string* bytes, bool* tooLarge) {
    char chunk[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
            return GetLastError() == ERROR_BROKEN_PIPE;
        }
        if (got == 0) {
            return true;
        }
        if (!AppendListBytes(chunk, got, bytes, tooLarge)) {
            return true;
        }
    }
}

}  // namespace

bool ReadSourceBytes(const std::string& source, std::string* bytes, bool* tooLarge,
                     std::string* why) {
    std::wstring path;
    const bool standardInput = source == kStandardInput;
    if (!standardInput && !ToWide(CP_UTF8, source, &path)) {
        *why = "the name is not valid UTF-8";
        return false;
    }
    const SourceFile file(standardInput ? nullptr : &path);
    if (file.get() == INVALID_HANDLE_VALUE || file.get() == nullptr) {
        *why = Why(GetLastError(), path);
        return false;
    }
    // A file too large is told by its size, without reading it.
    LARGE_INTEGER size;
    if (GetFileType(file.get()) == FILE_TYPE_DISK && GetFileSizeEx(file.get(), &size) &&
        static_cast<std::uint64_t>(size.QuadPart) > kLargestList) {
        *tooLarge = true;
        return true;
    }
    if (!ReadToEnd(file.get(), bytes, tooLarge)) {
        *why = Why(GetLastError(), path);
        return false;
    }
    return true;
}

}  // namespace crclist
