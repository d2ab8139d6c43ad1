#include "tools/crclist/files/installed_path.h"

#ifdef _WIN32
#include "engine/registry.h"
#endif

namespace crclist {

bool ReadInstalledFilePath(const std::string& gameKey, const FileEntry& entry, std::string* path) {
#ifdef _WIN32
    // The program's own filler, so that a value without its zero reads exactly as there.
    std::string buffer(kInstalledPathBufferSize, '0');
    if (!ReadInstalledPath(entry, gameKey, buffer)) {
        return false;
    }
    *path = buffer.c_str();
    return true;
#else
    (void)gameKey;
    (void)entry;
    (void)path;
    return false;
#endif
}

}  // namespace crclist
