// Findings about the entries of REG and CDFILES: how their numbers read, the form of disc
// file names, and names listed twice.
#include <map>

#include "tools/crclist/list/lint_checks.h"
#include "tools/crclist/list/name_form.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/path_join.h"
#include "tools/crclist/text/shown_text.h"
#include "tools/crclist/text/windows_names.h"

namespace crclist {
namespace {

// A drive root such as D:\ and the name must fit in 259 bytes (MAX_PATH with its zero).
constexpr std::size_t kDriveRootLength = 3;
constexpr std::size_t kLongestPath = 259;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool HasOwnText(std::int32_t kind) {
    return kind == TokWord || IsKeyword(kind) || kind == TokSingleQuoted || kind == TokDoubleQuoted;
}

// Decimal digits from 0 to 2147483647, leading zeros allowed.
bool IsPlainSize(const std::string& text) {
    std::size_t first = 0;
    for (char c : text) {
        if (!IsDigit(c)) {
            return false;
        }
    }
    while (first + 1 < text.size() && text[first] == '0') {
        ++first;
    }
    const std::string digits = text.substr(first);
    return !text.empty() && (digits.size() < 10 || (digits.size() == 10 && digits <= "2147483647"));
}

// One to eight hexadecimal digits, with an optional 0x or 0X.
bool IsPlainCrc(const std::string& text) {
    std::size_t first = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        first = 2;
    }
    const std::size_t digits = text.size() - first;
    if (digits < 1 || digits > 8) {
        return false;
    }
    for (std::size_t i = first; i < text.size(); ++i) {
        if (!IsHexDigit(text[i])) {
            return false;
        }
    }
    return true;
}

// How a number's token appears in a finding: its own text, or what the program takes it for.
std::string ShownNumber(const ListReading& reading, std::size_t index) {
    const ReadToken& token = reading.tokens[index];
    if (HasOwnText(token.token.kind) || token.token.kind == TokInvalid) {
        return Shown(reading.Source(index));
    }
    const std::string source = token.token.kind == TokEnd ? std::string("the end of the file")
                                                          : Shown(reading.Source(index));
    return source + " (it has no text of its own and repeats " + Shown(token.token.text) + ")";
}

void CheckNumbers(const ListReading& reading, const ReadEntry& entry, Findings& findings) {
    const std::string name = Shown(entry.entry.name);
    const ReadToken& size = reading.tokens[entry.size];
    if (!HasOwnText(size.token.kind) || !IsPlainSize(size.token.text)) {
        findings.Error(size.start, "size-form",
                       "the size " + ShownNumber(reading, entry.size) + " of " + name +
                           " is not plain decimal digits from 0 to 2147483647: the program "
                           "reads it as " +
                           std::to_string(entry.entry.size));
    }
    const ReadToken& crc = reading.tokens[entry.crc];
    if (!HasOwnText(crc.token.kind) || !IsPlainCrc(crc.token.text)) {
        findings.Error(crc.start, "crc-form",
                       "the crc " + ShownNumber(reading, entry.crc) + " of " + name +
                           " is not one to eight hexadecimal digits (with an optional 0x): the "
                           "program reads it as " +
                           CrcText(entry.entry.crc));
    }
}

// What the program does with a disc name that Windows cannot hold.
const char* WhatTheProgramDoes(WindowsNameFault fault) {
    switch (fault) {
        case WindowsNameFault::kDevice:
            return "the program opens the device, not a file";
        case WindowsNameFault::kTrimmed:
            return "the program checks the file without it, or finds none";
        case WindowsNameFault::kNotAllowed:
        case WindowsNameFault::kNone:
            break;
    }
    return "the program cannot find the file and reports it missing";
}

void CheckDiscName(const ListReading& reading, const ReadEntry& entry, Findings& findings) {
    const std::string& name = entry.entry.name;
    const std::int32_t at = reading.tokens[entry.name].start;
    std::string problem = NameFormProblem(name);
    if (!problem.empty()) {
        findings.Error(at, "name-form", "the disc file name " + Shown(name) + " " + problem);
    } else if (const WindowsNameFault fault = WindowsNameProblem(name, &problem);
               fault != WindowsNameFault::kNone) {
        findings.Error(
            at, "name-form",
            "the disc file name " + Shown(name) + " " + problem + ": " + WhatTheProgramDoes(fault));
    }
    if (kDriveRootLength + name.size() > kLongestPath) {
        findings.Warning(at, "long-path",
                         "the disc file name " + Shown(name) + " makes a path of " +
                             std::to_string(kDriveRootLength + name.size()) +
                             " bytes behind a drive root such as D:\\, over " +
                             std::to_string(kLongestPath) + ": the program cannot open it");
    }
}

// Names as Windows compares them: disc names as paths, value names as names, without case.
std::string NameKey(const std::string& sjis, bool discName) {
    std::vector<std::string> components;
    if (discName && SplitListedName(sjis, &components)) {
        return FoldCase(JoinListedName(components));
    }
    return RegistryValueKey(sjis);  // a value name, or a disc name that is not Shift-JIS
}

}  // namespace

void CheckEntries(const ListReading& reading, Findings& findings) {
    // Per CDFILES section, and one for all of REG: name key -> the first entry's name token.
    std::map<std::size_t, std::map<std::string, std::size_t>> seen;
    for (const ReadEntry& entry : reading.entries) {
        const bool discName = reading.sections[entry.section].keyword == TokCdFiles;
        CheckNumbers(reading, entry, findings);
        if (discName) {
            CheckDiscName(reading, entry, findings);
        }
        auto& names = seen[discName ? entry.section : reading.sections.size()];
        const auto inserted = names.emplace(NameKey(entry.entry.name, discName), entry.name);
        if (!inserted.second) {
            const ReadToken& first = reading.tokens[inserted.first->second];
            findings.Warning(
                reading.tokens[entry.name].start, "duplicate-name",
                Shown(entry.entry.name) + " is listed again in " +
                    (discName ? SectionName(reading, entry.section) : std::string("[REG]")) +
                    " (first at " + reading.Place(first.start) +
                    "): Windows takes both for the same " + (discName ? "file" : "registry value"));
        }
    }
}

}  // namespace crclist
