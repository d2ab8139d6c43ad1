#include "tools/crclist/file_measure.h"

#include <vector>

#include "engine/crc32.h"
#include "platform/platform.h"

namespace crclist {
namespace {

// Large reads: the time goes into the CRC, not into the calls.
constexpr std::uint32_t kBlock = 1 << 20;

class OpenFile {
  public:
    explicit OpenFile(const std::string& path)
        : file_(platform::OpenFileForReading(path.c_str())) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() {
        if (file_ != nullptr) {
            platform::CloseFile(file_);
        }
    }
    platform::File get() const { return file_; }

  private:
    platform::File file_;
};

const CrcTable& Table() {
    static const CrcTable table = [] {
        CrcTable built;
        BuildCrcTable(built);
        return built;
    }();
    return table;
}

}  // namespace

Measure MeasureFile(const std::string& path, std::int32_t* size, std::uint32_t* crc) {
    OpenFile file(path);
    std::uint64_t fullSize = 0;
    if (file.get() == nullptr || !platform::QueryFileSize(file.get(), &fullSize)) {
        return Measure::kCannotRead;
    }
    if (fullSize > static_cast<std::uint64_t>(INT32_MAX)) {
        return Measure::kTooLarge;
    }
    const CrcTable& table = Table();
    std::vector<std::uint8_t> block(kBlock);
    std::uint32_t reg = kCrcStart;
    std::uint64_t total = 0;
    for (;;) {
        std::uint32_t read = 0;
        if (!platform::ReadFile(file.get(), block.data(), kBlock, &read)) {
            return Measure::kCannotRead;
        }
        if (read == 0) {
            break;
        }
        for (std::uint32_t i = 0; i < read; ++i) {
            reg = UpdateCrc(table, reg, block[i]);
        }
        total += read;
    }
    // A file that changed while it was read describes nothing.
    if (total != fullSize) {
        return Measure::kCannotRead;
    }
    *size = static_cast<std::int32_t>(total);
    *crc = FinishCrc(reg);
    return Measure::kOk;
}

}  // namespace crclist
