// Writing a file so that it appears whole or not at all: the bytes go to a temporary file in
// the target's folder, which is renamed into place only once it is complete. Whatever fails,
// nothing is left behind. What is at the place first decides how it is written there: a link
// is followed and stays, and a device or a FIFO is written into, never replaced.
#pragma once

#include <string>

namespace crclist {

class AtomicFile {
  public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    // Removes the temporary file unless it was committed.
    ~AtomicFile();

    // Writes `bytes` to a new temporary file beside `target` (in the system's encoding), with
    // the mode (and, natively, the owner where it may) of the file it is to replace.
    // False, with `problem` set and nothing left, when it cannot be created or written.
    bool Write(const std::string& target, const std::string& bytes, std::string* problem);
    // The temporary file, complete, for a look before it is committed.
    const std::string& TemporaryPath() const { return temporary_; }
    // Renames the temporary file to the target; an existing target is replaced only with
    // `replace`. False, with `problem` set and the temporary file removed, on failure.
    bool Commit(bool replace, std::string* problem);

  private:
    std::string target_;
    std::string temporary_;
};

// What is at a place where a file is to be written.
struct OutputPlace {
    enum class Kind {
        kNew,     // nothing yet: the file is made there
        kFile,    // a regular file: replaced, when that is wanted, and only atomically
        kStream,  // a device, a FIFO or a socket (/dev/null, /dev/stdout, NUL): written into
    };
    Kind kind = Kind::kNew;
    // The file to make or replace, every link to it followed, so that a link stays a link;
    // for kStream the path as given.
    std::string path;
};

// What is at `path` (in the system's encoding). False, with what is wrong and what to do in
// `problem`, when nothing can be written there: it is a folder, its folder does not exist, or
// a link there leads nowhere that can be told.
bool FindOutputPlace(const std::string& path, OutputPlace* place, std::string* problem);

// Whether `path` names the file that this process's standard output goes to (/dev/stdout, or
// the file that it was sent to), which is then written as standard output is: from where that
// stands, with no file replaced.
bool IsStandardOutput(const std::string& path);

// Writes `bytes` into the stream at `path` (kStream), which is neither made nor replaced.
bool WriteIntoStream(const std::string& path, const std::string& bytes, std::string* problem);

// A folder for scratch files: the system's temporary folder.
std::string TemporaryFolder();

}  // namespace crclist
