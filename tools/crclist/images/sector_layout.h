// How the sectors of an image's data track lie in its file, told by the content alone: plain
// 2048-byte sectors (.iso, most .img, a drive), raw 2352-byte ones (.bin, CloneCD's .img,
// .mdf), also with 96 bytes of subchannel data after each (2448), in MODE1 or MODE2 form 1, or
// MODE2 sectors of 2336 bytes without their sync pattern and header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/crclist/images/sector_view.h"

namespace crclist {

// The layout of the track that begins at `start` and ends before `end` in `file`: the one
// whose sector 16 starts the volume descriptors. A track whose first sector has the sync
// pattern is raw; its stride is where the next sync pattern is, and its mode byte says where
// the data lies. False when no layout holds the descriptors.
bool DetectSectorLayout(const PositionalFile& file, std::uint64_t start, std::uint64_t end,
                        SectorLayout* layout);

// The same from `head`, the first bytes of the track (up to kLayoutHeadBytes), read already.
bool DetectSectorLayout(const std::vector<unsigned char>& head, std::uint64_t start,
                        std::uint64_t end, SectorLayout* layout);

// What the detection reads of a track: its volume descriptors in every layout, which the file
// system readers then find in memory, without another request to the medium.
constexpr std::size_t kLayoutHeadBytes = std::size_t{128} << 10;

}  // namespace crclist
