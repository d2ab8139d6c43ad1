// Writing the tool's UTF-8 text to where its output goes: a terminal shows it as text (on
// Windows through the console's own UTF-16 interface, since a console reads bytes in its own
// code page), and a file or a pipe gets the UTF-8 bytes.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace crclist {

// Makes standard output write the same bytes on every system: on Windows no CR is added
// before each line feed.
void PrepareStandardOutput();

// Whether `stream` is a terminal (a console on Windows).
bool IsTerminal(std::FILE* stream);

// The width in columns of the terminal that `stream` writes to; 0 when it is no terminal or
// does not say.
std::size_t TerminalColumns(std::FILE* stream);

// Writes `utf8` to `stream` and flushes it. False when it could not be written.
bool WriteText(std::FILE* stream, const std::string& utf8);

}  // namespace crclist
