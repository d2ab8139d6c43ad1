// Findings about the texts that the program takes: punctuation taken as a value, values that
// replace each other, and texts that are not Shift-JIS.
#include <map>

#include "tools/crclist/list/lint_checks.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/utf8.h"

namespace crclist {
namespace {

bool HasNonAscii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

struct TakenText {
    std::size_t token;
    const std::string* text;
};

// Every text the program takes from a token of its own: values and names.
std::vector<TakenText> TakenTexts(const ListReading& reading) {
    std::vector<TakenText> texts;
    auto add = [&](std::size_t index) {
        const std::int32_t kind = reading.tokens[index].token.kind;
        if (!IsPunctuation(kind) && kind != TokInvalid && kind != TokEnd) {
            texts.push_back({index, &reading.tokens[index].token.text});
        }
    };
    std::size_t entry = 0;
    for (const ReadValue& value : reading.values) {
        // Values and entries in file order, so that "the first text" is the first in the file.
        for (; entry < reading.entries.size() && reading.entries[entry].name < value.token;
             ++entry) {
            add(reading.entries[entry].name);
        }
        add(value.token);
    }
    for (; entry < reading.entries.size(); ++entry) {
        add(reading.entries[entry].name);
    }
    return texts;
}

void CheckEncoding(const ListReading& reading, Findings& findings) {
    const std::vector<TakenText> texts = TakenTexts(reading);
    // A file saved as UTF-8 is UTF-8 throughout; a Shift-JIS one almost never is.
    if (HasNonAscii(reading.bytes) && IsUtf8(reading.bytes)) {
        std::string text =
            "the file is valid UTF-8 with non-ASCII characters: it was likely saved as UTF-8, "
            "and the program reads it as Shift-JIS";
        for (const TakenText& taken : texts) {
            if (HasNonAscii(*taken.text)) {
                text += " (" + ShownUtf8(*taken.text) + " as " + Shown(*taken.text) + ")";
                break;
            }
        }
        std::size_t first = 0;
        while (static_cast<unsigned char>(reading.bytes[first]) < 0x80) {
            ++first;
        }
        findings.Warning(static_cast<std::int32_t>(first), "not-sjis", text);
        return;
    }
    for (const TakenText& taken : texts) {
        std::string utf8;
        if (!SjisToUtf8Exact(*taken.text, &utf8)) {
            findings.Warning(reading.tokens[taken.token].start, "not-sjis",
                             "the text " + Shown(*taken.text) +
                                 " is not valid Shift-JIS (shown with U+FFFD where it is not)");
        }
    }
}

// A value of `section`, or an entry's name when `section` is npos.
void CheckPunctuation(const ListReading& reading, std::size_t index, std::size_t section,
                      Findings& findings) {
    const ReadToken& token = reading.tokens[index];
    if (IsPunctuation(token.token.kind)) {
        const std::string role = section == std::string::npos
                                     ? std::string("the name of an entry")
                                     : "a value of " + SectionName(reading, section);
        findings.Warning(token.start, "punctuation-value",
                         Shown(reading.Source(index)) + " is taken as " + role +
                             ": it has no text of its own and repeats the text before it, " +
                             Shown(token.token.text) + " (punctuation belongs inside quotes)");
    }
}

bool SameLine(const ListReading& reading, std::size_t first, std::size_t second) {
    const auto from = static_cast<std::size_t>(reading.tokens[first].start);
    const auto to = static_cast<std::size_t>(reading.tokens[second].start);
    return reading.bytes.find('\n', from) >= to;
}

}  // namespace

void CheckValues(const ListReading& reading, Findings& findings) {
    std::map<std::int32_t, std::size_t> lastSingle;  // TITLE, GAME -> their last value's token
    for (const ReadValue& value : reading.values) {
        const std::int32_t keyword = reading.sections[value.section].keyword;
        CheckPunctuation(reading, value.token, value.section, findings);
        if (keyword != TokTitle && keyword != TokGame) {
            continue;
        }
        const auto before = lastSingle.find(keyword);
        if (before != lastSingle.end()) {
            const std::size_t earlier = before->second;
            findings.Warning(
                reading.tokens[value.token].start, "replaced",
                "[" + KeywordName(keyword) + "] is given another value, " +
                    Shown(reading.tokens[value.token].token.text) + ", which replaces " +
                    Shown(reading.tokens[earlier].token.text) + ": only the last one counts" +
                    (SameLine(reading, earlier, value.token) ? " (quote a text with spaces)" : ""));
        }
        lastSingle[keyword] = value.token;
    }
    for (const ReadEntry& entry : reading.entries) {
        CheckPunctuation(reading, entry.name, std::string::npos, findings);
    }
    CheckEncoding(reading, findings);
}

}  // namespace crclist
