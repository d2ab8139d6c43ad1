// A hook of PositionalFile for tests: a read error on demand, such as a failing disc gives in
// the middle of a file.
#pragma once

#include <cstdint>

namespace crclist::testing {

// Makes the next read that would read byte `offset` of a file fail, once, on any thread.
void FailReadAt(std::uint64_t offset);

// For the halves of PositionalFile: true, once, for the read of `count` bytes at `offset` that
// is to fail.
bool ReadFailsNow(std::uint64_t offset, std::uint64_t count);

}  // namespace crclist::testing
