// The form of a disc file name in a check list: a path relative to the disc's root, with '\'
// between folders. The program puts the drive root (such as D:\) before it as it stands.
#pragma once

#include <string>

namespace crclist {

// What is wrong with the Shift-JIS name `sjis`, as a phrase ("is empty", "holds '/'"), or
// the empty text when nothing is.
std::string NameFormProblem(const std::string& sjis);

// Whether `byte` begins a two-byte character in the Windows Shift-JIS code page (932).
bool IsSjisLeadByte(unsigned char byte);

}  // namespace crclist
