// What LoadInfFile makes of the tokens it reads, told while it reads them. The program passes
// no observer; the check-list tool passes one to explain a list, or to find the bytes of an
// entry's numbers, without a reader of its own.
#pragma once

#include <cstdint>

#include "inf/check_list.h"
#include "inf/token.h"

// The reasons LoadInfFile stops with false at a token.
enum class InfFault {
    kHeaderNotClosed,   // a section keyword without ']'
    kNoCommaAfterName,  // an entry's name not followed by ','
    kNoCommaAfterSize,  // an entry's size not followed by ','
    kCrcNotNumber,      // an entry's crc text that holds no hexadecimal number
    kPassLimit,         // more than 1000 counted passes at the top level
};

class InfObserver {
  public:
    virtual ~InfObserver() = default;

    // Every token that the parser takes from the lexer, in order: it starts at byte `start`
    // of the file and the lexer stopped at byte `end`. "The last token" below is this one.
    virtual void OnToken(const Token& /*token*/, std::int32_t /*start*/, std::int32_t /*end*/) {}
    // A section keyword (the last token) followed a '['; its ']' is still to come.
    virtual void OnSectionOpened(std::int32_t /*keyword*/) {}
    // The last token was taken as a value of the open TITLE, GAME, MESSAGE or DRIVEINFO section.
    virtual void OnValue() {}
    // An entry of the open REG or CDFILES section is complete; its crc is the last token, its
    // name the fifth last.
    virtual void OnEntry(const FileEntry& /*entry*/) {}
    // Reading ends with false at the last token.
    virtual void OnFault(InfFault /*fault*/) {}
};
