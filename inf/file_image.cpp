#include "inf/file_image.h"

#include <cstdint>

#include "platform/platform.h"

FileImage::~FileImage() {
    Free();
}

bool FileImage::Load(const char* path) {
    platform::File file = platform::OpenFileForReading(path);
    if (file == nullptr) {
        return false;
    }
    // The block's size is a signed 32-bit count: a larger file cannot be held whole, and
    // reading only part of it would check a different file than the one named.
    std::uint64_t fileSize = 0;
    if (!platform::QueryFileSize(file, &fileSize) || fileSize > INT32_MAX) {
        platform::CloseFile(file);
        return false;
    }
    Free();
    // Allocate refuses a size of 0, so an empty file fails here.
    if (!Allocate(static_cast<std::int32_t>(fileSize))) {
        platform::CloseFile(file);
        return false;
    }
    const std::uint32_t wanted = static_cast<std::uint32_t>(Size());
    std::uint32_t read = 0;
    if (!platform::ReadFile(file, Data(), wanted, &read) || read != wanted) {
        platform::CloseFile(file);
        return false;
    }
    return platform::CloseFile(file);
}
