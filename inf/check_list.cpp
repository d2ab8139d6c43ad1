#include "inf/check_list.h"

#include "inf/inf_lexer.h"
#include "inf/inf_observer.h"
#include "inf/number_reading.h"

namespace {

// A stray token at the top level is never consumed; this bound turns it into a failure.
constexpr int kPassLimit = 1000;

// The lexer with its current token kept at hand: the lexer hands out copies, and a token
// that is looked at again and again (a stray one, up to the pass limit) should cost its
// copy once, however long its text.
// It also tells the observer (none: one that does nothing) about every token it hands out.
class TokenStream {
  public:
    explicit TokenStream(InfObserver* observer)
        : observer_(observer != nullptr ? *observer : silent_) {}
    bool Open(const char* path) { return lexer_.Open(path); }
    bool OpenBytes(const std::string& bytes) { return lexer_.OpenBytes(bytes); }
    const Token& Next() {
        current_ = lexer_.Next();
        observer_.OnToken(current_, lexer_.TokenStart(), lexer_.ScanEnd());
        return current_;
    }
    const Token& Current() const { return current_; }
    InfObserver& Observer() { return observer_; }

  private:
    InfLexer lexer_;
    Token current_;
    InfObserver silent_;
    InfObserver& observer_;
};

bool EndsSection(const Token& token) {
    return token.kind == TokLBracket || token.kind == TokEnd;
}

// Every section keyword must be closed by ']'. Each section starts here, with its keyword
// the current token.
bool ReadHeaderEnd(TokenStream& tokens) {
    tokens.Observer().OnSectionOpened(tokens.Current().kind);
    if (tokens.Next().kind != TokRBracket) {
        tokens.Observer().OnFault(InfFault::kHeaderNotClosed);
        return false;
    }
    return true;
}

// TITLE and GAME: the last value counts; an empty body leaves the field as it was.
void ReadSingleValue(TokenStream& tokens, std::string& field) {
    for (const Token* token = &tokens.Next(); !EndsSection(*token); token = &tokens.Next()) {
        field = token->text;
        tokens.Observer().OnValue();
    }
}

// REG and CDFILES: entries of name, size and crc. Each complete entry goes to `entries`
// at once, so the caller sees what was read before a fault.
bool ReadEntries(TokenStream& tokens, std::vector<FileEntry>& entries) {
    for (;;) {
        const Token& name = tokens.Next();
        if (EndsSection(name)) {
            return true;
        }
        FileEntry entry;
        entry.name = name.text;
        if (tokens.Next().kind != TokComma) {
            tokens.Observer().OnFault(InfFault::kNoCommaAfterName);
            return false;
        }
        entry.size = inf::ReadSize(tokens.Next().text);
        if (tokens.Next().kind != TokComma) {
            tokens.Observer().OnFault(InfFault::kNoCommaAfterSize);
            return false;
        }
        if (!inf::ReadCrc(tokens.Next().text, &entry.crc)) {
            tokens.Observer().OnFault(InfFault::kCrcNotNumber);
            return false;
        }
        tokens.Observer().OnEntry(entry);
        entries.push_back(std::move(entry));
    }
}

// MESSAGE and DRIVEINFO: every token up to the next '[' is a value, punctuation included
// (it carries the text of the token before it).
template <typename Append>
void ReadValues(TokenStream& tokens, Append append) {
    tokens.Next();
    while (!EndsSection(tokens.Current())) {
        append(tokens.Current().text);
        tokens.Observer().OnValue();
        tokens.Next();
    }
}

// Adds the sections of `tokens`, from their first token, to `list`.
bool ReadSections(TokenStream& tokens, CheckList& list) {
    if (tokens.Next().kind == TokEnd) {
        return true;
    }
    int passes = 0;
    for (;;) {
        bool counts = true;
        if (tokens.Current().kind == TokLBracket) {
            switch (tokens.Next().kind) {
                case TokTitle:
                    if (!ReadHeaderEnd(tokens)) {
                        return false;
                    }
                    ReadSingleValue(tokens, list.title);
                    break;
                case TokGame:
                    if (!ReadHeaderEnd(tokens)) {
                        return false;
                    }
                    ReadSingleValue(tokens, list.gameKey);
                    counts = false;
                    break;
                case TokReg:
                    if (!ReadHeaderEnd(tokens) || !ReadEntries(tokens, list.installedFiles)) {
                        return false;
                    }
                    counts = false;
                    break;
                case TokCdFiles: {
                    // A group is kept only when its whole section was read.
                    DiscGroup group;
                    if (!ReadHeaderEnd(tokens) || !ReadEntries(tokens, group)) {
                        return false;
                    }
                    list.discGroups.push_back(std::move(group));
                    counts = false;
                    break;
                }
                case TokMessage:
                    if (!ReadHeaderEnd(tokens)) {
                        return false;
                    }
                    ReadValues(tokens, [&list](const std::string& text) {
                        list.messageLines.push_back(text);
                    });
                    counts = false;
                    break;
                case TokDriveInfo: {
                    if (!ReadHeaderEnd(tokens)) {
                        return false;
                    }
                    std::string prompt;
                    ReadValues(tokens, [&prompt](const std::string& text) {
                        prompt += text;
                        prompt += '\n';
                    });
                    list.drivePrompts.push_back(std::move(prompt));
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
            tokens.Observer().OnFault(InfFault::kPassLimit);
            return false;
        }
        if (tokens.Current().kind == TokEnd) {
            return true;
        }
    }
}

}  // namespace

bool CheckList::LoadInfFile(const char* path, InfObserver* observer) {
    TokenStream tokens(observer);
    return tokens.Open(path) && ReadSections(tokens, *this);
}

bool CheckList::LoadInfBytes(const std::string& bytes, InfObserver* observer) {
    TokenStream tokens(observer);
    return tokens.OpenBytes(bytes) && ReadSections(tokens, *this);
}
