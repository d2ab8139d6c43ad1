#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/crclist/authoring/atomic_file.h"

namespace crclist {
namespace {

std::string Reason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// The mode a new file gets from the umask, or the mode of the file that it replaces.
mode_t ModeFor(const std::string& target) {
    struct stat info;
    if (::stat(target.c_str(), &info) == 0) {
        return info.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

}  // namespace

AtomicFile::~AtomicFile() {
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
    }
}

bool AtomicFile::Write(const std::string& target, const std::string& bytes, std::string* problem) {
    target_ = target;
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string pattern = (slash == std::string::npos ? "" : folder) + "." + name + ".XXXXXX";
    const int fd = ::mkstemp(&pattern[0]);
    if (fd < 0) {
        *problem = Reason("cannot create a temporary file in " + folder);
        return false;
    }
    temporary_ = pattern;
    const bool written =
        ::fchmod(fd, ModeFor(target)) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const std::string failure = Reason("cannot write " + temporary_);
    if (::close(fd) != 0 || !written) {
        *problem = failure;
        ::unlink(temporary_.c_str());
        temporary_.clear();
        return false;
    }
    return true;
}

bool AtomicFile::Commit(bool replace, std::string* problem) {
    bool moved = false;
    // A link is never made over an existing file, so nothing is replaced. A file system
    // without links gets the existence test, then the rename, as a replacement does.
    const bool linked = !replace && ::link(temporary_.c_str(), target_.c_str()) == 0;
    if (linked) {
        moved = true;
    } else if (!replace && (errno == EEXIST || PathExists(target_))) {
        *problem = target_ + " exists";
    } else {
        moved = ::rename(temporary_.c_str(), target_.c_str()) == 0;
        *problem = Reason("cannot write " + target_);
    }
    // After a link the temporary name must go; after a rename it is gone already.
    ::unlink(temporary_.c_str());
    temporary_.clear();
    return moved;
}

bool PathExists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

std::string TemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

}  // namespace crclist
