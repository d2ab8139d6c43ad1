// MemoryBlock on the C allocator, with the success and failure rules of the global-memory
// version: sizes of 0 or less are refused, a failed resize leaves no block behind.
#include <cstdlib>

#include "engine/memory_block.h"

MemoryBlock::~MemoryBlock() {
    MemoryBlock::Free();
}

bool MemoryBlock::Allocate(std::int32_t size) {
    if (size <= 0) {
        return false;
    }
    Free();
    void* memory = std::malloc(static_cast<std::size_t>(size));
    if (memory == nullptr) {
        return false;
    }
    handle_ = memory;
    data_ = static_cast<std::uint8_t*>(memory);
    size_ = size;
    return true;
}

bool MemoryBlock::Resize(std::int32_t size) {
    if (size <= 0) {
        return false;
    }
    if (handle_ == nullptr) {
        return Allocate(size);
    }
    void* memory = std::realloc(handle_, static_cast<std::size_t>(size));
    if (memory == nullptr) {
        // The global-memory version loses the block when the reallocation fails.
        std::free(handle_);
        handle_ = nullptr;
        data_ = nullptr;
        size_ = 0;
        return false;
    }
    handle_ = memory;
    data_ = static_cast<std::uint8_t*>(memory);
    size_ = size;
    return true;
}

void MemoryBlock::Free() {
    if (handle_ == nullptr) {
        return;
    }
    std::free(handle_);
    handle_ = nullptr;
    data_ = nullptr;
    size_ = 0;
}
