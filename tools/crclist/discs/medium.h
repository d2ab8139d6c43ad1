// What a disc or a file lies on, as far as it matters for reading it: whether every request
// that does not go on where the last one ended costs a seek, as on an optical drive (80 to 150
// ms) or a rotating disk (5 to 10 ms), or not, as on flash or in memory. Several readers at
// once make such a medium seek between them on almost every request.
#pragma once

#include <functional>
#include <string>

namespace crclist {

struct Medium {
    enum class Kind {
        kOptical,     // a CD/DVD drive, or a disc's file system mounted from one
        kRotational,  // a disk that rotates, as the system says
        kOther,       // flash, memory, a network, or whatever the system will not tell
    };
    Kind kind = Kind::kOther;
    // The device of an optical disc mounted at the very folder asked about: read as an image,
    // it gives the disc's own order and the names that Windows shows. Empty otherwise.
    std::string device;

    bool Seeking() const { return kind != Kind::kOther; }
};

// "an optical drive", "a rotating disk", "no seeking medium".
const char* MediumName(Medium::Kind kind);

// The medium that `path` (a folder, a file or a device) lies on, as the system tells it:
// natively /dev/sr* and mounted ISO 9660 and UDF file systems are optical, and a block device
// is rotational when its queue says so (a partition's, its disk's); on Windows a drive that
// GetDriveTypeW calls a CD-ROM is optical, one whose storage reports a seek penalty rotational.
Medium MediumOf(const std::string& path);

// The half of MediumOf that asks the system.
Medium SystemMediumOf(const std::string& path);

namespace testing {

// Makes MediumOf give what `answer` says instead of asking the system (null: ask it again), so
// that the classing and the order that follows from it can be tested on any machine.
void AnswerMediumOf(std::function<Medium(const std::string& path)> answer);

}  // namespace testing

}  // namespace crclist
