// The build declares the program's oldest Windows; crclist.exe runs on Windows 7 and later,
// and GetFinalPathNameByHandleW, which tells where links lead, came with Vista.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#include <windows.h>

#include <algorithm>

#include "platform/win_handles.h"
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

// Writes every byte of `bytes`, then, with `flush`, has the system put them on the disk.
bool WriteAll(HANDLE file, const std::string& bytes, bool flush) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0) {
            return false;
        }
        done += wrote;
    }
    return !flush || FlushFileBuffers(file) != 0;
}

// Opens what is at `path`, following its links, to learn what it is: no right to read or
// write is asked, and a folder opens too.
HANDLE OpenToLookAt(const std::wstring& path) {
    return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The path of the file open at `file`, every link on the way followed, in UTF-8; `given` when
// Windows cannot tell it.
std::string FinalPath(HANDLE file, const std::string& given) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, &path[0], static_cast<DWORD>(path.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length >= path.size()) {
        path.resize(length + 1);
        length = GetFinalPathNameByHandleW(file, &path[0], static_cast<DWORD>(path.size()),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    if (length == 0 || length >= path.size()) {
        return given;
    }
    path.resize(length);
    // "\\?\C:\x" is "C:\x", and "\\?\UNC\server\share" is "\\server\share".
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        path = L"\\" + path.substr(7);
    } else if (path.rfind(L"\\\\?\\", 0) == 0) {
        path = path.substr(4);
    }
    return WideToUtf8(path);
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
    const bool written = WriteAll(file, bytes, true);
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

bool FindOutputPlace(const std::string& path, OutputPlace* place, std::string* problem) {
    const std::wstring wide = Wide(path);
    // NUL, CON, COM1 and pipes are named in the device space, whatever folder they are given in.
    if (!wide.empty() && FullPathOf(wide).rfind(L"\\\\.\\", 0) == 0) {
        *place = {OutputPlace::Kind::kStream, path};
        return true;
    }
    std::wstring folder;
    if (wide.empty() || !FolderOf(wide, &folder)) {
        *problem = "cannot write " + path + ": it is not a name of a file";
        return false;
    }
    const win::UniqueHandle opened(win::Opened(OpenToLookAt(wide)));
    if (opened.Get() != nullptr) {
        BY_HANDLE_FILE_INFORMATION info;
        if (GetFileType(opened.Get()) != FILE_TYPE_DISK) {
            *place = {OutputPlace::Kind::kStream, path};
            return true;
        }
        if (GetFileInformationByHandle(opened.Get(), &info) &&
            (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            *problem = path + " is a folder: give the name of the file to write, such as " + path +
                       (path.back() == '\\' || path.back() == '/' ? "" : "\\") + "crclist.INF";
            return false;
        }
        // The file that every link and junction on the way leads to is the one replaced.
        place->kind = OutputPlace::Kind::kFile;
        place->path = FinalPath(opened.Get(), path);
        return true;
    }
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (error == ERROR_FILE_NOT_FOUND && attributes == INVALID_FILE_ATTRIBUTES) {
        *place = {OutputPlace::Kind::kNew, path};
        return true;
    }
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) {
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            *problem = "cannot write " + path +
                       ": it is a link to something that is not there; give the file itself";
            return false;
        }
        std::string shownFolder = WideToUtf8(folder);
        if (shownFolder.size() > 3 && shownFolder.back() == '\\') {
            shownFolder.pop_back();  // "D:\" keeps its backslash, "D:\a\" does not
        }
        *problem = "cannot write " + path + ": the folder " + shownFolder +
                   " does not exist; make it first (mkdir " + shownFolder + ")";
        return false;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *problem = path + " is a folder: give the name of the file to write";
        return false;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        *problem = Reason("cannot write " + path + ": it is a link that cannot be followed");
        return false;
    }
    // A file that cannot be looked at may still be replaced; the write tells if not.
    *place = {OutputPlace::Kind::kFile, path};
    return true;
}

bool IsStandardOutput(const std::string& path) {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    const win::UniqueHandle named(win::Opened(OpenToLookAt(Wide(path))));
    BY_HANDLE_FILE_INFORMATION a;
    BY_HANDLE_FILE_INFORMATION b;
    return output != nullptr && output != INVALID_HANDLE_VALUE && named.Get() != nullptr &&
           GetFileType(output) == FILE_TYPE_DISK && GetFileType(named.Get()) == FILE_TYPE_DISK &&
           GetFileInformationByHandle(output, &a) && GetFileInformationByHandle(named.Get(), &b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

bool WriteIntoStream(const std::string& path, const std::string& bytes, std::string* problem) {
    // OPEN_EXISTING: a device is written into, never made.
    const win::UniqueHandle stream(win::Opened(
        CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (stream.Get() == nullptr || !WriteAll(stream.Get(), bytes, false)) {
        *problem = Reason("cannot write " + path);
        return false;
    }
    return true;
}

std::string TemporaryFolder() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    return length == 0 || length > MAX_PATH ? std::string(".")
                                            : WideToUtf8(std::wstring(folder, length));
}

}  // namespace crclist
