#include "tools/crclist/verify/installed_path.h"

namespace crclist {

bool InstalledNamesReadable(const CheckList& /*list*/, std::string* why) {
    *why = "--installed reads the Windows registry: run crclist.exe on Windows or under Wine";
    return false;
}

bool ReadInstalledFilePath(const std::string& /*gameKey*/, const FileEntry& /*entry*/,
                           std::string* /*path*/) {
    return false;  // no registry to read
}

}  // namespace crclist
