// MemoryBlock on movable global memory, locked for as long as the block is held.
#include <windows.h>

#include "engine/memory_block.h"

MemoryBlock::~MemoryBlock() {
    MemoryBlock::Free();
}

bool MemoryBlock::Allocate(std::int32_t size) {
    if (size <= 0) {
        return false;
    }
    Free();
    if (handle_ != nullptr) {
        // The old block could not be let go; taking a new one would lose it.
        return false;
    }
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(size));
    if (block == nullptr) {
        return false;
    }
    void* data = GlobalLock(block);
    if (data == nullptr) {
        GlobalFree(block);
        return false;
    }
    handle_ = block;
    data_ = static_cast<std::uint8_t*>(data);
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
    HGLOBAL block = static_cast<HGLOBAL>(handle_);
    // A nonzero result means that the block is still locked and cannot move.
    if (GlobalUnlock(block) != 0) {
        return false;
    }
    HGLOBAL moved = GlobalReAlloc(block, static_cast<SIZE_T>(size), GMEM_MOVEABLE);
    void* data = moved != nullptr ? GlobalLock(moved) : nullptr;
    if (data == nullptr) {
        // After a failed reallocation the old block is still valid: it is freed rather than
        // dropped, so that a failed resize leaves no block behind and leaks nothing.
        GlobalFree(moved != nullptr ? moved : block);
        handle_ = nullptr;
        data_ = nullptr;
        size_ = 0;
        return false;
    }
    handle_ = moved;
    data_ = static_cast<std::uint8_t*>(data);
    size_ = size;
    return true;
}

void MemoryBlock::Free() {
    if (handle_ == nullptr) {
        return;
    }
    HGLOBAL block = static_cast<HGLOBAL>(handle_);
    if (GlobalUnlock(block) != 0) {
        return;
    }
    if (GlobalFree(block) == nullptr) {
        handle_ = nullptr;
        data_ = nullptr;
        size_ = 0;
    }
}
