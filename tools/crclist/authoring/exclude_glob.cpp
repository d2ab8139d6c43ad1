#include "tools/crclist/authoring/exclude_glob.h"

#include "tools/crclist/text/utf8.h"
#include "tools/crclist/text/windows_names.h"

namespace crclist {
namespace {

// One name against one part of a pattern, both case-folded.
bool MatchName(const std::string& pattern, std::size_t p, const std::string& name, std::size_t n) {
    while (p < pattern.size()) {
        if (pattern[p] == '*') {
            for (std::size_t rest = n;; rest += DecodeUtf8(name, rest).length) {
                if (MatchName(pattern, p + 1, name, rest)) {
                    return true;
                }
                if (rest >= name.size()) {
                    return false;
                }
            }
        }
        if (n >= name.size()) {
            return false;
        }
        const std::size_t length = DecodeUtf8(name, n).length;
        if (pattern[p] == '?') {
            ++p;
        } else {
            const std::size_t own = DecodeUtf8(pattern, p).length;
            if (pattern.compare(p, own, name, n, length) != 0) {
                return false;
            }
            p += own;
        }
        n += length;
    }
    return n == name.size();
}

// The parts of a pattern against the names of a path; "**" takes any number of names.
bool MatchParts(const std::vector<std::string>& parts, std::size_t p,
                const std::vector<std::string>& names, std::size_t n) {
    if (p == parts.size()) {
        return n == names.size();
    }
    if (parts[p] == "**") {
        for (std::size_t rest = n; rest <= names.size(); ++rest) {
            if (MatchParts(parts, p + 1, names, rest)) {
                return true;
            }
        }
        return false;
    }
    return n < names.size() && MatchName(parts[p], 0, names[n], 0) &&
           MatchParts(parts, p + 1, names, n + 1);
}

}  // namespace

bool MatchesExclude(const std::string& pattern, const std::vector<std::string>& components) {
    // Empty parts ("/DATA//x") mean nothing; a separator anywhere makes the match whole-path.
    std::vector<std::string> parts;
    std::string part;
    for (char c : FoldCase(pattern) + "/") {
        if (c != '/' && c != '\\') {
            part += c;
            continue;
        }
        if (!part.empty()) {
            parts.push_back(part);
        }
        part.clear();
    }
    const bool wholePath = pattern.find_first_of("/\\") != std::string::npos;
    std::vector<std::string> names;
    names.reserve(components.size());
    for (const std::string& component : components) {
        names.push_back(FoldCase(component));
    }
    if (!wholePath) {
        for (const std::string& name : names) {
            if (!parts.empty() && MatchName(parts[0], 0, name, 0)) {
                return true;
            }
        }
        return false;
    }
    return MatchParts(parts, 0, names, 0);
}

}  // namespace crclist
