#include "tools/crclist/reading/read_shape.h"

#include <algorithm>

#include "tools/crclist/reading/reading_threads.h"

namespace crclist {

namespace {

ReadShape AskedReadShape() {
    ReadShape shape;
    // One helper for each further processor, at most three: more only wait on memory.
    constexpr std::size_t kMostHelpers = 3;
    const std::size_t processors = AllowedProcessors();
    shape.helpers = processors > 1 ? std::min(processors - 1, kMostHelpers) : 0;
    const std::size_t secondLevel = SecondLevelCacheBytes();
    if (secondLevel > 0) {
        constexpr std::size_t kLeast = std::size_t{64} << 10;
        constexpr std::size_t kMost = std::size_t{256} << 10;
        shape.readSize = std::clamp(secondLevel / 8, kLeast, kMost);
    }
    return shape;
}

}  // namespace

ReadShape MachineReadShape() {
    // Asked of the system once: every plan of a run wants it.
    static const ReadShape machine = AskedReadShape();
    return machine;
}

ReadShape ReadShapeOfStreams(std::size_t streams) {
    ReadShape shape = MachineReadShape();
    shape.helpers = std::min(shape.helpers, streams > 0 ? streams - 1 : 0);
    return shape;
}

}  // namespace crclist
