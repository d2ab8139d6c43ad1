#include "tools/crclist/reading/read_shape.h"

#include <algorithm>

#include "tools/crclist/reading/reading_threads.h"

namespace crclist {

ReadShape MachineReadShape() {
    ReadShape shape;
    shape.helpers = HelperThreadCount();
    const std::size_t secondLevel = SecondLevelCacheBytes();
    if (secondLevel > 0) {
        constexpr std::size_t kLeast = std::size_t{64} << 10;
        constexpr std::size_t kMost = std::size_t{256} << 10;
        shape.readSize = std::clamp(secondLevel / 8, kLeast, kMost);
    }
    return shape;
}

ReadShape ReadShapeOfStreams(std::size_t streams) {
    ReadShape shape = MachineReadShape();
    shape.helpers = std::min(shape.helpers, streams > 0 ? streams - 1 : 0);
    return shape;
}

}  // namespace crclist
