#include "tools/crclist/images/ccd_sheet.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace crclist {
namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

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
    const std::size_t from = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;  // a UTF-8 mark
    const std::string first = text.substr(from, text.find('\n', from) - from);
    return Upper(Trimmed(first)) == "[CLONECD]";
}

bool ParseCcdSheet(const std::string& text, std::vector<CcdTrack>* tracks, std::string* error) {
    tracks->clear();
    bool inTrack = false;
    for (std::size_t from = 0; from < text.size();) {
        auto end = text.find('\n', from);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = Trimmed(text.substr(from, end - from));
        from = end + 1;
        if (!line.empty() && line[0] == '[') {
            const std::string section = Upper(line);
            inTrack = section.compare(0, 7, "[TRACK ") == 0 && section.back() == ']';
            std::int64_t number = 0;
            if (inTrack && !ParseNumber(Trimmed(section.substr(7, section.size() - 8)), &number)) {
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
        const std::string key = Upper(Trimmed(line.substr(0, equals)));
        const std::string value = Trimmed(line.substr(equals + 1));
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
