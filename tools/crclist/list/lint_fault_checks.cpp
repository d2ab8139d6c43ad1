// Findings about where the program stops reading: the syntax faults and the pass limit.

#include "tools/crclist/list/lint_checks.h"
#include "tools/crclist/list/list_load.h"
#include "tools/crclist/text/ascii.h"
#include "tools/crclist/text/utf8.h"

namespace crclist {
namespace {

// How many section headers stand in the bytes after `from`, scanned by the program's lexer.
int HeadersAfter(const std::string& bytes, std::int32_t from) {
    if (from >= static_cast<std::int32_t>(bytes.size())) {
        return 0;
    }
    int headers = 0;
    bool afterBracket = false;
    for (const Token& token : LexTokens(bytes.substr(static_cast<std::size_t>(from)))) {
        if (afterBracket && IsKeyword(token.kind) && token.kind != TokGameData) {
            ++headers;
        }
        afterBracket = token.kind == TokLBracket;
    }
    return headers;
}

std::string Count(int count, const char* one, const char* many) {
    if (count == 0) {
        return std::string("no ") + many;
    }
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

constexpr char kStops[] = ": the program stops reading here and shows its load-failure message";

// What the stop costs: the part of the open section that is dropped, and what follows.
std::string Loss(const ListReading& reading, bool inSection) {
    std::string text;
    if (inSection) {
        const std::size_t section = reading.sections.size() - 1;
        int entries = 0;
        for (const ReadEntry& entry : reading.entries) {
            entries += entry.section == section ? 1 : 0;
        }
        const std::int32_t keyword = reading.sections[section].keyword;
        if (keyword == TokCdFiles) {
            text += "; this disc's group is dropped, with " + Count(entries, "entry", "entries") +
                    " read before";
        } else if (keyword == TokReg && entries > 0) {
            text += "; " + Count(entries, "entry", "entries") + " before it in this section " +
                    (entries > 1 ? "are" : "is") + " kept";
        }
    }
    const int headers = HeadersAfter(reading.bytes, reading.tokens.back().end);
    if (headers > 0) {
        text += "; " + Count(headers, "more section", "more sections") + " after it " +
                (headers > 1 ? "are" : "is") + " not read";
    }
    return text;
}

std::string ShownToken(const ListReading& reading, std::size_t index) {
    if (reading.tokens[index].token.kind == TokEnd) {
        return "the end of the file";
    }
    return Shown(reading.Source(index));
}

// Case-folded, a keyword that the program does not read: `title` for TITLE.
bool IsMisspeltKeyword(const std::string& word) {
    const std::string upper = AsciiUpper(word);
    return upper != word && (upper == "TITLE" || upper == "GAME" || upper == "REG" ||
                             upper == "CDFILES" || upper == "MESSAGE" || upper == "DRIVEINFO");
}

// A token where a section must begin is never consumed: the passes over it run to the limit.
void CheckStray(const ListReading& reading, Findings& findings) {
    const std::size_t last = reading.tokens.size() - 1;
    const ReadToken& stray = reading.tokens[last];
    if (stray.start == 0 && Utf8MarkLength(reading.bytes) > 0) {
        return;  // the byte-order mark, told as such
    }
    const bool afterBracket = last > 0 && reading.tokens[last - 1].token.kind == TokLBracket;
    std::string text;
    if (!afterBracket) {
        text = ShownToken(reading, last) + " stands where a section must begin (with '[')";
    } else if (stray.token.kind == TokGameData) {
        text = "GAMEDATA is reserved: the program reads no section of that name";
    } else if (stray.token.kind == TokWord && IsMisspeltKeyword(stray.token.text)) {
        text = ShownToken(reading, last) + " is no section keyword: keywords are upper case";
    } else {
        text = ShownToken(reading, last) +
               " after '[' is no section keyword (TITLE, GAME, REG, CDFILES, MESSAGE, DRIVEINFO)";
    }
    findings.Error(stray.start, "syntax",
                   text +
                       ": the program never gets past it, stops at its limit of 1000 passes "
                       "and shows its load-failure message" +
                       Loss(reading, false));
}

void CheckPassLimit(const ListReading& reading, Findings& findings) {
    const std::int32_t kind = reading.tokens.back().token.kind;
    if (kind != TokLBracket && kind != TokEnd) {
        CheckStray(reading, findings);
        return;
    }
    findings.Error(reading.tokens.back().start, "pass-limit",
                   "the program counts each [TITLE] section and each '[' that opens no "
                   "section, and this is past its limit of 1000" +
                       std::string(kStops) + Loss(reading, false));
}

}  // namespace

void CheckFault(const ListReading& reading, Findings& findings) {
    if (reading.tooLarge || reading.bytes.empty() || reading.loaded) {
        return;
    }
    if (!reading.faulted || reading.tokens.empty()) {
        findings.Error(0, "syntax",
                       "the program cannot open the file and shows its load-failure message");
        return;
    }
    const std::size_t last = reading.tokens.size() - 1;
    const std::int32_t at = reading.tokens[last].start;
    const std::string found = ShownToken(reading, last);
    const std::string section =
        reading.sections.empty() ? "" : SectionName(reading, reading.sections.size() - 1);
    // An entry's name, size and crc are the tokens four, two and none before the crc.
    auto entryToken = [&](std::size_t back) { return Shown(reading.Source(last - back)); };
    switch (reading.fault) {
        case InfFault::kHeaderNotClosed:
            findings.Error(at, "syntax",
                           "the section keyword of " + section + " is not followed by ']' (found " +
                               found + ")" + kStops + Loss(reading, true));
            break;
        case InfFault::kNoCommaAfterName:
            findings.Error(at, "syntax",
                           "expected ',' after the name " + entryToken(1) + " in " + section +
                               ", found " + found +
                               " (a name holding spaces or punctuation must be quoted)" + kStops +
                               Loss(reading, true));
            break;
        case InfFault::kNoCommaAfterSize:
            findings.Error(at, "syntax",
                           "expected ',' after the size " + entryToken(1) + " of " + entryToken(3) +
                               " in " + section + ", found " + found + kStops +
                               Loss(reading, true));
            break;
        case InfFault::kCrcNotNumber:
            findings.Error(at, "syntax",
                           "the crc " + found + " of " + entryToken(4) + " in " + section +
                               " holds no hexadecimal number" + kStops + Loss(reading, true));
            break;
        case InfFault::kPassLimit:
            CheckPassLimit(reading, findings);
            break;
    }
}

}  // namespace crclist
