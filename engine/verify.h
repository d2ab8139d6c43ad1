// Verification of one file by size and CRC-32, with progress, pumping and the stop test.
// The Windows program calls this with its progress dialog; tests call it with a recorder.
#pragma once

#include <cstdint>

#include "engine/crc32.h"
#include "platform/platform.h"

// What the verification loop needs of a progress display.
class ProgressView {
  public:
    virtual void SetPosition(std::int32_t percent) = 0;
    virtual bool IsStopRequested() const = 0;

  protected:
    ~ProgressView() = default;
};

// True when the file exists, has the expected size and CRC-32, and the run was not
// stopped. A file that cannot be opened, or whose size differs, is reported in a message
// box owned by `owner` (no caption); a CRC difference, a Stop and a WM_QUIT return false
// without a message, and the caller tells them apart.
bool VerifyFile(const CrcTable& crcTable, const char* path, std::int32_t expectedSize,
                std::uint32_t expectedCrc, ProgressView& progress, platform::Window owner);
