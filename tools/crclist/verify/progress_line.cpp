#include "tools/crclist/verify/progress_line.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "tools/crclist/text/console.h"
#include "tools/crclist/text/utf8.h"

namespace crclist {
namespace {

constexpr std::size_t kUsualColumns = 80;  // the narrowest usual terminal
// What marks a name cut at its front: U+2026 (…) in UTF-8, one column wide.
constexpr char kCutMark[] = "\xE2\x80\xA6";
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

// The columns that a character takes on a terminal: two for the wide East Asian characters,
// one for the rest, half-width katakana included.
std::size_t Width(std::uint32_t code) {
    const bool wide = code >= 0x1100 && !(code >= 0xFF61 && code <= 0xFF9F) &&
                      !(code >= 0x2000 && code <= 0x2E7F);
    return wide ? 2 : 1;
}

// Cuts the text into characters with their widths; bytes that are no UTF-8 count as one.
struct Character {
    std::size_t start;
    std::size_t width;
};
std::vector<Character> Characters(const std::string& text) {
    std::vector<Character> characters;
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Character character = DecodeUtf8(text, i);
        characters.push_back({i, character.valid ? Width(character.code) : 1});
        i += character.length;
    }
    return characters;
}

// In MB and GB, the units of the speed beside it.
std::string Amount(std::uint64_t bytes) {
    char text[32];
    const double megabytes = static_cast<double>(bytes) / 1e6;
    if (megabytes >= 1000.0) {
        std::snprintf(text, sizeof text, "%.2f GB", megabytes / 1000.0);
    } else {
        std::snprintf(text, sizeof text, "%.1f MB", megabytes);
    }
    return text;
}

}  // namespace

std::string FormatProgress(std::uint64_t done, std::uint64_t total, double seconds,
                           const std::string& utf8Name, std::size_t columns) {
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    const unsigned percent =
        total == 0 ? 100
                   : static_cast<unsigned>(std::min<std::uint64_t>(done, total) * 100 / total);
    char left[32] = "--:--";
    if (rate > 0) {
        const auto remaining = static_cast<std::uint64_t>(
            std::llround(static_cast<double>(total > done ? total - done : 0) / rate));
        std::snprintf(left, sizeof left, "%" PRIu64 ":%02u", remaining / 60,
                      static_cast<unsigned>(remaining % 60));
    }
    char head[160];
    std::snprintf(head, sizeof head, "%s of %s  %3u%%  %.0f MB/s  %s left  ", Amount(done).c_str(),
                  Amount(total).c_str(), percent, rate / 1e6, left);
    std::string line = head;
    if (line.size() >= columns) {
        return line.substr(0, columns);
    }
    // Keep the end of the name, the file being told by its last components, after a mark
    // that says that its front is cut.
    const std::vector<Character> characters = Characters(utf8Name);
    const std::size_t room = columns - line.size();
    std::size_t width = 0;
    for (const Character& character : characters) {
        width += character.width;
    }
    if (width <= room) {
        return line + utf8Name;
    }
    width = 1;  // the mark
    std::size_t from = utf8Name.size();
    for (auto it = characters.rbegin(); it != characters.rend(); ++it) {
        if (width + it->width > room) {
            break;
        }
        width += it->width;
        from = it->start;
    }
    return line + kCutMark + utf8Name.substr(from);
}

std::size_t ProgressColumns(std::size_t terminalColumns, const char* columnsVariable) {
    std::size_t columns = terminalColumns;
    if (columns == 0 && columnsVariable != nullptr) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(columnsVariable, &end, 10);
        columns = *columnsVariable != '\0' && *end == '\0' && value < 10000 ? value : 0;
    }
    // One short of the width: a terminal that wraps at the last column would move on a line.
    return (columns == 0 ? kUsualColumns : columns) - 1;
}

ProgressLine::ProgressLine(std::FILE* out, bool wanted, std::uint64_t totalBytes)
    : out_(out), enabled_(wanted && IsTerminal(out)), total_(totalBytes) {}

void ProgressLine::SetName(const std::string& utf8Name) {
    name_ = utf8Name;
    DrawIfDue();
}

void ProgressLine::Add(std::uint64_t bytes) {
    done_ += bytes;
    DrawIfDue();
}

void ProgressLine::DrawIfDue() {
    if (!enabled_) {
        return;
    }
    const Clock::time_point now = Clock::now();
    if (now - lastDraw_ < kRedrawInterval) {
        return;
    }
    lastDraw_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const std::size_t columns = ProgressColumns(TerminalColumns(out_), std::getenv("COLUMNS"));
    const std::string line = FormatProgress(done_, total_, seconds, name_, columns);
    std::size_t width = 0;
    for (const Character& character : Characters(line)) {
        width += character.width;
    }
    // Spaces cover what is left of a longer line before: no terminal escapes needed.
    const std::string padding(drawnWidth_ > width ? drawnWidth_ - width : 0, ' ');
    Write("\r" + line + padding);
    drawnWidth_ = width == 0 ? 1 : width;
}

void ProgressLine::Clear() {
    if (!enabled_ || drawnWidth_ == 0) {
        return;
    }
    Write("\r" + std::string(drawnWidth_, ' ') + "\r");
    drawnWidth_ = 0;
}

void ProgressLine::Write(const std::string& utf8) {
    WriteText(out_, utf8);
}

}  // namespace crclist
