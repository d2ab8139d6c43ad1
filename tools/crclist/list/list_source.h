// Where a command reads a check list from: a file, or standard input for "-", so that a list
// can come down a pipe (crclist make -o - ... | crclist lint -). The list is read whole, as
// the program reads its list, and what keeps it from being read is told in words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/crclist/text/shown_text.h"

namespace crclist {

// The name that stands for standard input.
constexpr char kStandardInput[] = "-";

// The program holds a list in one block of a signed 32-bit size: a larger one is not read.
constexpr std::uint64_t kLargestList = 2147483647;

// Reads the list at `source` (in the system's encoding; "-": standard input) into `bytes`.
// A list over kLargestList bytes is not read: true, with `tooLarge` set and no bytes. False,
// with what is wrong in `problem` (UTF-8, naming the source), when it cannot be read.
bool ReadListSource(const std::string& source, std::string* bytes, bool* tooLarge,
                    std::string* problem);

// For the system's half of ReadListSource (list_source_posix.cpp, list_source_win.cpp).
// Reads `source` into the empty `bytes`, as ReadListSource; false with what keeps it from being
// read in `why`, words that follow its name.
bool ReadSourceBytes(const std::string& source, std::string* bytes, bool* tooLarge,
                     std::string* why);
// Appends `size` bytes of a list being read to `bytes`. False when the list is thereby over
// kLargestList bytes: `bytes` is then emptied and `tooLarge` set, and the reading ends.
bool AppendListBytes(const char* data, std::size_t size, std::string* bytes, bool* tooLarge);
// Why a folder given as a list is not read.
constexpr char kIsAFolder[] = "it is a folder, not a check list";

// How messages and findings name `source`: "<stdin>" for standard input.
inline std::string ShownSource(const std::string& source) {
    return source == kStandardInput ? std::string("<stdin>") : ShownSystemText(source);
}

}  // namespace crclist
