#include "inf/inf_lexer.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "resources/texts.h"

namespace {

bool IsSpace(std::uint8_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// First byte of a two-byte Shift-JIS character. The half-width katakana 0xA1-0xDF stand
// alone; 0xFF never gets here, since it is the end mark.
bool IsLeadByte(std::uint8_t c) {
    return (c >= 0x80 && c <= 0xA0) || (c >= 0xE0 && c <= 0xFE);
}

bool IsWordStart(std::uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           IsLeadByte(c);
}

// A path such as DATA\SCENE.DAT is one word, but '.' and '\' cannot begin one.
bool IsWordByte(std::uint8_t c) {
    return IsWordStart(c) || c == '.' || c == '\\';
}

}  // namespace

InfLexer::InfLexer() {
    keywords_["TITLE"] = TokTitle;
    keywords_["GAME"] = TokGame;
    keywords_["REG"] = TokReg;
    keywords_["CDFILES"] = TokCdFiles;
    keywords_["GAMEDATA"] = TokGameData;
    keywords_["MESSAGE"] = TokMessage;
    keywords_["DRIVEINFO"] = TokDriveInfo;
}

InfLexer::~InfLexer() {
    keywords_.clear();
    current_.text.clear();
    current_.text.shrink_to_fit();
}

void InfLexer::Rewind() {
    readPosition_ = 0;
    tokenStart_ = 0;
    lineFeeds_ = 0;
    tokenLine_ = 1;
}

bool InfLexer::Open(const char* path) {
    Rewind();
    return Load(path);
}

bool InfLexer::OpenBytes(const std::string& bytes) {
    Rewind();
    Free();
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX) ||
        !Allocate(static_cast<std::int32_t>(bytes.size()))) {
        return false;
    }
    std::memcpy(Data(), bytes.data(), bytes.size());
    return true;
}

Token InfLexer::Next() {
    current_.kind = Scan(current_);
    if (current_.kind == TokInvalid) {
        ReportInvalid(current_);
    }
    return current_;
}

std::uint8_t InfLexer::ReadByte() {
    if (Size() == 0 || readPosition_ >= Size()) {
        return kEndMark;
    }
    const std::uint8_t c = Data()[readPosition_++];
    if (c == '\n') {
        ++lineFeeds_;
    }
    return c;
}

void InfLexer::UnreadByte() {
    --readPosition_;
    if (Data()[readPosition_] == '\n') {
        --lineFeeds_;
    }
}

bool InfLexer::PeekMatch(std::uint8_t expected) {
    const std::int32_t before = readPosition_;
    const std::uint8_t c = ReadByte();
    if (readPosition_ == before) {
        return false;  // end of input: nothing was read, so nothing goes back
    }
    if (c == expected) {
        return true;
    }
    UnreadByte();
    return false;
}

std::int32_t InfLexer::Scan(Token& token) {
    // At the real end of input ReadByte does not move, so the start is then the input's size.
    tokenStart_ = readPosition_;
    std::uint8_t c = ReadByte();
    while (IsSpace(c)) {
        tokenStart_ = readPosition_;
        c = ReadByte();
    }
    if (c == kEndMark) {
        return TokEnd;
    }
    tokenLine_ = lineFeeds_ + 1;

    if (IsWordStart(c)) {
        std::string word;
        for (;;) {
            if (!IsWordByte(c)) {
                UnreadByte();  // the next scan starts with the byte that ended the word
                break;
            }
            word.push_back(static_cast<char>(c));
            if (IsLeadByte(c)) {
                // The second byte of a two-byte character is taken whatever it is, so a
                // trailing 0x5C or 0x5D stays inside the word.
                const std::int32_t before = readPosition_;
                const std::uint8_t trail = ReadByte();
                if (readPosition_ == before) {
                    return TokEnd;
                }
                word.push_back(static_cast<char>(trail));
            }
            c = ReadByte();
            if (c == kEndMark) {
                // Cut off by the end of input or by a 0xFF byte: a word that may be
                // incomplete is dropped rather than checked against.
                return TokEnd;
            }
        }
        const auto keyword = keywords_.find(word);
        const std::int32_t kind = keyword != keywords_.end() ? keyword->second : TokWord;
        token.text = std::move(word);
        return kind;
    }

    switch (c) {
        case '+':
            return PeekMatch('=') ? TokPlusAssign : TokPlus;
        case '-':
            return PeekMatch('=') ? TokMinusAssign : TokMinus;
        case '=':
            return PeekMatch('=') ? TokEqual : TokAssign;
        case '<':
            return PeekMatch('=') ? TokLessEqual : TokLess;
        case '>':
            return PeekMatch('=') ? TokGreaterEqual : TokGreater;
        case '!':
            if (PeekMatch('=')) {
                return TokNotEqual;
            }
            break;
        case '*':
            return TokStar;
        case '/':
            return TokSlash;
        case '%':
            return TokPercent;
        case '(':
            return TokLParen;
        case ')':
            return TokRParen;
        case '{':
            return TokLBrace;
        case '}':
            return TokRBrace;
        case '[':
            return TokLBracket;
        case ']':
            return TokRBracket;
        case ';':
            return TokSemicolon;
        case ',':
            return TokComma;
        case '\'':
            if (ScanQuoted(token, c)) {
                return TokSingleQuoted;
            }
            break;
        case '"':
            if (ScanQuoted(token, c)) {
                return TokDoubleQuoted;
            }
            break;
        default:
            break;
    }
    token.text.assign(1, static_cast<char>(c));
    return TokInvalid;
}

bool InfLexer::ScanQuoted(Token& token, std::uint8_t quote) {
    std::string text;
    for (;;) {
        const std::uint8_t c = ReadByte();
        if (c == kEndMark) {
            return false;
        }
        if (IsLeadByte(c)) {
            // A second byte equal to the quote does not close the string.
            const std::int32_t before = readPosition_;
            const std::uint8_t trail = ReadByte();
            if (readPosition_ == before) {
                return false;
            }
            text.push_back(static_cast<char>(c));
            text.push_back(static_cast<char>(trail));
            continue;
        }
        if (c == quote) {
            token.text = std::move(text);
            return true;
        }
        text.push_back(static_cast<char>(c));
    }
}

void InfLexer::ReportInvalid(const Token& token) const {
    // The text is taken up to its first zero byte, as the message box would; a bounded
    // buffer, since the text comes from the file.
    char message[128];
    std::snprintf(message, sizeof message, texts::kInvalidTokenFormat, token.text.c_str(),
                  static_cast<int>(tokenLine_), texts::kInvalidToken);
    platform::ShowMessage(nullptr, message, nullptr, platform::kErrorStyle);
}
