// The data track of a disc image, found from what the user names: an image (.iso, .bin, .img,
// .mdf, .nrg, a drive such as /dev/sr0), or a sheet that describes one (.cue with one FILE for
// the disc or one for each track, CloneCD's .ccd, an .mds beside its .mdf). Each is told by its
// content; the name's extension is only a hint. CHD images are told apart to say how to
// convert them.
#pragma once

#include <functional>
#include <string>

#include "tools/crclist/images/sector_view.h"
#include "tools/crclist/reading/positional_file.h"

namespace crclist {

// Finds the file `name`, as a sheet names it, in `folder` (empty: the current one), as Windows
// would: the name as it is, else with its letter case ignored. False when it is not there.
using FileBeside =
    std::function<bool(const std::string& folder, const std::string& name, std::string* path)>;

// Opens the file that holds the first data track of the disc at `path` as `file`, and finds
// where the track's sectors lie in it. False, with the reason in `error` naming the image or
// sheet at fault, when it is in no form that is read, names a file that is not there, or has
// no data track.
bool OpenDataTrack(const std::string& path, const FileBeside& findBeside, PositionalFile* file,
                   SectorLayout* layout, std::string* error);

}  // namespace crclist
