#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

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

// cachestat(2), Linux 6.5 and later, which glibc 2.36 does not wrap: the number of a file's
// pages in the page cache, without a mapping. The same number on every architecture that has it.
constexpr long kCachestat = 451;
struct CachestatRange {
    std::uint64_t offset;
    std::uint64_t length;
};
struct Cachestat {
    std::uint64_t cached;
    std::uint64_t dirty;
    std::uint64_t writeback;
    std::uint64_t evicted;
    std::uint64_t recentlyEvicted;
};

// mincore(2) on a mapping of the bytes, where cachestat is missing: a mapping reads nothing.
bool ResidentBytes(int fd, std::uint64_t offset, std::uint64_t length, std::uint64_t* cached) {
    const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    const std::uint64_t start = offset / page * page;
    const auto size = static_cast<std::size_t>(offset + length - start);
    void* mapping = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, static_cast<off_t>(start));
    if (mapping == MAP_FAILED) {
        return false;
    }
    std::vector<unsigned char> resident((size + page - 1) / page);
    const bool told = ::mincore(mapping, size, resident.data()) == 0;
    ::munmap(mapping, size);
    std::uint64_t pages = 0;
    for (const unsigned char flags : resident) {
        pages += flags & 1u;
    }
    *cached = std::min(length, pages * page);
    return told;
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

bool PositionalFile::CachedBytes(std::uint64_t offset, std::uint64_t length,
                                 std::uint64_t* cached) const {
    *cached = 0;
    if (handle_ < 0 || length == 0) {
        return handle_ >= 0;
    }
    const int fd = static_cast<int>(handle_);
    CachestatRange range{offset, length};
    Cachestat state{};
    if (::syscall(kCachestat, fd, &range, &state, 0) == 0) {
        const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
        *cached = std::min(length, state.cached * page);
        return true;
    }
    return errno == ENOSYS && ResidentBytes(fd, offset, length, cached);
}

bool PositionalFile::PhysicalOffset(std::uint64_t* offset) const {
    if (handle_ < 0) {
        return false;
    }
    // The first extent is enough: a file is read from its start.
    alignas(fiemap) unsigned char buffer[sizeof(fiemap) + sizeof(fiemap_extent)] = {};
    auto* map = reinterpret_cast<fiemap*>(buffer);
    map->fm_start = 0;
    map->fm_length = FIEMAP_MAX_OFFSET;
    map->fm_extent_count = 1;
    if (::ioctl(static_cast<int>(handle_), FS_IOC_FIEMAP, map) != 0 ||
        map->fm_mapped_extents == 0) {
        return false;
    }
    *offset = map->fm_extents[0].fe_physical;
    return true;
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
