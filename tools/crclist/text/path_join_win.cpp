#include "tools/crclist/text/path_join.h"

namespace crclist {

const char kSystemSeparator = '\\';

// In UTF-8 a '\' or '/' byte is always that character, never the second byte of another.
bool IsSystemSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace crclist
