#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tools/crclist/discs/medium.h"

namespace crclist {
namespace {

// The magic numbers of the file systems that only optical discs carry.
constexpr long kIso9660Magic = 0x9660;
constexpr long kUdfMagic = 0x15013346;

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

std::string FirstLine(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

// The device mounted at `folder` whose number is `device`, from the mount table; empty when
// `folder` is not a mount point.
std::string MountedDevice(const std::string& folder, dev_t device) {
    const std::string wanted = std::to_string(major(device)) + ":" + std::to_string(minor(device));
    const std::string point = RealPath(folder);
    std::ifstream table("/proc/self/mountinfo");
    for (std::string line; std::getline(table, line);) {
        // ID PARENT MAJOR:MINOR ROOT MOUNT-POINT OPTIONS [FIELDS...] - TYPE SOURCE OPTIONS
        std::istringstream fields(line);
        std::string id, parent, number, root, mountPoint;
        fields >> id >> parent >> number >> root >> mountPoint;
        std::string field;
        while (fields >> field && field != "-") {
        }
        std::string type, source;
        fields >> type >> source;
        if (number == wanted && mountPoint == point && source.rfind("/dev/", 0) == 0) {
            return source;
        }
    }
    return "";
}

}  // namespace

Medium SystemMediumOf(const std::string& path) {
    Medium medium;
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        return medium;
    }
    const bool drive = S_ISBLK(info.st_mode);
    const dev_t device = drive ? info.st_rdev : info.st_dev;
    struct statfs system;
    if (!drive && ::statfs(path.c_str(), &system) == 0 &&
        (system.f_type == kIso9660Magic || system.f_type == kUdfMagic)) {
        medium.kind = Medium::Kind::kOptical;
        if (S_ISDIR(info.st_mode)) {
            medium.device = MountedDevice(path, device);
        }
        return medium;
    }
    // What the kernel knows of the block device: sr0 is a CD/DVD drive; a partition has no
    // queue of its own, its disk has.
    const std::string block =
        "/sys/dev/block/" + std::to_string(major(device)) + ":" + std::to_string(minor(device));
    const std::string name = RealPath(block);
    if (name.substr(name.rfind('/') + 1).rfind("sr", 0) == 0) {
        medium.kind = Medium::Kind::kOptical;
        return medium;
    }
    std::string rotational = FirstLine(block + "/queue/rotational");
    if (rotational.empty()) {
        rotational = FirstLine(block + "/../queue/rotational");
    }
    if (rotational == "1") {
        medium.kind = Medium::Kind::kRotational;
    }
    return medium;
}

}  // namespace crclist
