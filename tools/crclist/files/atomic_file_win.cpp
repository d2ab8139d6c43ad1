#include <windows.h>

#include <algorithm>

#include "tools/crclist/files/atomic_file.h"

namespace crclist {
namespace {

std::string Reason(const std::string& what) {
    return what + " (Windows error " + std::to_string(GetLastError()) + ")";
}

// The folder of `target`, found by the system so that a second byte 0x5C of a Shift-JIS
// character is not taken for a backslash.
bool FolderOf(const std::string& target, std::string* folder) {
    char full[MAX_PATH];
    char* name = nullptr;
    const DWORD length = GetFullPathNameA(target.c_str(), MAX_PATH, full, &name);
    if (length == 0 || length >= MAX_PATH || name == nullptr) {
        return false;
    }
    folder->assign(full, static_cast<std::size_t>(name - full));
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
        DeleteFileA(temporary_.c_str());
    }
}

bool AtomicFile::Write(const std::string& target, const std::string& bytes, std::string* problem) {
    target_ = target;
    std::string folder;
    char temporary[MAX_PATH];
    if (!FolderOf(target, &folder) || GetTempFileNameA(folder.c_str(), "crl", 0, temporary) == 0) {
        *problem = Reason("cannot create a temporary file beside " + target);
        return false;
    }
    temporary_ = temporary;
    const HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *problem = Reason("cannot write " + temporary_);
        DeleteFileA(temporary_.c_str());
        temporary_.clear();
        return false;
    }
    const bool written = WriteAll(file, bytes);
    const std::string failure = Reason("cannot write " + temporary_);
    if (!CloseHandle(file) || !written) {
        *problem = failure;
        DeleteFileA(temporary_.c_str());
        temporary_.clear();
        return false;
    }
    return true;
}

bool AtomicFile::Commit(bool replace, std::string* problem) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (MoveFileExA(temporary_.c_str(), target_.c_str(), flags)) {
        temporary_.clear();
        return true;
    }
    const DWORD error = GetLastError();
    *problem = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS
                   ? target_ + " exists"
                   : Reason("cannot write " + target_);
    DeleteFileA(temporary_.c_str());
    temporary_.clear();
    return false;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TemporaryFolder() {
    char folder[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    return length == 0 || length >= MAX_PATH ? std::string(".") : std::string(folder, length);
}

}  // namespace crclist
