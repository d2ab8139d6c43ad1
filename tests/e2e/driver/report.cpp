#include "report.h"

#include <windows.h>

namespace e2e {

void Say(const std::string& utf8Line) {
    // WriteFile rather than stdio: the C runtime would translate line feeds in text mode.
    std::string line = utf8Line + "\n";
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace e2e
