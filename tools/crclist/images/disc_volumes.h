// What the volume descriptors of a disc, from sector 16 on, say that it holds: the file systems
// among which Windows chooses the one it shows.
#pragma once

#include <cstdint>

#include "tools/crclist/images/sector_view.h"

namespace crclist {

struct DiscVolumes {
    bool iso9660 = false;  // a primary volume descriptor
    bool joliet = false;   // a supplementary one with a Joliet escape sequence (UCS-2 names)
    bool udf = false;      // an NSR descriptor in the extended area (BEA01 to TEA01)
    std::uint64_t isoSectors = 0;  // the volume space size of the primary descriptor
    // Where the descriptors lie: the primary one, and the first Joliet one.
    std::uint64_t primarySector = 0;
    std::uint64_t jolietSector = 0;
};

// Reads the descriptors of `view`. False on a read error.
bool ReadDiscVolumes(SectorView& view, DiscVolumes* volumes);

// Whether the 2048 bytes of `sector` hold a descriptor that can start the sequence at sector
// 16: how the layout of an image is told by its content.
bool StartsVolumeDescriptors(const unsigned char* sector);

}  // namespace crclist
