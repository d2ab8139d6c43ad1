#include <windows.h>

#include "tools/crclist/files/folder_walk.h"

namespace crclist {
namespace {

// Folders through junctions could go round for ever; no disc is this deep.
constexpr std::size_t kDeepest = 64;

class FindHandle {
  public:
    FindHandle(const std::string& pattern, WIN32_FIND_DATAA* data)
        : handle_(FindFirstFileA(pattern.c_str(), data)) {}
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

std::string FullPath(const std::string& path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length == 0 || length >= MAX_PATH ? path : std::string(full, length);
}

// Whether the last character of `path` is a separator, and not the second byte of a
// two-byte character of the ANSI code page.
bool EndsWithSeparator(const std::string& path) {
    bool separator = false;
    for (std::size_t i = 0; i < path.size(); ++i) {
        separator = path[i] == '\\' || path[i] == '/';
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
            ++i;
            separator = false;
        }
    }
    return separator;
}

struct Walk {
    std::string skip;  // full path, compared without case
    std::vector<DiscFile>* files;
    std::vector<std::string>* problems;
};

bool ListFolder(const std::string& path, std::vector<std::string>& components, Walk& walk) {
    WIN32_FIND_DATAA data;
    FindHandle find(path + "\\*", &data);
    if (find.get() == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;  // an empty drive root
    }
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string full = path + "\\" + name;
        if (name.find('?') != std::string::npos) {
            // '?' is no character of a file name: the system put it for one that the ANSI
            // code page lacks, and the file cannot be opened by this name.
            walk.problems->push_back(full + " has a name that the ANSI code page cannot hold");
            continue;
        }
        components.push_back(name);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (components.size() > kDeepest) {
                walk.problems->push_back(full + " lies more than 64 folders deep");
            } else if (!ListFolder(full, components, walk)) {
                walk.problems->push_back(full + " cannot be read");
            }
        } else if (walk.skip.empty() || lstrcmpiA(FullPath(full).c_str(), walk.skip.c_str()) != 0) {
            const std::uint64_t size =
                (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            walk.files->push_back({components, full, size});
        }
        components.pop_back();
    } while (FindNextFileA(find.get(), &data));
    return GetLastError() == ERROR_NO_MORE_FILES;
}

}  // namespace

bool ListDiscFiles(const std::string& root, const std::string& skip, std::vector<DiscFile>* files,
                   std::vector<std::string>* problems) {
    const DWORD attributes = GetFileAttributesA(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    Walk walk;
    walk.skip = skip.empty() ? std::string() : FullPath(skip);
    walk.files = files;
    walk.problems = problems;
    std::string base = root;
    if (EndsWithSeparator(base)) {
        base.pop_back();  // "D:\" and "DISC\" are listed as "D:" and "DISC", each then + "\*"
    }
    std::vector<std::string> components;
    return ListFolder(base, components, walk);
}

}  // namespace crclist
