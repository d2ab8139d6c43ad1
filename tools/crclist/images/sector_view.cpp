#include "tools/crclist/images/sector_view.h"

#include <algorithm>
#include <cstring>

namespace crclist {

SectorView::SectorView(const PositionalFile& file, const SectorLayout& layout)
    : file_(file), layout_(layout), scratch_(kSectorSize * 16) {
    const std::uint64_t size = file.Size();
    const std::uint64_t held = size > layout.start ? (size - layout.start) / layout.stride : 0;
    layout_.sectors = std::min(layout.sectors, held);
}

bool SectorView::ReadSectors(std::uint64_t first, std::size_t count, unsigned char* out,
                             std::size_t* got) {
    *got = 0;
    if (first >= layout_.sectors) {
        return true;
    }
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, layout_.sectors - first));
    std::size_t bytes = 0;
    std::string reason;
    if (!Raw()) {
        const bool read = file_.ReadAt(layout_.start + first * kSectorSize, out,
                                       count * kSectorSize, &bytes, &reason);
        *got = bytes / kSectorSize;
        return read;
    }
    bool read = true;
    while (read && *got < count) {
        const std::size_t part = std::min(count - *got, scratch_.buffer.Size() / kSectorSize);
        std::size_t given = 0;
        read = Read((first + *got) * kSectorSize, part * kSectorSize, scratch_,
                    [&](const unsigned char* data, std::size_t size) {
                        std::memcpy(out + *got * kSectorSize + given, data, size);
                        given += size;
                    },
                    &bytes, &reason);
        *got += bytes / kSectorSize;
        if (bytes < part * kSectorSize) {
            break;
        }
    }
    return read;
}

bool SectorView::Cached(std::uint64_t offset, std::uint64_t length) const {
    const std::uint64_t first = offset / kSectorSize;
    const std::uint64_t end = (offset + length + kSectorSize - 1) / kSectorSize;
    const std::uint64_t bytes = (end - first) * layout_.stride;
    std::uint64_t cached = 0;
    return file_.CachedBytes(layout_.start + first * layout_.stride, bytes, &cached) &&
           cached == bytes;
}

bool SectorView::Read(std::uint64_t offset, std::size_t count, ReadScratch& scratch,
                      const SpanSink& take, std::size_t* got, std::string* reason) const {
    *got = 0;
    const std::uint64_t end = layout_.sectors * kSectorSize;
    if (offset >= end) {
        return true;
    }
    count = static_cast<std::size_t>(
        std::min<std::uint64_t>({count, end - offset, scratch.buffer.Size()}));
    if (!Raw()) {
        const bool read =
            file_.ReadAt(layout_.start + offset, scratch.buffer.Data(), count, got, reason);
        if (*got > 0) {
            take(scratch.buffer.Data(), *got);
        }
        return read;
    }
    // The raw sectors that hold the bytes, in one read; each sector's data handed over where it
    // lies in them.
    const std::uint64_t first = offset / kSectorSize;
    const auto within = static_cast<std::size_t>(offset % kSectorSize);
    const std::size_t sectors = (within + count + kSectorSize - 1) / kSectorSize;
    scratch.spare.resize(sectors * layout_.stride);
    std::size_t bytes = 0;
    const bool read = file_.ReadAt(layout_.start + first * layout_.stride, scratch.spare.data(),
                                   scratch.spare.size(), &bytes, reason);
    const std::size_t whole = bytes / layout_.stride;
    for (std::size_t sector = 0; sector < whole && *got < count; ++sector) {
        const std::size_t skip = sector == 0 ? within : 0;
        const std::size_t size = std::min(kSectorSize - skip, count - *got);
        take(scratch.spare.data() + sector * layout_.stride + layout_.dataOffset + skip, size);
        *got += size;
    }
    return read;
}

}  // namespace crclist
