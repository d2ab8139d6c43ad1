// MemoryBlock on movable global memory (engine/memory_block_win.cpp), run as a Windows console
// program: the same cases as the unit test of the C-allocator version.
#include <string>

#include "tests/unit/memory_block_cases.h"
#include "tests/win/checks.h"

int main() {
    for (const memory_block_cases::Group& group : memory_block_cases::kGroups) {
        std::string failures;
        for (const std::string& failure : group.run()) {
            failures += "\n  " + failure;
        }
        wintest::Check(failures.empty(), group.name, failures);
    }
    return wintest::Report("memory block checks");
}
