#include <windows.h>

#include <algorithm>

#include "tools/crclist/authoring/atomic_file.h"
#include "tools/crclist/text/windows_text.h"

namespace crclist {
namespace {

std::string Reason(const std::string& what) {
    return what + " (Windows error " + std::to_string(GetLastError()) + ")";
}

std::wstring Wide(const std::string& utf8) {
    std::wstring wide;
    ToWide(CP_UTF8, utf8, &wide);
    return wide;
}

// The folder of `target`, as the system finds it.
bool FolderOf(const std::wstring& target, std::wstring* folder) {
    const DWORD size = GetFullPathNameW(target.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return false;
    }
    std::wstring full(size, L'\0');
    wchar_t* name = nullptr;
    const DWORD length = GetFullPathNameW(target.c_str(), size, &full[0], &name);
    if (length == 0 || length >= size || name == nullptr) {
        return false;
    }
    folder->assign(full.data(), static_cast<std::size_t>(name - full.data()));
    return true;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0) {
            return false;
        }
        done += wrote;
    }
    return FlushFileBuffers(file) != 0;
}

}  // namespace

AtomicFile::~AtomicFile() {
    if (!temporary_.empty()) {
        DeleteFileW(Wide(temporary_).c_str());
    }
}

bool AtomicFile::Write(const std::string& target, const std::string& bytes, std::string* problem) {
    target_ = target;
    std::wstring wideTarget;
    std::wstring folder;
    wchar_t temporary[MAX_PATH];
    if (!ToWide(CP_UTF8, target, &wideTarget) || !FolderOf(wideTarget, &folder) ||
        GetTempFileNameW(folder.c_str(), L"crl", 0, temporary) == 0) {
        *problem = Reason("cannot create a temporary file beside " + target);
        return false;
    }
    temporary_ = WideToUtf8(temporary);
    const HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *problem = Reason("cannot write " + temporary_);
        DeleteFileW(temporary);
        temporary_.clear();
        return false;
    }
    const bool written = WriteAll(file, bytes);
    const std::string failure = Reason("cannot write " + temporary_);
    if (!CloseHandle(file) || !written) {
        *problem = failure;
        DeleteFileW(temporary);
        temporary_.clear();
        return false;
    }
    return true;
}

bool AtomicFile::Commit(bool replace, std::string* problem) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    const std::wstring temporary = Wide(temporary_);
    if (MoveFileExW(temporary.c_str(), Wide(target_).c_str(), flags)) {
        temporary_.clear();
        return true;
    }
    const DWORD error = GetLastError();
    *problem = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS
                   ? target_ + " exists"
                   : Reason("cannot write " + target_);
    DeleteFileW(temporary.c_str());
    temporary_.clear();
    return false;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TemporaryFolder() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    return length == 0 || length > MAX_PATH ? std::string(".")
                                            : WideToUtf8(std::wstring(folder, length));
}

}  // namespace crclist
