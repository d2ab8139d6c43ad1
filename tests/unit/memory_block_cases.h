// The cases of MemoryBlock's rules, in one place for both of its versions: the unit test runs
// them on the C allocator (memory_block_test.cpp), a Windows test program on movable global
// memory (tests/win/memory_block_tests.cpp). Each group returns what went wrong, if anything.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/memory_block.h"

namespace memory_block_cases {

using Failures = std::vector<std::string>;

inline void Expect(Failures& failures, bool condition, const std::string& what) {
    if (!condition) {
        failures.push_back(what);
    }
}

inline void Fill(MemoryBlock& block) {
    for (std::int32_t n = 0; n < block.Size(); ++n) {
        block.Data()[n] = static_cast<std::uint8_t>(n * 7 + 1);
    }
}

inline bool KeepsFill(const MemoryBlock& block, std::int32_t count) {
    for (std::int32_t n = 0; n < count; ++n) {
        if (block.Data()[n] != static_cast<std::uint8_t>(n * 7 + 1)) {
            return false;
        }
    }
    return true;
}

inline Failures RefusedSizesLeaveTheBlockAlone() {
    struct Case {
        const char* name;
        bool (MemoryBlock::*operation)(std::int32_t);
        std::int32_t size;
    };
    const Case cases[] = {
        {"Allocate(0)", &MemoryBlock::Allocate, 0},
        {"Allocate(-1)", &MemoryBlock::Allocate, -1},
        {"Allocate(INT32_MIN)", &MemoryBlock::Allocate, INT32_MIN},
        {"Resize(0)", &MemoryBlock::Resize, 0},
        {"Resize(-1)", &MemoryBlock::Resize, -1},
    };
    Failures failures;
    for (const Case& c : cases) {
        const std::string name = c.name;
        MemoryBlock block;
        if (!block.Allocate(64)) {
            failures.push_back(name + ": Allocate(64) failed");
            continue;
        }
        Fill(block);
        std::uint8_t* data = block.Data();
        Expect(failures, !(block.*c.operation)(c.size), name + " refused");
        Expect(failures, block.Size() == 64, name + " keeps the size");
        Expect(failures, block.Data() == data, name + " keeps the block");
        Expect(failures, KeepsFill(block, 64), name + " keeps the bytes");

        MemoryBlock empty;
        Expect(failures, !(empty.*c.operation)(c.size), name + " refused without a block");
        Expect(failures, empty.Size() == 0 && empty.Data() == nullptr,
               name + " leaves no block behind");
    }
    return failures;
}

inline Failures ResizeKeepsTheCommonBytes() {
    struct Case {
        std::int32_t from;
        std::int32_t to;
    };
    const Case cases[] = {{100, 1}, {100, 99}, {100, 100}, {100, 101}, {1, 1 << 20}, {1 << 20, 3}};
    Failures failures;
    for (const Case& c : cases) {
        const std::string name = std::to_string(c.from) + " -> " + std::to_string(c.to);
        MemoryBlock block;
        if (!block.Allocate(c.from)) {
            failures.push_back(name + ": Allocate failed");
            continue;
        }
        Fill(block);
        if (!block.Resize(c.to) || block.Data() == nullptr) {
            failures.push_back(name + ": Resize failed");
            continue;
        }
        Expect(failures, block.Size() == c.to, name + ": new size");
        Expect(failures, KeepsFill(block, std::min(c.from, c.to)), name + ": common bytes kept");
        // The whole new size must be writable (ASan catches a short block).
        std::memset(block.Data(), 0, static_cast<std::size_t>(block.Size()));
    }
    return failures;
}

inline Failures ResizeWithoutABlockAllocates() {
    Failures failures;
    MemoryBlock block;
    Expect(failures, block.Resize(32), "Resize(32) without a block");
    Expect(failures, block.Size() == 32 && block.Data() != nullptr, "a block of 32 bytes");
    return failures;
}

inline Failures AllocateReplacesAndFreeIsRepeatable() {
    Failures failures;
    MemoryBlock block;
    Expect(failures, block.Allocate(16) && block.Allocate(4096), "Allocate twice");
    Expect(failures, block.Size() == 4096 && block.Data() != nullptr, "the second block");
    if (block.Data() != nullptr) {
        std::memset(block.Data(), 0xAB, static_cast<std::size_t>(block.Size()));
    }
    block.Free();
    Expect(failures, block.Size() == 0 && block.Data() == nullptr, "Free clears the block");
    block.Free();
    Expect(failures, block.Size() == 0 && block.Data() == nullptr, "Free again changes nothing");
    // Usable again after Free.
    Expect(failures, block.Allocate(8) && block.Size() == 8, "Allocate after Free");
    return failures;
}

struct Group {
    const char* name;
    Failures (*run)();
};

inline const Group kGroups[] = {
    {"RefusedSizesLeaveTheBlockAlone", RefusedSizesLeaveTheBlockAlone},
    {"ResizeKeepsTheCommonBytes", ResizeKeepsTheCommonBytes},
    {"ResizeWithoutABlockAllocates", ResizeWithoutABlockAllocates},
    {"AllocateReplacesAndFreeIsRepeatable", AllocateReplacesAndFreeIsRepeatable},
};

}  // namespace memory_block_cases
