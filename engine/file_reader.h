// Reads one file sequentially, one byte per call, through a buffer of 1 MiB.
#pragma once

#include <cstdint>

#include "engine/memory_block.h"
#include "platform/platform.h"

class FileReader {
  public:
    static constexpr std::int32_t kChunkSize = 0x100000;

    FileReader();  // allocates the read chunk
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;
    ~FileReader();  // closes the file and frees the chunk

    // False when the file cannot be opened or its size cannot be taken; no file stays open.
    bool OpenFile(const char* path);
    // False at the end of the file or on a read error.
    bool NextByte(std::uint8_t* byte);
    bool CloseFile();

    platform::File fileHandle = nullptr;
    // The full size: a file of 4 GiB or more must not pass for a small one.
    std::uint64_t fileSize = 0;
    MemoryBlock buffer;
    std::uint32_t position = 0xFFFFFFFFu;
};
