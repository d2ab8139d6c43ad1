#include "engine/memory_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

void Fill(MemoryBlock& block) {
    for (std::int32_t n = 0; n < block.Size(); ++n) {
        block.Data()[n] = static_cast<std::uint8_t>(n * 7 + 1);
    }
}

bool KeepsFill(const MemoryBlock& block, std::int32_t count) {
    for (std::int32_t n = 0; n < count; ++n) {
        if (block.Data()[n] != static_cast<std::uint8_t>(n * 7 + 1)) {
            return false;
        }
    }
    return true;
}

TEST(MemoryBlockTest, RefusedSizesLeaveTheBlockAlone) {
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
    for (const Case& c : cases) {
        MemoryBlock block;
        ASSERT_TRUE(block.Allocate(64));
        Fill(block);
        std::uint8_t* data = block.Data();
        EXPECT_FALSE((block.*c.operation)(c.size)) << c.name;
        EXPECT_EQ(block.Size(), 64) << c.name;
        EXPECT_EQ(block.Data(), data) << c.name;
        EXPECT_TRUE(KeepsFill(block, 64)) << c.name;

        MemoryBlock empty;
        EXPECT_FALSE((empty.*c.operation)(c.size)) << c.name << " without a block";
        EXPECT_EQ(empty.Size(), 0) << c.name;
        EXPECT_EQ(empty.Data(), nullptr) << c.name;
    }
}

TEST(MemoryBlockTest, ResizeKeepsTheCommonBytes) {
    struct Case {
        std::int32_t from;
        std::int32_t to;
    };
    const Case cases[] = {{100, 1}, {100, 99}, {100, 100}, {100, 101}, {1, 1 << 20}, {1 << 20, 3}};
    for (const Case& c : cases) {
        MemoryBlock block;
        ASSERT_TRUE(block.Allocate(c.from));
        Fill(block);
        ASSERT_TRUE(block.Resize(c.to)) << c.from << " -> " << c.to;
        EXPECT_EQ(block.Size(), c.to);
        ASSERT_NE(block.Data(), nullptr);
        EXPECT_TRUE(KeepsFill(block, std::min(c.from, c.to))) << c.from << " -> " << c.to;
        // The whole new size must be writable (ASan catches a short block).
        std::memset(block.Data(), 0, static_cast<std::size_t>(block.Size()));
    }
}

TEST(MemoryBlockTest, ResizeWithoutABlockAllocates) {
    MemoryBlock block;
    ASSERT_TRUE(block.Resize(32));
    EXPECT_EQ(block.Size(), 32);
    EXPECT_NE(block.Data(), nullptr);
}

TEST(MemoryBlockTest, AllocateReplacesAndFreeIsRepeatable) {
    MemoryBlock block;
    ASSERT_TRUE(block.Allocate(16));
    ASSERT_TRUE(block.Allocate(4096));
    EXPECT_EQ(block.Size(), 4096);
    std::memset(block.Data(), 0xAB, 4096);
    block.Free();
    EXPECT_EQ(block.Size(), 0);
    EXPECT_EQ(block.Data(), nullptr);
    block.Free();
    EXPECT_EQ(block.Size(), 0);
    EXPECT_EQ(block.Data(), nullptr);
    // Usable again after Free.
    ASSERT_TRUE(block.Allocate(8));
    EXPECT_EQ(block.Size(), 8);
}

}  // namespace
