#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "tools/crclist/text/arguments.h"
#include "tools/crclist/text/windows_text.h"

namespace crclist {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(WideToUtf8(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

}  // namespace crclist
