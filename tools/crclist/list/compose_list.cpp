#include "tools/crclist/list/compose_list.h"

#include "tools/crclist/list/list_load.h"
#include "tools/crclist/text/shown_text.h"

namespace crclist {
namespace {

constexpr char kLineEnd[] = "\r\n";

// Whether the program's lexer reads `form` as exactly one token of `kind` with `text`. What
// follows a value in a list is a comma or a line end; a space ends a word the same way.
bool ReadsBackAs(const std::string& form, std::int32_t kind, const std::string& text) {
    const std::vector<Token> tokens = LexTokens(form + " ");
    return tokens.size() == 2 && tokens[0].kind == kind && tokens[0].text == text;
}

void Section(const char* keyword, std::string& out) {
    if (!out.empty()) {
        out += kLineEnd;  // a blank line between sections, for the people who read the file
    }
    out += std::string("[") + keyword + "]" + kLineEnd;
}

bool Value(const std::string& text, const char* what, std::string& out, std::string* problem) {
    std::string value;
    if (!FormatValue(text, &value)) {
        *problem = std::string(what) + " " + ShownListText(text) +
                   " holds both ' and \", which no value of a check list can hold";
        return false;
    }
    out += value;
    return true;
}

bool Entries(const std::vector<FileEntry>& entries, std::string& out, std::string* problem) {
    for (const FileEntry& entry : entries) {
        if (!Value(entry.name, "the name", out, problem)) {
            return false;
        }
        out += ", " + SizeText(entry.size) + ", " + CrcText(entry.crc) + kLineEnd;
    }
    return true;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string prompt;
    for (const std::string& line : lines) {
        prompt += line + "\n";
    }
    return prompt;
}

bool SameEntries(const std::vector<FileEntry>& a, const std::vector<FileEntry>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].size != b[i].size || a[i].crc != b[i].crc) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool FormatValue(const std::string& text, std::string* value) {
    if (!text.empty() && ReadsBackAs(text, TokWord, text)) {
        *value = text;
        return true;
    }
    const bool single = text.find('\'') == std::string::npos;
    const std::string quote = single ? "'" : "\"";
    const std::string quoted = quote + text + quote;
    if (ReadsBackAs(quoted, single ? TokSingleQuoted : TokDoubleQuoted, text)) {
        *value = quoted;
        return true;
    }
    return false;
}

std::string SizeText(std::int32_t size) {
    return std::to_string(size);
}

bool WriteList(const ListContent& content, std::string* bytes, std::string* problem) {
    std::string out;
    Section("TITLE", out);
    if (!Value(content.title, "the title", out, problem)) {
        return false;
    }
    out += kLineEnd;
    if (content.hasGame) {
        Section("GAME", out);
        if (!Value(content.gameKey, "the registry key", out, problem)) {
            return false;
        }
        out += kLineEnd;
    }
    if (!content.messageLines.empty()) {
        Section("MESSAGE", out);
        for (const std::string& line : content.messageLines) {
            if (!Value(line, "the message line", out, problem)) {
                return false;
            }
            out += kLineEnd;
        }
    }
    for (const std::vector<std::string>& prompt : content.prompts) {
        Section("DRIVEINFO", out);
        for (const std::string& line : prompt) {
            if (!Value(line, "the prompt line", out, problem)) {
                return false;
            }
            out += kLineEnd;
        }
    }
    for (const DiscGroup& disc : content.discs) {
        Section("CDFILES", out);
        if (!Entries(disc, out, problem)) {
            return false;
        }
    }
    if (!content.installed.empty()) {
        Section("REG", out);
        if (!Entries(content.installed, out, problem)) {
            return false;
        }
    }
    *bytes = std::move(out);
    return true;
}

CheckList ExpectedList(const ListContent& content) {
    CheckList list;
    list.title = content.title;
    list.gameKey = content.hasGame ? content.gameKey : std::string();
    list.installedFiles = content.installed;
    list.discGroups = content.discs;
    list.messageLines = content.messageLines;
    for (const std::vector<std::string>& prompt : content.prompts) {
        list.drivePrompts.push_back(Joined(prompt));
    }
    return list;
}

bool SameList(const CheckList& a, const CheckList& b) {
    if (a.title != b.title || a.gameKey != b.gameKey || a.messageLines != b.messageLines ||
        a.drivePrompts != b.drivePrompts || !SameEntries(a.installedFiles, b.installedFiles) ||
        a.discGroups.size() != b.discGroups.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.discGroups.size(); ++i) {
        if (!SameEntries(a.discGroups[i], b.discGroups[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace crclist
