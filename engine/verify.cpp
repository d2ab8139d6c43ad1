#include "engine/verify.h"

#include <string>

#include "engine/file_reader.h"
#include "resources/texts.h"

namespace {

// The queue is drained and the stop flag tested once every this many bytes.
constexpr std::uint64_t kStepBytes = 4096;

// Messages that name a file: the path directly followed by the fixed text.
void ReportFile(platform::Window owner, const char* path, const char* text) {
    std::string message(path);
    message += text;
    platform::ShowMessage(owner, message.c_str(), nullptr, platform::kErrorStyle);
}

}  // namespace

bool VerifyFile(const CrcTable& crcTable, const char* path, std::int32_t expectedSize,
                std::uint32_t expectedCrc, ProgressView& progress, platform::Window owner) {
    FileReader reader;
    if (!reader.OpenFile(path)) {
        ReportFile(owner, path, texts::kOpenFailed);
        return false;
    }
    // The whole 64-bit size takes part: a file of 4 GiB + n bytes must not pass for one of n
    // bytes, nor a file of exactly 4 GiB for an empty one. A negative size matches nothing.
    const std::uint64_t fileSize = reader.fileSize;
    if (expectedSize < 0 || fileSize != static_cast<std::uint64_t>(expectedSize)) {
        ReportFile(owner, path, texts::kSizeMismatch);
        return false;
    }

    std::uint32_t reg = kCrcStart;
    std::uint64_t i = 0;  // bytes before the current one
    std::uint64_t j = 0;  // bytes since the bar last moved
    std::uint8_t byte = 0;
    while (reader.NextByte(&byte)) {
        reg = UpdateCrc(crcTable, reg, byte);
        if ((i & (kStepBytes - 1)) == 0) {
            // The bar moves only after at least one more per cent, so that the dialog is not
            // flooded. A file that grew after its size was taken may have been empty then.
            if (fileSize != 0 && (j * 100) / fileSize >= 1) {
                progress.SetPosition(static_cast<std::int32_t>((i * 100) / fileSize));
                j = 0;
            }
            if (platform::PumpMessages() == 0) {
                return false;
            }
            if (progress.IsStopRequested()) {
                return false;
            }
        }
        ++i;
        ++j;
    }
    return FinishCrc(reg) == expectedCrc;
}
