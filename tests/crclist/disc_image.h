// ISO 9660 images with Joliet names, made in the tests as a release engineer makes a master.
#pragma once

#include <cstdlib>
#include <string>

// Writes the folder `folder` as the image `image`. False when xorriso fails or is missing
// (tools/scripts/setup.sh installs it).
inline bool MakeDiscImage(const std::string& folder, const std::string& image) {
    const std::string command =
        "xorriso -as mkisofs -quiet -J -joliet-long -input-charset UTF-8 "
        "-o '" +
        image + "' '" + folder + "' >/dev/null 2>&1";
    // xorriso 1.5.4 was seen to die of SIGSEGV about once in a hundred runs, at random; a
    // second run of the same command then succeeds.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (std::system(command.c_str()) == 0) {
            return true;
        }
    }
    return false;
}
