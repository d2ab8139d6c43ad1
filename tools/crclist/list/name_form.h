// The form of a disc file name in a check list: a path relative to the disc's root, with '\'
// between folders. The program puts the drive root (such as D:\) before it as it stands.
#pragma once

#include <string>

namespace crclist {

// What is wrong with the Shift-JIS name `sjis`, as a phrase ("is empty", "holds '/'"), or
// the empty text when nothing is.
std::string NameFormProblem(const std::string& sjis);

// Why Windows cannot hold a file by a name, as far as the program's check is concerned.
enum class WindowsNameFault {
    kNone,
    kNotAllowed,  // a character that no Windows file name holds: the file cannot be found
    kTrimmed,     // a part ends in a space or a dot, which Windows drops when it opens a file
    kDevice,      // a part is a device name: Windows opens the device, not a file
};

// Whether Windows can hold a file by the Shift-JIS name `sjis` ('\' between folders): no
// character below 0x20 or among < > : " | ? *, no part that ends in a space or a dot, and no
// part that is a device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, in any letter
// case, alone or before an extension: Windows 10 and older take "nul.txt" for NUL too). When
// it cannot, `problem` says why, as a phrase that follows the name ("holds '?', which ...").
WindowsNameFault WindowsNameProblem(const std::string& sjis, std::string* problem);

// Whether `byte` begins a two-byte character in the Windows Shift-JIS code page (932).
bool IsSjisLeadByte(unsigned char byte);

}  // namespace crclist
