#include "tools/crclist/files/installed_path.h"

namespace crclist {

bool ReadInstalledFilePath(const std::string& /*gameKey*/, const FileEntry& /*entry*/,
                           std::string* /*path*/) {
    return false;  // no registry to read
}

}  // namespace crclist
