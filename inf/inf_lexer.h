// Splits the information file into tokens, one per request, scanning the whole-file block
// in place. Shift-JIS two-byte characters stay whole inside words and quoted strings.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "inf/file_image.h"
#include "inf/token.h"

class InfLexer : public FileImage {
  public:
    InfLexer();
    ~InfLexer() override;

    bool Open(const char* path);
    // Takes `bytes` as the input instead of a file, with the same rules (no bytes: false).
    // The check-list tool reads single values back with it.
    bool OpenBytes(const std::string& bytes);
    // Scans the next token. An invalid one is reported in a message box first.
    Token Next();
    // The current token again, without scanning.
    Token Current() const { return current_; }

    // Byte offsets into the input, for tools that point at a token: where the token last
    // scanned starts (for an end of input, the 0xFF byte or the cut-off word that ended it, or
    // the input's size), and where scanning stopped.
    std::int32_t TokenStart() const { return tokenStart_; }
    std::int32_t ScanEnd() const { return readPosition_; }

  private:
    static constexpr std::uint8_t kEndMark = 0xFF;

    // Back to the first byte and line of a new input, for Open and OpenBytes alike.
    void Rewind();
    std::uint8_t ReadByte();
    void UnreadByte();
    bool PeekMatch(std::uint8_t expected);
    std::int32_t Scan(Token& token);
    bool ScanQuoted(Token& token, std::uint8_t quote);
    void ReportInvalid(const Token& token) const;

    Token current_;
    std::int32_t readPosition_ = 0;
    std::int32_t tokenStart_ = 0;
    std::map<std::string, std::int32_t> keywords_;
    // Line feeds passed so far: the invalid-token message names the line of the bad byte.
    std::int32_t lineFeeds_ = 0;
    // Line of the first byte of the token last scanned; an unclosed quote has read on
    // past line feeds of its own by the time it is reported.
    std::int32_t tokenLine_ = 1;
};
