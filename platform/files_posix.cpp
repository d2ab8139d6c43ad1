// Files through POSIX, for host builds (the unit tests, the tools and the fuzzer).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/files_testing.h"
#include "platform/platform.h"

namespace platform {
namespace {

// ReadFile calls left before the one that fails; 0 when no failure is armed.
int readsBeforeFailure = 0;

// File handles are file descriptors plus one, so that descriptor 0 is not null.
int ToDescriptor(File file) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(file)) - 1;
}
File ToFile(int fd) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the handle holds a number, never an address
    return reinterpret_cast<File>(static_cast<std::intptr_t>(fd) + 1);
}

}  // namespace

File OpenFileForReading(const char* path) {
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info;
    // A folder opens under POSIX but not as a file under Windows.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return ToFile(fd);
}

bool QueryFileSize(File file, std::uint64_t* size) {
    struct stat info;
    if (file == nullptr || ::fstat(ToDescriptor(file), &info) != 0) {
        return false;
    }
    *size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool ReadFile(File file, void* buffer, std::uint32_t count, std::uint32_t* read) {
    *read = 0;
    if (file == nullptr) {
        return false;
    }
    if (readsBeforeFailure > 0 && --readsBeforeFailure == 0) {
        return false;
    }
    std::uint32_t total = 0;
    // Like ReadFile on a disk file: a short count only at the end of the file.
    while (total < count) {
        ssize_t got = ::read(ToDescriptor(file), static_cast<char*>(buffer) + total, count - total);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (got == 0) {
            break;
        }
        total += static_cast<std::uint32_t>(got);
    }
    *read = total;
    return true;
}

bool CloseFile(File file) {
    return file != nullptr && ::close(ToDescriptor(file)) == 0;
}

namespace testing {

void FailReadCall(int call) {
    readsBeforeFailure = call > 0 ? call : 0;
}

}  // namespace testing
}  // namespace platform
