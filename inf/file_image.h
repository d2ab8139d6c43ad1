// A block of memory that holds one whole file, read with a single read.
#pragma once

#include "engine/memory_block.h"

class FileImage : public MemoryBlock {
  public:
    ~FileImage() override;

    // Replaces the block's content with the whole file. False when the file cannot be
    // opened, its size cannot be taken, it is empty, or the read fails or comes short.
    bool Load(const char* path);
};
