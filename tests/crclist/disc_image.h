// ISO 9660 images with Joliet names, made in the tests as a release engineer makes a master.
#pragma once

#include <cstdlib>
#include <string>

// Writes the folder `folder` as the image `image`. False when xorriso fails or is missing
// (tools/setup.sh installs it).
inline bool MakeDiscImage(const std::string& folder, const std::string& image) {
    const std::string command =
        "xorriso -as mkisofs -quiet -J -joliet-long -input-charset UTF-8 -o '" + image + "' '" +
        folder + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}
