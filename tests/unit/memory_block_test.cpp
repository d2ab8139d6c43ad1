// MemoryBlock on the C allocator; the cases are shared with the Windows version's test.
#include "engine/memory_block.h"

#include <gtest/gtest.h>

#include <ostream>

#include "tests/unit/memory_block_cases.h"

namespace memory_block_cases {

// Failures name the group rather than dumping its bytes.
void PrintTo(const Group& group, std::ostream* out) {
    *out << group.name;
}

}  // namespace memory_block_cases

namespace {

using memory_block_cases::Group;

class MemoryBlockTest : public ::testing::TestWithParam<Group> {};

TEST_P(MemoryBlockTest, KeepsItsRules) {
    EXPECT_EQ(GetParam().run(), memory_block_cases::Failures{});
}

INSTANTIATE_TEST_SUITE_P(Groups, MemoryBlockTest, ::testing::ValuesIn(memory_block_cases::kGroups),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
