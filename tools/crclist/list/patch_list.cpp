#include "tools/crclist/list/patch_list.h"

#include <algorithm>

#include "tools/crclist/list/compose_list.h"
#include "tools/crclist/list/list_load.h"
#include "tools/crclist/text/shown_text.h"

namespace crclist {
namespace {

struct Replacement {
    std::int32_t start = 0;
    std::int32_t end = 0;
    std::string text;
};

// Whether the program's lexer still reads the word `digits` alone when `following` (the
// bytes after it in the file) comes right after it.
bool StandsAlone(const std::string& digits, const std::string& following) {
    const std::vector<Token> tokens = LexTokens(digits + following + " ");
    return tokens.front().kind == TokWord && tokens.front().text == digits;
}

// The bytes of token `index` replaced by `text`, a word of digits. A token that was no word
// (a quoted text, punctuation) may be followed by a byte that would join the new word; a
// space then keeps them apart.
bool Replace(const ListReading& reading, std::size_t index, const std::string& text,
             std::vector<Replacement>& replacements, std::string* problem) {
    const ReadToken& token = reading.tokens[index];
    if (token.token.kind == TokEnd) {
        *problem = "the number at " + reading.Place(token.start) +
                   " runs into the end of the file and cannot be rewritten (end the file with a "
                   "line break)";
        return false;
    }
    Replacement replacement{token.start, token.end, text};
    if (!StandsAlone(text, reading.bytes.substr(static_cast<std::size_t>(token.end), 2))) {
        replacement.text += ' ';
    }
    replacements.push_back(std::move(replacement));
    return true;
}

}  // namespace

bool ApplyUpdates(const ListReading& reading, const std::vector<EntryUpdate>& updates,
                  std::string* bytes, std::vector<EntryUpdate>* changed, std::string* problem) {
    std::vector<Replacement> replacements;
    for (const EntryUpdate& update : updates) {
        const ReadEntry& entry = reading.entries[update.entry];
        const bool newSize = update.size != entry.entry.size;
        const bool newCrc = update.crc != entry.entry.crc;
        if (newSize &&
            !Replace(reading, entry.size, SizeText(update.size), replacements, problem)) {
            return false;
        }
        if (newCrc && !Replace(reading, entry.crc, CrcText(update.crc), replacements, problem)) {
            return false;
        }
        if (newSize || newCrc) {
            changed->push_back(update);
        }
    }
    std::sort(replacements.begin(), replacements.end(),
              [](const Replacement& a, const Replacement& b) { return a.start < b.start; });
    std::string out;
    std::size_t from = 0;
    for (const Replacement& replacement : replacements) {
        out.append(reading.bytes, from, static_cast<std::size_t>(replacement.start) - from);
        out += replacement.text;
        from = static_cast<std::size_t>(replacement.end);
    }
    out.append(reading.bytes, from, std::string::npos);
    *bytes = std::move(out);
    return true;
}

CheckList UpdatedList(const ListReading& reading, const std::vector<EntryUpdate>& updates) {
    CheckList list = reading.list;
    // The entries of the reading, in file order, are those of the list: REG entries in
    // installedFiles, the entries of CDFILES section k in group k.
    std::vector<FileEntry*> places;
    std::size_t installed = 0;
    std::vector<std::size_t> inGroup(list.discGroups.size(), 0);
    for (const ReadEntry& entry : reading.entries) {
        const ReadSection& section = reading.sections[entry.section];
        if (section.keyword == TokReg) {
            places.push_back(&list.installedFiles[installed++]);
        } else {
            const auto group = static_cast<std::size_t>(section.ordinal - 1);
            places.push_back(&list.discGroups[group][inGroup[group]++]);
        }
    }
    for (const EntryUpdate& update : updates) {
        places[update.entry]->size = update.size;
        places[update.entry]->crc = update.crc;
    }
    return list;
}

}  // namespace crclist
