#include "tools/crclist/images/sector_layout.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "tools/crclist/images/disc_volumes.h"

namespace crclist {
namespace {

constexpr unsigned char kSync[12] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                     0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr std::uint32_t kRawStrides[] = {2352, 2448};
constexpr std::uint64_t kDescriptorSector = 16;
constexpr std::size_t kModeByte = 15;  // after the sync pattern and the address
constexpr std::uint32_t kMode2Stride = 2336;
constexpr std::uint32_t kMode2DataOffset = 8;

bool HasSync(const std::vector<unsigned char>& head, std::size_t at) {
    return at + sizeof kSync <= head.size() && std::memcmp(&head[at], kSync, sizeof kSync) == 0;
}

bool HoldsDescriptors(const std::vector<unsigned char>& head, std::size_t at) {
    return at + kSectorSize <= head.size() && StartsVolumeDescriptors(&head[at]);
}

}  // namespace

bool DetectSectorLayout(const PositionalFile& file, std::uint64_t start, std::uint64_t end,
                        SectorLayout* layout) {
    if (end <= start) {
        return false;
    }
    std::vector<unsigned char> head;
    return file.ReadBytes(
               start,
               static_cast<std::size_t>(std::min<std::uint64_t>(kLayoutHeadBytes, end - start)),
               &head) &&
           DetectSectorLayout(head, start, end, layout);
}

bool DetectSectorLayout(const std::vector<unsigned char>& head, std::uint64_t start,
                        std::uint64_t end, SectorLayout* layout) {
    if (end <= start) {
        return false;
    }
    SectorLayout found;
    found.start = start;
    if (HasSync(head, 0)) {
        for (const std::uint32_t stride : kRawStrides) {
            const std::size_t sector16 = kDescriptorSector * stride;
            if (!HasSync(head, stride) || sector16 + kModeByte >= head.size()) {
                continue;
            }
            const unsigned char mode = head[sector16 + kModeByte];
            found.stride = stride;
            found.dataOffset = mode == 1 ? 16 : 24;
            if ((mode == 1 || mode == 2) && HoldsDescriptors(head, sector16 + found.dataOffset)) {
                found.sectors = (end - start) / stride;
                *layout = found;
                return true;
            }
        }
    }
    // Plain sectors, or MODE2 ones of 2336 bytes whose 8-byte subheader comes before the data.
    for (const SectorLayout plain : {SectorLayout{start, kSectorSize, 0, 0},
                                     SectorLayout{start, kMode2Stride, kMode2DataOffset, 0}}) {
        if (HoldsDescriptors(head, kDescriptorSector * plain.stride + plain.dataOffset)) {
            found = plain;
            found.sectors = (end - start) / plain.stride;
            *layout = found;
            return true;
        }
    }
    return false;
}

}  // namespace crclist
