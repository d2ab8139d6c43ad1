#include "tools/crclist/text/arguments.h"

namespace crclist {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace crclist
