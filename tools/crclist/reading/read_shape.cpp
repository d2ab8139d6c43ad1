#include "tools/crclist/reading/read_shape.h"

#include <unistd.h>

#include <algorithm>

#include "tools/crclist/reading/reading_threads.h"

namespace crclist {

ReadShape MachineReadShape() {
    ReadShape shape;
    shape.helpers = HelperThreadCount();
#ifdef _SC_LEVEL2_CACHE_SIZE
    // glibc reads it from the processor; 0 or -1 when it cannot tell.
    const long secondLevel = ::sysconf(_SC_LEVEL2_CACHE_SIZE);
    if (secondLevel > 0) {
        constexpr std::size_t kLeast = std::size_t{64} << 10;
        constexpr std::size_t kMost = std::size_t{256} << 10;
        shape.readSize = std::clamp(static_cast<std::size_t>(secondLevel) / 8, kLeast, kMost);
    }
#endif
    return shape;
}

}  // namespace crclist
