#include <windows.h>

#include <vector>

#include "tools/crclist/reading/read_shape.h"

namespace crclist {

std::size_t SecondLevelCacheBytes() {
    DWORD bytes = 0;
    GetLogicalProcessorInformation(nullptr, &bytes);
    if (bytes == 0) {
        return 0;
    }
    std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> entries(
        bytes / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION) + 1);
    if (!GetLogicalProcessorInformation(entries.data(), &bytes)) {
        return 0;
    }
    const std::size_t count = bytes / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION);
    for (std::size_t index = 0; index < count; ++index) {
        const SYSTEM_LOGICAL_PROCESSOR_INFORMATION& entry = entries[index];
        if (entry.Relationship == RelationCache && entry.Cache.Level == 2) {
            return entry.Cache.Size;
        }
    }
    return 0;
}

}  // namespace crclist
