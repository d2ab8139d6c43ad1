// Findings about the bytes themselves: what the lexer could not take as a token, and what
// ends the reading before the end of the file.
#include "tools/crclist/list/lint_checks.h"
#include "tools/crclist/text/utf8.h"

namespace crclist {
namespace {

constexpr std::uint8_t kEndMark = 0xFF;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool OnlySpaceFrom(const std::string& bytes, std::size_t from) {
    for (std::size_t i = from; i < bytes.size(); ++i) {
        if (!IsSpace(bytes[i])) {
            return false;
        }
    }
    return true;
}

std::uint8_t ByteAt(const std::string& bytes, std::int32_t offset) {
    return static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(offset)]);
}

bool IsQuote(std::uint8_t byte) {
    return byte == '\'' || byte == '"';
}

// A quote that is never closed (the lexer read on to the end, or to a 0xFF byte) is the one
// way for a quote to make an invalid token.
bool IsUnclosedQuote(const ListReading& reading, const ReadToken& token) {
    return token.token.kind == TokInvalid && IsQuote(ByteAt(reading.bytes, token.start));
}

void CheckInvalid(const ListReading& reading, const ReadToken& token, Findings& findings) {
    const std::uint8_t byte = ByteAt(reading.bytes, token.start);
    if (IsUnclosedQuote(reading, token)) {
        const bool atEnd = token.end >= reading.Size();
        findings.Error(token.start, "invalid-byte",
                       std::string("the quote ") + static_cast<char>(byte) +
                           " is never closed before " +
                           (atEnd ? "the end of the file" : "a 0xFF byte") +
                           ": the program shows its invalid-token box and takes the quote "
                           "alone, without the text after it");
        return;
    }
    findings.Error(token.start, "invalid-byte",
                   "the byte " + ShownByte(byte) +
                       " starts no token: the program shows its invalid-token box and takes "
                       "the byte alone as a token");
}

// The lexer took the byte before `token.end` as the end of the file.
void CheckEndMark(const ListReading& reading, std::size_t index, Findings& findings) {
    const ReadToken& token = reading.tokens[index];
    const std::int32_t mark = token.end - 1;
    if (OnlySpaceFrom(reading.bytes, static_cast<std::size_t>(token.end))) {
        return;  // nothing after it to lose
    }
    std::string text = "a 0xFF byte reads as the end of the file: ";
    if (index + 1 == reading.tokens.size()) {
        text += "nothing after it is read";
    } else {
        text += "the program takes an end of the file here";
    }
    if (mark == 0 && reading.Size() > 1 && ByteAt(reading.bytes, 1) == 0xFE) {
        text += " (the file starts like UTF-16: save it as Shift-JIS)";
    }
    findings.Error(mark, "end-mark", text);
}

void CheckCutWord(const ListReading& reading, const ReadToken& token, Findings& findings) {
    const bool atMark = token.end < reading.Size();
    std::string word = reading.bytes.substr(static_cast<std::size_t>(token.start),
                                            static_cast<std::size_t>(token.end - token.start));
    if (atMark) {
        word.pop_back();
    }
    findings.Error(token.start, "cut-word",
                   "the word " + Shown(word) + " runs into " +
                       (atMark ? "a 0xFF byte" : "the end of the file") +
                       " and is dropped: the program reads an end of the file instead" +
                       (atMark ? "" : " (end the file with a line break)"));
}

}  // namespace

void CheckBytesAndTokens(const ListReading& reading, Findings& findings) {
    if (reading.tooLarge) {
        findings.Error(0, "syntax",
                       "the file is over 2147483647 bytes: the program cannot read it and shows "
                       "its load-failure message");
        return;
    }
    const std::string& bytes = reading.bytes;
    if (bytes.empty()) {
        findings.Error(0, "syntax",
                       "the file is empty: the program refuses a file of 0 bytes and shows its "
                       "load-failure message");
        return;
    }
    if (Utf8MarkLength(bytes) > 0) {
        findings.Error(0, "utf8-bom",
                       "the file starts with a UTF-8 byte-order mark: the program takes it for "
                       "a word that begins no section and stops reading (save the file as "
                       "Shift-JIS without a mark)");
    }
    for (std::size_t i = 0; i < reading.tokens.size(); ++i) {
        const ReadToken& token = reading.tokens[i];
        if (token.token.kind == TokInvalid) {
            CheckInvalid(reading, token, findings);
        }
        const bool endMarkTaken = token.token.kind == TokEnd || IsUnclosedQuote(reading, token);
        if (endMarkTaken && token.end < reading.Size() && token.end > 0 &&
            ByteAt(bytes, token.end - 1) == kEndMark) {
            CheckEndMark(reading, i, findings);
        }
        if (token.token.kind == TokEnd && token.start < token.end &&
            ByteAt(bytes, token.start) != kEndMark) {
            CheckCutWord(reading, token, findings);
        }
    }
}

}  // namespace crclist
