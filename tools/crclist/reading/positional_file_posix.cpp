#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/crclist/reading/positional_file.h"

namespace crclist {
namespace {

// The words for `error`; a file that is not there, or not reachable, is missing.
FileFailure FailureOf(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return {true, "not found"};
        case EACCES:
        case EPERM:
            return {false, "permission denied"};
#ifdef ENOMEDIUM
        case ENOMEDIUM:
            return {false, "there is no disc in the drive"};
#endif
        case EIO:
            return {false, "input/output error"};
        default:
            break;
    }
    std::string words = std::strerror(error);
    if (!words.empty() && words[0] >= 'A' && words[0] <= 'Z') {
        words[0] = static_cast<char>(words[0] - 'A' + 'a');
    }
    return {false, words};
}

int OpenReading(const std::string& path, int flags) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | flags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

PositionalFile::~PositionalFile() {
    Close();
}

bool PositionalFile::Open(const std::string& path, Accept accept, FileFailure* failure) {
    Close();
    // Without waiting: a FIFO would otherwise block here until a writer came.
    int fd = OpenReading(path, O_NONBLOCK);
    if (fd < 0) {
        *failure = FailureOf(errno);
        return false;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        *failure = FailureOf(errno);
        ::close(fd);
        return false;
    }
    const bool drive = accept == Accept::kFileOrDrive && S_ISBLK(info.st_mode);
    if (!S_ISREG(info.st_mode) && !drive) {
        ::close(fd);
        *failure = {true, "not a regular file"};
        return false;
    }
    if (drive) {
        // A drive opened without waiting opens even without a disc; opened again as usual, it
        // says that there is none.
        ::close(fd);
        fd = OpenReading(path, 0);
        if (fd < 0) {
            *failure = FailureOf(errno);
            return false;
        }
    }
    const off_t end = drive ? ::lseek(fd, 0, SEEK_END) : info.st_size;
    if (end < 0) {
        *failure = FailureOf(errno);
        ::close(fd);
        return false;
    }
    handle_ = fd;
    size_ = static_cast<std::uint64_t>(end);
    return true;
}

bool PositionalFile::IsOpen() const {
    return handle_ >= 0;
}

bool PositionalFile::CurrentSize(std::uint64_t* size) const {
    struct stat info;
    if (handle_ < 0 || ::fstat(static_cast<int>(handle_), &info) != 0 || info.st_size < 0) {
        return false;
    }
    *size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

void PositionalFile::ReadingToTheEnd() const {
    // Only a hint: a system that ignores it reads the file all the same. Linux doubles its
    // read-ahead for the file.
    if (handle_ >= 0) {
        ::posix_fadvise(static_cast<int>(handle_), 0, 0, POSIX_FADV_SEQUENTIAL);
    }
}

bool PositionalFile::ReadOnce(std::uint64_t offset, void* out, std::size_t count, std::size_t* got,
                              std::string* reason) const {
    for (;;) {
        const ssize_t result =
            ::pread(static_cast<int>(handle_), out, count, static_cast<off_t>(offset));
        if (result >= 0) {
            *got = static_cast<std::size_t>(result);
            return true;
        }
        if (errno != EINTR) {
            *reason = FailureOf(errno).reason;
            return false;
        }
    }
}

void PositionalFile::Close() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
        handle_ = -1;
    }
}

}  // namespace crclist
