// Everything the driver says goes through here, as UTF-8 lines on standard output. Under Wine
// a console program's standard output is the Unix terminal or pipe, byte for byte.
#pragma once

#include <string>

namespace e2e {

void Say(const std::string& utf8Line);

}  // namespace e2e
