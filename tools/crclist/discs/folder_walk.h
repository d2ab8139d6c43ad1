// The regular files below a folder: the listing of a disc that is a folder, which crclist make
// writes its lists from. Each file has its path relative to the folder, as components in the
// system's encoding, in no particular order.
#pragma once

#include <string>
#include <vector>

#include "tools/crclist/discs/disc_reader.h"

namespace crclist {

// Lists every regular file below `root`, through folders and links to them, leaving out the
// file at `skip` (the list being written) when it lies there, and what `leaveOut` leaves out
// without looking at it. False when `root` is no folder that can be read; a folder below it
// that cannot be read, or that leads back into one of its own parents, adds a problem and the
// walk goes on.
bool WalkFolder(const std::string& root, const std::string& skip, const ListingFilter& leaveOut,
                std::vector<DiscFile>* files, std::vector<std::string>* problems);

}  // namespace crclist
