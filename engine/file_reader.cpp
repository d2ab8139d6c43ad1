#include "engine/file_reader.h"

FileReader::FileReader() {
    // A failed allocation leaves a buffer of size 0: the first NextByte then reads nothing
    // and reports the end, so the file fails its comparison instead of crashing.
    buffer.Allocate(kChunkSize);
}

FileReader::~FileReader() {
    CloseFile();
    buffer.Free();
}

bool FileReader::OpenFile(const char* path) {
    CloseFile();
    platform::File file = platform::OpenFileForReading(path);
    if (file == nullptr) {
        return false;
    }
    std::uint64_t size = 0;
    if (!platform::QueryFileSize(file, &size)) {
        platform::CloseFile(file);
        return false;
    }
    fileHandle = file;
    fileSize = size;
    // Bytes left in the buffer belong to the previous file.
    position = 0xFFFFFFFFu;
    return true;
}

bool FileReader::NextByte(std::uint8_t* byte) {
    const auto chunk = static_cast<std::uint32_t>(buffer.Size());
    if (position >= chunk) {
        if (fileHandle == nullptr) {
            return false;
        }
        std::uint32_t read = 0;
        if (!platform::ReadFile(fileHandle, buffer.Data(), chunk, &read) || read == 0) {
            return false;
        }
        // Only the last chunk of a file comes short. Shrinking the buffer makes every later
        // read ask for that smaller size and find the end.
        if (read < chunk && !buffer.Resize(static_cast<std::int32_t>(read))) {
            // The block is gone with a failed resize; the bytes read went with it.
            return false;
        }
        position = 0;
    }
    *byte = buffer.Data()[position];
    ++position;
    return true;
}

bool FileReader::CloseFile() {
    if (fileHandle != nullptr) {
        platform::CloseFile(fileHandle);
        fileHandle = nullptr;
    }
    return true;
}
