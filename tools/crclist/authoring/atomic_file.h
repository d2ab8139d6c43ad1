// Writing a file so that it appears whole or not at all: the bytes go to a temporary file in
// the target's folder, which is renamed into place only once it is complete. Whatever fails,
// nothing is left behind.
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

    // Writes `bytes` to a new temporary file beside `target` (in the system's encoding).
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

// Whether something exists at `path`.
bool PathExists(const std::string& path);

// A folder for scratch files: the system's temporary folder.
std::string TemporaryFolder();

}  // namespace crclist
