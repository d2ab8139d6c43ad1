#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "tools/crclist/authoring/atomic_file.h"
#include "tools/crclist/text/path_join.h"

namespace crclist {
namespace {

// Links followed before a path is taken for a circle of links, as the system counts them.
constexpr int kMostLinks = 40;

std::string Reason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// The folder part as a message names it: "." for the current folder, no '/' at the end.
std::string ShownFolder(const std::string& folder) {
    if (folder.empty()) {
        return ".";
    }
    return folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
}

// Where the link at `path` leads, link after link, up to the first path that is no link
// (which may not exist). False, with the problem, for a circle of links.
bool FollowLinks(std::string path, std::string* end, std::string* problem) {
    for (int hop = 0; hop < kMostLinks; ++hop) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            *end = path;
            return true;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), &target[0], target.size());
        if (length <= 0) {
            *problem = Reason("cannot follow the link " + path);
            return false;
        }
        target.resize(static_cast<std::size_t>(length));
        if (target.front() != '/') {
            target.insert(0, FolderOfPath(path));
        }
        path = std::move(target);
    }
    *problem = path + " is in a circle of links: give the file itself";
    return false;
}

// Gives the temporary file the mode of the file that it replaces, or the mode a new file gets
// from the umask. As root it takes the replaced file's owner too, so that a run as root leaves
// a user's list theirs; elsewhere the system refuses that, and the owner is the writer.
bool TakeModeAndOwner(int fd, const std::string& target) {
    struct stat info;
    if (::stat(target.c_str(), &info) == 0) {
        if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
            // Refused unless root: the writer then owns the new file, as any new file.
        }
        return ::fchmod(fd, info.st_mode & 07777) == 0;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return ::fchmod(fd, 0666 & ~mask) == 0;
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
    const std::string folder = FolderOfPath(target);
    std::string pattern = folder + "." + target.substr(folder.size()) + ".XXXXXX";
    const int fd = ::mkstemp(&pattern[0]);
    if (fd < 0) {
        *problem = Reason("cannot create a temporary file in " + ShownFolder(folder));
        return false;
    }
    temporary_ = pattern;
    const bool written = TakeModeAndOwner(fd, target) && WriteAll(fd, bytes) && ::fsync(fd) == 0;
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
    struct stat info;
    const bool linked = !replace && ::link(temporary_.c_str(), target_.c_str()) == 0;
    if (linked) {
        moved = true;
    } else if (!replace && (errno == EEXIST || ::lstat(target_.c_str(), &info) == 0)) {
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

bool FindOutputPlace(const std::string& path, OutputPlace* place, std::string* problem) {
    struct stat info;
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            *problem = path + " is a folder: give the name of the file to write, such as " + path +
                       (path.back() == '/' ? "" : "/") + "crclist.INF";
            return false;
        }
        if (!S_ISREG(info.st_mode)) {
            // /dev/stdout may lead to a pipe that has no name to follow to.
            *place = {OutputPlace::Kind::kStream, path};
            return true;
        }
        place->kind = OutputPlace::Kind::kFile;
        return FollowLinks(path, &place->path, problem);
    }
    if (errno == ENOTDIR) {
        *problem = "cannot write " + path + ": a part of its folder is a file, not a folder";
        return false;
    }
    if (errno != ENOENT) {
        *problem = Reason("cannot write " + path);
        return false;
    }
    // Nothing there, or a link to nothing: the file is made where the last link leads.
    place->kind = OutputPlace::Kind::kNew;
    if (!FollowLinks(path, &place->path, problem)) {
        return false;
    }
    const std::string folder = ShownFolder(FolderOfPath(place->path));
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        *problem = "cannot write " + path + ": the folder " + folder +
                   " does not exist; make it first (mkdir -p " + folder + ")";
        return false;
    }
    return true;
}

bool IsStandardOutput(const std::string& path) {
    struct stat named;
    struct stat output;
    return ::stat(path.c_str(), &named) == 0 && ::fstat(STDOUT_FILENO, &output) == 0 &&
           named.st_dev == output.st_dev && named.st_ino == output.st_ino;
}

bool WriteIntoStream(const std::string& path, const std::string& bytes, std::string* problem) {
    // Without O_CREAT nothing is made, and without O_TRUNC a device is not asked to shrink.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *problem = Reason("cannot write " + path);
        return false;
    }
    const bool written = WriteAll(fd, bytes);
    const std::string failure = Reason("cannot write " + path);
    if (::close(fd) != 0 || !written) {
        *problem = failure;
        return false;
    }
    return true;
}

std::string TemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

}  // namespace crclist
