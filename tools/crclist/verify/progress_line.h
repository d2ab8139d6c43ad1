// The progress of a run on one line of a terminal, as wide as the terminal: bytes done of the
// listed total, the per cent, the speed, the time left and the current name. It is redrawn in place
// at most ten times a second, and only when its stream is a terminal, so that nothing of it ends up
// in a file or a pipe.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace crclist {

// The text of the line, at most `columns` wide: of a long name the end is kept, after a '…'.
std::string FormatProgress(std::uint64_t done, std::uint64_t total, double seconds,
                           const std::string& utf8Name, std::size_t columns);

// The columns that the line may take: one short of the terminal's width (`terminalColumns`,
// 0 where the terminal does not say), else of the width in $COLUMNS (`columnsVariable`,
// null when unset), else of 80.
std::size_t ProgressColumns(std::size_t terminalColumns, const char* columnsVariable);

class ProgressLine {
  public:
    // Draws on `out` only when `wanted` and `out` is a terminal.
    ProgressLine(std::FILE* out, bool wanted, std::uint64_t totalBytes);
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    ~ProgressLine() { Clear(); }

    void SetName(const std::string& utf8Name);
    void Add(std::uint64_t bytes);
    // Takes the line off the screen: before other output, and at the end.
    void Clear();

  private:
    using Clock = std::chrono::steady_clock;
    void DrawIfDue();
    void Write(const std::string& utf8);

    std::FILE* out_;
    bool enabled_;
    std::uint64_t total_;
    std::uint64_t done_ = 0;
    std::string name_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDraw_{};
    std::size_t drawnWidth_ = 0;
};

}  // namespace crclist
