#include "tools/crclist/images/ccd_sheet.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "tools/crclist/text/ascii.h"
#include "tools/crclist/text/utf8.h"

namespace crclist {
namespace {

// What a line is trimmed of.
constexpr char kBlanks[] = " \t\r";

// A whole decimal number of at most nine digits.
bool ParseNumber(const std::string& text, std::int64_t* number) {
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        })) {
        return false;
    }
    *number = std::atoll(text.c_str());
    return true;
}

}  // namespace

bool LooksLikeCcdSheet(const std::string& text) {
    const std::size_t from = Utf8MarkLength(text);
    const std::string first = text.substr(from, text.find('\n', from) - from);
    return AsciiUpper(Trimmed(first, kBlanks)) == "[CLONECD]";
}

bool ParseCcdSheet(const std::string& text, std::vector<CcdTrack>* tracks, std::string* error) {
    tracks->clear();
    bool inTrack = false;
    for (std::size_t from = 0; from < text.size();) {
        auto end = text.find('\n', from);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = Trimmed(text.substr(from, end - from), kBlanks);
        from = end + 1;
        if (!line.empty() && line[0] == '[') {
            const std::string section = AsciiUpper(line);
            inTrack = section.compare(0, 7, "[TRACK ") == 0 && section.back() == ']';
            std::int64_t number = 0;
            if (inTrack &&
                !ParseNumber(Trimmed(section.substr(7, section.size() - 8), kBlanks), &number)) {
                *error = "the section " + line + " has no track number";
                return false;
            }
            if (inTrack) {
                tracks->emplace_back();
                tracks->back().number = static_cast<int>(number);
            }
            continue;
        }
        const auto equals = line.find('=');
        if (!inTrack || equals == std::string::npos) {
            continue;
        }
        const std::string key = AsciiUpper(Trimmed(line.substr(0, equals), kBlanks));
        const std::string value = Trimmed(line.substr(equals + 1), kBlanks);
        std::int64_t* field = key == "INDEX 0"   ? &tracks->back().pregap
                              : key == "INDEX 1" ? &tracks->back().start
                                                 : nullptr;
        std::int64_t number = 0;
        if ((field != nullptr || key == "MODE") && !ParseNumber(value, &number)) {
            *error = "track " + std::to_string(tracks->back().number) + " has ";
            error->append(key).append("=").append(value).append(", which is no number");
            return false;
        }
        if (field != nullptr) {
            *field = number;
        } else if (key == "MODE") {
            tracks->back().mode = static_cast<int>(number);
        }
    }
    if (tracks->empty()) {
        *error = "there is no [TRACK] section";
        return false;
    }
    std::stable_sort(tracks->begin(), tracks->end(),
                     [](const CcdTrack& a, const CcdTrack& b) { return a.number < b.number; });
    for (const CcdTrack& track : *tracks) {
        if (track.start < 0) {
            *error = "track " + std::to_string(track.number) + " has no INDEX 1";
            return false;
        }
    }
    return true;
}

}  // namespace crclist
