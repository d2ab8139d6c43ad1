// crclist lint: what the program will make of a check list, explained the way a compiler
// explains a source file. Every finding comes from the program's own reading of the file
// (list/list_reading.h) and from the file's bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/crclist/list/list_reading.h"

namespace crclist {

enum class Severity { kError, kWarning };

struct Diagnostic {
    std::int32_t offset = 0;  // the byte of the file it points at
    Severity severity = Severity::kError;
    const char* code = "";  // stable: scripts and the README name them
    std::string text;       // UTF-8
};

struct LintReport {
    ListReading reading;
    std::vector<Diagnostic> diagnostics;  // in file order
    int errors = 0;
    int warnings = 0;
};

// Lints the list at `source` (a path, or "-" for standard input). False, with what is wrong in
// `problem`, when it cannot be read at all.
bool LintFile(const std::string& source, LintReport* report, std::string* problem);

// The findings for a reading, in file order.
std::vector<Diagnostic> Lint(const ListReading& reading);

// "FILE:LINE:COLUMN: error: TEXT [CODE]", LINE and COLUMN 1-based byte counts in the file
// that `reading` read.
std::string FormatDiagnostic(const std::string& file, const ListReading& reading,
                             const Diagnostic& diagnostic);

}  // namespace crclist
