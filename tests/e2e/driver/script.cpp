#include "script.h"

#include <cstdio>

#include "text.h"

namespace e2e {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool Substitute(const std::string& line, const std::map<std::string, std::string>& variables,
                std::string* out, std::string* error) {
    out->clear();
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '$' && i + 1 < line.size() && line[i + 1] == '{') {
            size_t end = line.find('}', i + 2);
            if (end == std::string::npos) {
                *error = "unterminated ${";
                return false;
            }
            std::string name = line.substr(i + 2, end - i - 2);
            auto found = variables.find(name);
            if (found == variables.end()) {
                *error = "unknown variable ${" + name + "} (pass it with --set " + name + "=...)";
                return false;
            }
            *out += found->second;
            i = end;
        } else {
            *out += line[i];
        }
    }
    return true;
}

// Reads a quoted text starting after its opening quote. UTF-8 runs are converted to code page
// 932; \xNN inserts one raw byte, so that texts holding bytes of no character can be written.
bool ReadQuoted(const std::string& line, size_t* pos, Arg* arg, std::string* error) {
    std::string pending;  // UTF-8 not yet converted
    auto flush = [&]() {
        std::string bytes;
        if (!Utf8ToCp932(pending, &bytes)) {
            *error = "text " + Quote(pending) + " has no Shift-JIS form";
            return false;
        }
        arg->cp932 += bytes;
        arg->utf8 += pending;
        pending.clear();
        return true;
    };
    arg->quoted = true;
    while (*pos < line.size()) {
        char c = line[(*pos)++];
        if (c == '"') {
            return flush();
        }
        if (c != '\\') {
            pending += c;
            continue;
        }
        if (*pos >= line.size()) {
            break;
        }
        char escaped = line[(*pos)++];
        switch (escaped) {
            case 'n':
                pending += '\n';
                break;
            case 't':
                pending += '\t';
                break;
            case 'r':
                pending += '\r';
                break;
            case '\\':
            case '"':
                pending += escaped;
                break;
            case 'x': {
                int high = *pos < line.size() ? HexDigit(line[*pos]) : -1;
                int low = *pos + 1 < line.size() ? HexDigit(line[*pos + 1]) : -1;
                if (high < 0 || low < 0) {
                    *error = "\\x needs two hexadecimal digits";
                    return false;
                }
                *pos += 2;
                if (!flush()) {
                    return false;
                }
                char raw = static_cast<char>(high * 16 + low);
                arg->cp932 += raw;
                char shown[8];
                std::snprintf(shown, sizeof shown, "\\x%02x", high * 16 + low);
                arg->utf8 += shown;
                break;
            }
            default:
                *error = std::string("unknown escape \\") + escaped;
                return false;
        }
    }
    *error = "missing closing quote";
    return false;
}

bool SplitLine(const std::string& line, Step* step, std::string* error) {
    size_t pos = 0;
    std::vector<Arg> words;
    while (true) {
        while (pos < line.size() && IsSpace(line[pos]))
            ++pos;
        if (pos >= line.size() || line[pos] == '#')
            break;
        Arg arg;
        if (line[pos] == '"') {
            ++pos;
            if (!ReadQuoted(line, &pos, &arg, error))
                return false;
        } else {
            size_t start = pos;
            while (pos < line.size() && !IsSpace(line[pos]))
                ++pos;
            arg.utf8 = line.substr(start, pos - start);
            if (!Utf8ToCp932(arg.utf8, &arg.cp932)) {
                *error = "word " + Quote(arg.utf8) + " has no Shift-JIS form";
                return false;
            }
        }
        words.push_back(arg);
    }
    if (words.empty()) {
        return true;
    }
    if (words[0].quoted) {
        *error = "a step begins with its verb, not with a quoted text";
        return false;
    }
    step->verb = words[0].utf8;
    step->args.assign(words.begin() + 1, words.end());
    return true;
}

}  // namespace

bool ParseScript(const std::string& utf8, const std::map<std::string, std::string>& variables,
                 std::vector<Step>* steps, std::string* error) {
    size_t start = 0;
    int number = 0;
    while (start <= utf8.size()) {
        size_t end = utf8.find('\n', start);
        if (end == std::string::npos)
            end = utf8.size();
        std::string raw = utf8.substr(start, end - start);
        ++number;
        start = end + 1;
        std::string line;
        std::string why;
        Step step;
        step.line = number;
        if (!Substitute(raw, variables, &line, &why) || !SplitLine(line, &step, &why)) {
            *error = "line " + std::to_string(number) + ": " + why + "\n    " + raw;
            return false;
        }
        if (!step.verb.empty()) {
            step.source = line;
            steps->push_back(step);
        }
        if (end == utf8.size())
            break;
    }
    return true;
}

}  // namespace e2e
