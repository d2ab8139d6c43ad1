// A resizable block of memory. On Windows it is movable global memory that stays locked
// while held (memory_block_win.cpp); elsewhere the C allocator with the same success and
// failure rules (memory_block_posix.cpp).
#pragma once

#include <cstdint>

class MemoryBlock {
  public:
    MemoryBlock() = default;
    MemoryBlock(const MemoryBlock&) = delete;
    MemoryBlock& operator=(const MemoryBlock&) = delete;
    virtual ~MemoryBlock();

    // A size of 0 or less is refused and nothing changes. Otherwise the present block is
    // freed first.
    virtual bool Allocate(std::int32_t size);
    // Keeps the bytes up to the smaller of the two sizes. With no block, allocates.
    virtual bool Resize(std::int32_t size);
    virtual void Free();
    virtual std::int32_t Size() const { return size_; }
    virtual std::uint8_t* Data() const { return data_; }

  private:
    void* handle_ = nullptr;
    std::uint8_t* data_ = nullptr;
    std::int32_t size_ = 0;
};
