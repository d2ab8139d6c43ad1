#include "tools/crclist/images/cue_sheet.h"

#include <cstdio>
#include <cstdlib>

#include "tools/crclist/text/ascii.h"
#include "tools/crclist/text/utf8.h"

namespace crclist {
namespace {

constexpr int kFramesPerSecond = 75;

// What a line is trimmed of.
constexpr char kBlanks[] = " \t";

// The first word of `text` (or the quoted string there), and what follows it, trimmed.
std::string TakeWord(std::string* text) {
    std::string rest = Trimmed(*text, kBlanks);
    std::string word;
    if (!rest.empty() && rest[0] == '"') {
        const auto close = rest.find('"', 1);
        word = rest.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        rest = close == std::string::npos ? "" : rest.substr(close + 1);
    } else {
        const auto space = rest.find_first_of(" \t");
        word = rest.substr(0, space);
        rest = space == std::string::npos ? "" : rest.substr(space);
    }
    *text = Trimmed(rest, kBlanks);
    return word;
}

// mm:ss:ff, minutes, seconds and frames (75 a second), as sectors.
bool ParseTime(const std::string& text, std::int64_t* sectors) {
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
    char tail = 0;
    if (text.size() > 12 ||
        std::sscanf(text.c_str(), "%3d:%2d:%2d%c", &minutes, &seconds, &frames, &tail) != 3 ||
        minutes < 0 || seconds < 0 || seconds >= 60 || frames < 0 || frames >= kFramesPerSecond) {
        return false;
    }
    *sectors = (static_cast<std::int64_t>(minutes) * 60 + seconds) * kFramesPerSecond + frames;
    return true;
}

// A FILE line's name and type. The name may be quoted; a name with spaces that is not (as
// some tools write it) is everything before the last word, the type.
void ParseFile(std::string rest, std::string* name, std::string* type) {
    if (!rest.empty() && rest[0] == '"') {
        *name = TakeWord(&rest);
        *type = AsciiUpper(TakeWord(&rest));
        return;
    }
    const auto space = rest.find_last_of(" \t");
    *name = space == std::string::npos ? rest : Trimmed(rest.substr(0, space), kBlanks);
    *type = space == std::string::npos ? "" : AsciiUpper(Trimmed(rest.substr(space), kBlanks));
}

}  // namespace

bool ParseCueSheet(const std::string& text, std::vector<CueTrack>* tracks, std::string* error) {
    tracks->clear();
    std::string file;
    std::string fileType;
    std::size_t from = Utf8MarkLength(text);
    for (int line = 1; from < text.size(); ++line) {
        auto end = text.find('\n', from);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string rest = text.substr(from, end - from);
        from = end + 1;
        if (!rest.empty() && rest.back() == '\r') {
            rest.pop_back();
        }
        const std::string command = AsciiUpper(TakeWord(&rest));
        const std::string where = "line " + std::to_string(line) + ": ";
        if (command == "FILE") {
            ParseFile(rest, &file, &fileType);
            if (file.empty()) {
                *error = where + "FILE names no file";
                return false;
            }
        } else if (command == "TRACK") {
            if (file.empty()) {
                *error = where + "TRACK before any FILE";
                return false;
            }
            CueTrack track;
            track.number = std::atoi(TakeWord(&rest).c_str());
            track.mode = AsciiUpper(TakeWord(&rest));
            track.file = file;
            track.fileType = fileType;
            tracks->push_back(track);
        } else if (command == "INDEX") {
            if (tracks->empty()) {
                *error = where + "INDEX outside a TRACK";
                return false;
            }
            const int number = std::atoi(TakeWord(&rest).c_str());
            const std::string time = TakeWord(&rest);
            std::int64_t sectors = 0;
            if (!ParseTime(time, &sectors)) {
                *error = where + "the time '";
                error->append(time).append("' is not mm:ss:ff");
                return false;
            }
            if (number == 0) {
                tracks->back().pregap = sectors;
            } else if (number == 1) {
                tracks->back().start = sectors;
            }
        }
        // REM, TITLE, PERFORMER, FLAGS, PREGAP and the like say nothing of where sectors lie.
    }
    if (tracks->empty()) {
        *error = "there is no TRACK";
        return false;
    }
    for (const CueTrack& track : *tracks) {
        if (track.start < 0) {
            *error = "track " + std::to_string(track.number) + " has no INDEX 01";
            return false;
        }
    }
    return true;
}

std::uint32_t CueSectorSize(const std::string& mode) {
    if (mode == "MODE1/2048") {
        return 2048;
    }
    if (mode == "MODE1/2352" || mode == "MODE2/2352" || mode == "CDI/2352") {
        return 2352;
    }
    if (mode == "MODE2/2336" || mode == "CDI/2336") {
        return 2336;
    }
    return 0;
}

}  // namespace crclist
