#include "tools/crclist/list/list_source.h"

namespace crclist {

bool AppendListBytes(const char* data, std::size_t size, std::string* bytes, bool* tooLarge) {
    bytes->append(data, size);
    if (bytes->size() <= kLargestList) {
        return true;
    }
    bytes->clear();
    *tooLarge = true;
    return false;
}

}  // namespace crclist
