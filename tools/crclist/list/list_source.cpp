#include "tools/crclist/list/list_source.h"

namespace crclist {

bool ReadListSource(const std::string& source, std::string* bytes, bool* tooLarge,
                    std::string* problem) {
    bytes->clear();
    *tooLarge = false;
    std::string why;
    if (!ReadSourceBytes(source, bytes, tooLarge, &why)) {
        *problem = "cannot read the list " + ShownSource(source) + ": " + why;
        return false;
    }
    return true;
}

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
