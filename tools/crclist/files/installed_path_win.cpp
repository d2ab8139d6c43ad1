#include "engine/registry.h"
#include "tools/crclist/files/installed_path.h"

namespace crclist {

bool ReadInstalledFilePath(const std::string& gameKey, const FileEntry& entry, std::string* path) {
    // The program's own filler, so that a value without its zero reads exactly as there.
    std::string buffer(kInstalledPathBufferSize, '0');
    if (!ReadInstalledPath(entry, gameKey, buffer)) {
        return false;
    }
    *path = buffer.c_str();
    return true;
}

}  // namespace crclist
