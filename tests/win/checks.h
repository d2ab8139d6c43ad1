// The small check-and-count harness of the Windows test programs. They run under wine64 as
// console programs, outside GoogleTest, since they need real windows and a real registry.
#pragma once

#include <cstdio>
#include <string>

namespace wintest {

inline int passed = 0;
inline int failed = 0;

// A failure names the file and line of the call; helpers that check on behalf of their own
// caller take the same two defaults and pass them on.
inline void Check(bool condition, const std::string& what, const std::string& detail = {},
                  const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
    if (condition) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("%s:%d: FAIL: %s %s\n", file, line, what.c_str(), detail.c_str());
}

// Prints the closing count and gives the exit code.
inline int Report(const char* name) {
    std::printf("%s: %d passed, %d failed\n", name, passed, failed);
    return failed == 0 ? 0 : 1;
}

}  // namespace wintest
