#include <unistd.h>

#include "tools/crclist/reading/read_shape.h"

namespace crclist {

std::size_t SecondLevelCacheBytes() {
#ifdef _SC_LEVEL2_CACHE_SIZE
    // glibc reads it from the processor; 0 or -1 when it cannot tell.
    const long bytes = ::sysconf(_SC_LEVEL2_CACHE_SIZE);
    return bytes > 0 ? static_cast<std::size_t>(bytes) : 0;
#else
    return 0;
#endif
}

}  // namespace crclist
