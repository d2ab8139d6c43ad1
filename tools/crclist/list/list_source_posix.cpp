#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/crclist/list/list_source.h"

namespace crclist {
namespace {

// What keeps a file from being read, in words that follow its name.
std::string Why(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return "there is no such file";
        case EACCES:
        case EPERM:
            return "permission denied";
        default:
            return std::strerror(error);
    }
}

// The file of a source, open for reading; standard input is left open.
class SourceFile {
  public:
    explicit SourceFile(const std::string& source)
        : owned_(source != kStandardInput),
          fd_(owned_ ? ::open(source.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC) : STDIN_FILENO) {}
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;
    ~SourceFile() {
        if (owned_ && fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }

  private:
    bool owned_;
    int fd_;
};

// Reads `fd` to its end, or to one byte past kLargestList.
bool ReadToEnd(int fd, std::string* bytes, bool* tooLarge) {
    char chunk[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0;
        }
        if (!AppendListBytes(chunk, static_cast<std::size_t>(got), bytes, tooLarge)) {
            return true;
        }
    }
}

}  // namespace

bool ReadSourceBytes(const std::string& source, std::string* bytes, bool* tooLarge,
                     std::string* why) {
    const SourceFile file(source);
    struct stat info;
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
        *why = Why(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        *why = kIsAFolder;
        return false;
    }
    // A file too large is told by its size, without reading it.
    if (S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) > kLargestList) {
        *tooLarge = true;
        return true;
    }
    if (!ReadToEnd(file.get(), bytes, tooLarge)) {
        *why = Why(errno);
        return false;
    }
    return true;
}

}  // namespace crclist
