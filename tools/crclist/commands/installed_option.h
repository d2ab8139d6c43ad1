// The --installed NAME=PATH option of make and update: an installed file, found through the
// registry value NAME.
#pragma once

#include <string>
#include <vector>

#include "tools/crclist/authoring/entry_digest.h"
#include "tools/crclist/commands/subcommand.h"

namespace crclist {

// The files of the options, each split at its first '='. False, with the usage error told in
// the name of `command`, at the first without one.
inline bool TakeInstalledFiles(const std::string& command, const std::vector<std::string>& options,
                               std::vector<InstalledFile>* files) {
    for (const std::string& option : options) {
        InstalledFile file;
        if (!InstalledFile::Parse(option, &file)) {
            UsageError(command, "--installed takes NAME=PATH");
            return false;
        }
        files->push_back(std::move(file));
    }
    return true;
}

}  // namespace crclist
