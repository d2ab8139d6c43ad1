// The user data of a disc's sectors, 2048 bytes each, read from wherever it lies in a file: one
// sector after another in a plain image or a drive, or inside raw sectors of 2352 bytes (2448
// with subchannel data) behind their sync pattern and header. Every file system reader of an
// image reads through this, so that the form of the image is known in one place only.
//
// Reads are large, one system call each, and raw sectors are unpacked a whole read at a time:
// an image is read at about the speed of its file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace crclist {

constexpr std::size_t kSectorSize = 2048;

// Where a track's sectors lie in a file.
struct SectorLayout {
    std::uint64_t start = 0;       // where sector 0 begins
    std::uint32_t stride = 2048;   // the bytes a sector takes: 2048, 2352 or 2448
    std::uint32_t dataOffset = 0;  // where its user data begins: 0, 16 (MODE1), 24 (MODE2 form 1)
    std::uint64_t sectors = 0;     // how many the track holds
};

// A file or a drive opened for reading at any offset.
class ImageFile {
  public:
    ImageFile() = default;
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;
    ~ImageFile();

    // False, with the reason in `error`, when `path` cannot be opened.
    bool Open(const std::string& path, std::string* error);
    // Its size: of a file, or of the disc in a drive.
    std::uint64_t Size() const { return size_; }
    // Reads up to `count` bytes at `offset`; `*got` is less only at the end. False on an error.
    bool ReadAt(std::uint64_t offset, std::size_t count, unsigned char* out,
                std::size_t* got) const;

  private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

class SectorView {
  public:
    // Reads the track that `layout` describes from `file`, which must stay open while the view
    // is read. The layout's sector count is cut to what the file holds.
    SectorView(const ImageFile& file, const SectorLayout& layout);

    std::uint64_t Sectors() const { return layout_.sectors; }
    bool Raw() const { return layout_.stride != kSectorSize; }

    // Reads up to `count` sectors from `first` on into `out` (2048 bytes each); `*got` is less
    // only at the end of the track. False on a read error.
    bool Read(std::uint64_t first, std::size_t count, unsigned char* out, std::size_t* got) {
        return Read(first, count, out, got, &raw_);
    }
    // The same, on any thread: the raw sectors go through `raw`, the caller's own.
    bool Read(std::uint64_t first, std::size_t count, unsigned char* out, std::size_t* got,
              std::vector<unsigned char>* raw) const;

  private:
    const ImageFile& file_;
    SectorLayout layout_;
    std::vector<unsigned char> raw_;  // the raw sectors of one read
};

}  // namespace crclist
