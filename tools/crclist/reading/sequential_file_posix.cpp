#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "tools/crclist/reading/sequential_file.h"
#include "tools/crclist/reading/sequential_file_testing.h"

namespace crclist {

SequentialFile::~SequentialFile() {
    Close();
}

bool SequentialFile::Open(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info;
    // A folder opens under POSIX, but not as a file under Windows.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        ::close(fd);
        return false;
    }
    handle_ = fd;
    openedSize_ = static_cast<std::uint64_t>(info.st_size);
    return true;
}

void SequentialFile::ReadingToTheEnd() {
    // Only a hint: a system that ignores it reads the file all the same. Linux doubles its
    // read-ahead for the file.
    if (handle_ >= 0) {
        ::posix_fadvise(static_cast<int>(handle_), 0, 0, POSIX_FADV_SEQUENTIAL);
    }
}

bool SequentialFile::Size(std::uint64_t* size) const {
    struct stat info;
    if (handle_ < 0 || ::fstat(static_cast<int>(handle_), &info) != 0 || info.st_size < 0) {
        return false;
    }
    *size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool SequentialFile::Read(void* buffer, std::size_t count, std::size_t* got) {
    *got = 0;
    if (handle_ < 0) {
        return false;
    }
    for (;;) {
        const ssize_t result = ::read(static_cast<int>(handle_), buffer, count);
        if (result >= 0) {
            *got = static_cast<std::size_t>(result);
            return true;
        }
        if (errno != EINTR) {
            return false;
        }
    }
}

bool SequentialFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count,
                            std::size_t* got) const {
    *got = 0;
    if (handle_ < 0 || testing::ReadFailsNow(offset, count)) {
        return false;
    }
    for (;;) {
        const ssize_t result =
            ::pread(static_cast<int>(handle_), buffer, count, static_cast<off_t>(offset));
        if (result >= 0) {
            *got = static_cast<std::size_t>(result);
            return true;
        }
        if (errno != EINTR) {
            return false;
        }
    }
}

void SequentialFile::Close() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
        handle_ = -1;
    }
}

}  // namespace crclist
