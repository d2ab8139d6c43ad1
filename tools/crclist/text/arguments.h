// The command line in UTF-8, the encoding of every text of the tool: natively the arguments as
// they are; on Windows the UTF-16 command line, which holds names in any language whatever
// the system's code page.
#pragma once

#include <string>
#include <vector>

namespace crclist {

std::vector<std::string> CommandLineArguments(int argc, char** argv);

}  // namespace crclist
