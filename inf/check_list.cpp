#include "inf/check_list.h"

#include "inf/inf_lexer.h"
#include "inf/number_reading.h"

namespace {

// A stray token at the top level is never consumed; this bound turns it into a failure.
constexpr int kPassLimit = 1000;

bool EndsSection(const Token& token) {
    return token.kind == TokLBracket || token.kind == TokEnd;
}

// Every section keyword must be closed by ']'.
bool ReadHeaderEnd(InfLexer& lexer) {
    return lexer.Next().kind == TokRBracket;
}

// TITLE and GAME: the last value counts; an empty body leaves the field as it was.
void ReadSingleValue(InfLexer& lexer, std::string& field) {
    for (Token token = lexer.Next(); !EndsSection(token); token = lexer.Next()) {
        field = token.text;
    }
}

// REG and CDFILES: entries of name, size and crc. Each complete entry goes to `entries`
// at once, so the caller sees what was read before a fault.
bool ReadEntries(InfLexer& lexer, std::vector<FileEntry>& entries) {
    for (;;) {
        Token token = lexer.Next();
        if (EndsSection(token)) {
            return true;
        }
        FileEntry entry;
        entry.name = std::move(token.text);
        if (lexer.Next().kind != TokComma) {
            return false;
        }
        entry.size = inf::ReadSize(lexer.Next().text);
        if (lexer.Next().kind != TokComma) {
            return false;
        }
        if (!inf::ReadCrc(lexer.Next().text, &entry.crc)) {
            return false;
        }
        entries.push_back(std::move(entry));
    }
}

// MESSAGE and DRIVEINFO: every token up to the next '[' is a value, punctuation included
// (it carries the text of the token before it).
template <typename Append>
void ReadValues(InfLexer& lexer, Append append) {
    lexer.Next();
    for (Token token = lexer.Current(); !EndsSection(token); token = lexer.Current()) {
        append(token.text);
        lexer.Next();
    }
}

}  // namespace

bool CheckList::LoadInfFile(const char* path) {
    InfLexer lexer;
    if (!lexer.Open(path)) {
        return false;
    }
    if (lexer.Next().kind == TokEnd) {
        return true;
    }
    int passes = 0;
    for (;;) {
        bool counts = true;
        if (lexer.Current().kind == TokLBracket) {
            const std::int32_t keyword = lexer.Next().kind;
            switch (keyword) {
                case TokTitle:
                    if (!ReadHeaderEnd(lexer)) {
                        return false;
                    }
                    ReadSingleValue(lexer, title);
                    break;
                case TokGame:
                    if (!ReadHeaderEnd(lexer)) {
                        return false;
                    }
                    ReadSingleValue(lexer, gameKey);
                    counts = false;
                    break;
                case TokReg:
                    if (!ReadHeaderEnd(lexer) || !ReadEntries(lexer, installedFiles)) {
                        return false;
                    }
                    counts = false;
                    break;
                case TokCdFiles: {
                    // A group is kept only when its whole section was read.
                    DiscGroup group;
                    if (!ReadHeaderEnd(lexer) || !ReadEntries(lexer, group)) {
                        return false;
                    }
                    discGroups.push_back(std::move(group));
                    counts = false;
                    break;
                }
                case TokMessage:
                    if (!ReadHeaderEnd(lexer)) {
                        return false;
                    }
                    ReadValues(lexer,
                               [this](const std::string& text) { messageLines.push_back(text); });
                    counts = false;
                    break;
                case TokDriveInfo: {
                    if (!ReadHeaderEnd(lexer)) {
                        return false;
                    }
                    std::string prompt;
                    ReadValues(lexer, [&prompt](const std::string& text) {
                        prompt += text;
                        prompt += '\n';
                    });
                    drivePrompts.push_back(std::move(prompt));
                    counts = false;
                    break;
                }
                default:
                    // Not a section keyword: nothing more is read, and the token stays
                    // current for the next pass.
                    break;
            }
        }
        if (counts && ++passes > kPassLimit) {
            return false;
        }
        if (lexer.Current().kind == TokEnd) {
            return true;
        }
    }
}
