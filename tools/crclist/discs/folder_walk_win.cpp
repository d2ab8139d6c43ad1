#include <windows.h>

#include "platform/win_handles.h"
#include "tools/crclist/discs/folder_walk.h"
#include "tools/crclist/reading/folder_loop_guard.h"
#include "tools/crclist/text/path_join.h"
#include "tools/crclist/text/windows_text.h"

namespace crclist {
namespace {

class FindHandle {
  public:
    FindHandle(const std::wstring& pattern, WIN32_FIND_DATAW* data)
        : handle_(FindFirstFileW(pattern.c_str(), data)) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            FindClose(handle_);
        }
    }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

// What tells a file or folder from every other: its volume's serial number and its index there,
// through a junction or a link as well; unknown when it cannot be opened to ask.
FolderIdentity IdentityOf(const std::wstring& path) {
    const win::UniqueHandle handle(win::Opened(
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
    BY_HANDLE_FILE_INFORMATION information;
    if (handle.Get() == nullptr || !GetFileInformationByHandle(handle.Get(), &information)) {
        return {};
    }
    return {
        information.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow,
        true};
}

struct Walk {
    std::wstring skip;  // full path, compared without case
    FolderLoopGuard guard;
    const ListingFilter* leaveOut;
    std::vector<DiscFile>* files;
    std::vector<std::string>* problems;
};

// `path` and `utf8Path` name the same folder, in UTF-16 for the system and in UTF-8 for the
// listing.
bool ListFolder(const std::wstring& path, const std::string& utf8Path,
                std::vector<std::string>& components, Walk& walk) {
    WIN32_FIND_DATAW data;
    FindHandle find(path + L"\\*", &data);
    if (find.get() == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;  // an empty drive root
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const std::wstring full = path + L"\\" + name;
        const std::string utf8Name = WideToUtf8(name);
        const std::string utf8Full = utf8Path + "\\" + utf8Name;
        components.push_back(utf8Name);
        if (*walk.leaveOut && (*walk.leaveOut)(components)) {
            // Left out unseen: it may be a link that leads nowhere or round into a folder above.
        } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            const FolderLoopGuard::Entry entered = walk.guard.Enter(IdentityOf(full));
            if (entered == FolderLoopGuard::Entry::kLoop) {
                walk.problems->push_back(utf8Full + " leads back into a folder above it");
            } else if (entered == FolderLoopGuard::Entry::kTooDeep) {
                walk.problems->push_back(utf8Full + " lies deeper than any path can go");
            } else {
                if (!ListFolder(full, utf8Full, components, walk)) {
                    walk.problems->push_back(utf8Full + " cannot be read");
                }
                walk.guard.Leave();
            }
        } else {
            if (walk.skip.empty() || lstrcmpiW(FullPathOf(full).c_str(), walk.skip.c_str()) != 0) {
                const std::uint64_t size =
                    (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
                walk.files->push_back({components, utf8Full, size});
            }
        }
        components.pop_back();
    } while (FindNextFileW(find.get(), &data));
    return GetLastError() == ERROR_NO_MORE_FILES;
}

}  // namespace

bool WalkFolder(const std::string& root, const std::string& skip, const ListingFilter& leaveOut,
                std::vector<DiscFile>* files, std::vector<std::string>* problems) {
    std::wstring wideRoot;
    if (!ToWide(CP_UTF8, root, &wideRoot)) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(wideRoot.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    Walk walk;
    std::wstring wideSkip;
    if (!skip.empty() && ToWide(CP_UTF8, skip, &wideSkip)) {
        walk.skip = FullPathOf(wideSkip);
    }
    walk.leaveOut = &leaveOut;
    walk.files = files;
    walk.problems = problems;
    walk.guard.Enter(IdentityOf(wideRoot));
    // "D:\" and "DISC\" are listed as "D:" and "DISC", each then + "\*". In UTF-8 a '\' or '/'
    // byte is always that character, never the second byte of another.
    std::string base = root;
    if (!base.empty() && IsSystemSeparator(base.back())) {
        base.pop_back();
        wideRoot.pop_back();
    }
    std::vector<std::string> components;
    return ListFolder(wideRoot, base, components, walk);
}

}  // namespace crclist
