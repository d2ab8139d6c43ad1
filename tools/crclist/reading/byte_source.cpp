#include "tools/crclist/reading/byte_source.h"

#include <algorithm>

namespace crclist {

bool CopyExtents(const ByteSource& source, const std::vector<Extent>& extents, std::uint64_t size,
                 std::string* bytes, std::string* reason) {
    constexpr std::size_t kReadSize = std::size_t{64} << 10;
    bytes->clear();
    bytes->reserve(static_cast<std::size_t>(size));
    ReadScratch scratch(kReadSize);
    const SpanSink append = [bytes](const unsigned char* data, std::size_t length) {
        bytes->append(reinterpret_cast<const char*>(data), length);
    };
    for (const Extent& extent : extents) {
        const std::uint64_t length = std::min(extent.length, size - bytes->size());
        if (extent.zeros) {
            bytes->append(static_cast<std::size_t>(length), '\0');
            continue;
        }
        for (std::uint64_t done = 0; done < length;) {
            const auto count =
                static_cast<std::size_t>(std::min<std::uint64_t>(kReadSize, length - done));
            std::size_t got = 0;
            if (!source.Read(extent.offset + done, count, scratch, append, &got, reason)) {
                return false;
            }
            if (got < count) {
                *reason = "the image ends inside it";
                return false;
            }
            done += got;
        }
    }
    if (bytes->size() < size) {
        *reason = "its data is missing";
        return false;
    }
    return true;
}

}  // namespace crclist
