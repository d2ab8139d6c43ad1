#include "tools/crclist/text/path_join.h"

namespace crclist {

const char kSystemSeparator = '/';

bool IsSystemSeparator(char c) {
    return c == '/';
}

}  // namespace crclist
