#include "tools/crclist/images/disc_volumes.h"

#include <cstring>
#include <vector>

#include "tools/crclist/images/byte_order.h"

namespace crclist {
namespace {

constexpr std::uint64_t kFirstDescriptor = 16;
// Far more than any disc has; the sequence ends at the first sector that holds none.
constexpr std::size_t kMostDescriptors = 32;

constexpr std::size_t kVolumeSpaceSize = 80;

bool HasIdentifier(const unsigned char* sector, const char* identifier) {
    return std::memcmp(sector + 1, identifier, 5) == 0;
}

// Joliet's escape sequences for UCS-2 levels 1 to 3: "%/@", "%/C", "%/E".
bool IsJoliet(const unsigned char* sector) {
    constexpr std::size_t kEscapes = 88;
    return sector[0] == 2 && sector[kEscapes] == '%' && sector[kEscapes + 1] == '/' &&
           (sector[kEscapes + 2] == '@' || sector[kEscapes + 2] == 'C' ||
            sector[kEscapes + 2] == 'E');
}

}  // namespace

bool StartsVolumeDescriptors(const unsigned char* sector) {
    return HasIdentifier(sector, "CD001") || HasIdentifier(sector, "BEA01");
}

bool ReadDiscVolumes(SectorView& view, DiscVolumes* volumes) {
    *volumes = DiscVolumes();
    std::vector<unsigned char> sectors(kMostDescriptors * kSectorSize);
    std::size_t got = 0;
    if (!view.ReadSectors(kFirstDescriptor, kMostDescriptors, sectors.data(), &got)) {
        return false;
    }
    bool extended = false;
    for (std::size_t index = 0; index < got; ++index) {
        const unsigned char* sector = sectors.data() + index * kSectorSize;
        if (HasIdentifier(sector, "CD001")) {
            if (sector[0] == 1 && !volumes->iso9660) {
                volumes->iso9660 = true;
                volumes->isoSectors = LittleEndian(sector + kVolumeSpaceSize, 4);
                volumes->primarySector = kFirstDescriptor + index;
            }
            if (IsJoliet(sector) && !volumes->joliet) {
                volumes->joliet = true;
                volumes->jolietSector = kFirstDescriptor + index;
            }
        } else if (HasIdentifier(sector, "BEA01")) {
            extended = true;
        } else if (HasIdentifier(sector, "NSR02") || HasIdentifier(sector, "NSR03")) {
            volumes->udf = volumes->udf || extended;
        } else if (HasIdentifier(sector, "TEA01")) {
            extended = false;
        } else if (!HasIdentifier(sector, "BOOT2") && !HasIdentifier(sector, "CDW02")) {
            break;
        }
    }
    return true;
}

}  // namespace crclist
