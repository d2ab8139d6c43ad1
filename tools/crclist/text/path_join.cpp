#include "tools/crclist/text/path_join.h"

#include <algorithm>

namespace crclist {
namespace {

std::string JoinWith(const std::vector<std::string>& components, std::size_t count,
                     char separator) {
    std::string joined;
    for (std::size_t index = 0; index < std::min(count, components.size()); ++index) {
        if (index > 0) {
            joined += separator;
        }
        joined += components[index];
    }
    return joined;
}

}  // namespace

std::string JoinSystemPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    return IsSystemSeparator(folder.back()) ? folder + name : folder + kSystemSeparator + name;
}

std::string FolderOfPath(const std::string& path) {
    for (std::size_t at = path.size(); at > 0; --at) {
        if (IsSystemSeparator(path[at - 1])) {
            return path.substr(0, at);
        }
    }
    return "";
}

std::string JoinImagePath(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + '/' + name;
}

std::string JoinImagePath(const std::vector<std::string>& components, std::size_t count) {
    return JoinWith(components, count, '/');
}

std::string JoinListedName(const std::vector<std::string>& components) {
    return JoinWith(components, components.size(), '\\');
}

}  // namespace crclist
