// The small check-and-count harness of the Windows test programs. They run under wine64 as
// console programs, outside GoogleTest, since they need real windows and a real registry.
#pragma once

#include <cstdio>
#include <string>

namespace wintest {

inline int passed = 0;
inline int failed = 0;

inline void Check(bool condition, const std::string& what, const std::string& detail = {}) {
    if (condition) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAIL: %s %s\n", what.c_str(), detail.c_str());
}

// Prints the closing count and gives the exit code.
inline int Report(const char* name) {
    std::printf("%s: %d passed, %d failed\n", name, passed, failed);
    return failed == 0 ? 0 : 1;
}

}  // namespace wintest
