#include "tools/crclist/list/lint.h"

#include <algorithm>

#include "tools/crclist/list/lint_checks.h"

namespace crclist {

std::vector<Diagnostic> Lint(const ListReading& reading) {
    Findings findings;
    CheckBytesAndTokens(reading, findings);
    CheckFault(reading, findings);
    if (!reading.tooLarge) {
        CheckEntries(reading, findings);
        CheckValues(reading, findings);
        CheckWholeList(reading, findings);
    }
    std::vector<Diagnostic>& items = findings.Items();
    std::stable_sort(items.begin(), items.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.offset < b.offset; });
    return std::move(items);
}

bool LintFile(const std::string& source, LintReport* report, std::string* problem) {
    *report = LintReport();
    if (!ReadList(source, &report->reading, problem)) {
        return false;
    }
    report->diagnostics = Lint(report->reading);
    for (const Diagnostic& diagnostic : report->diagnostics) {
        ++(diagnostic.severity == Severity::kError ? report->errors : report->warnings);
    }
    return true;
}

std::string FormatDiagnostic(const std::string& file, const ListReading& reading,
                             const Diagnostic& diagnostic) {
    const char* severity = diagnostic.severity == Severity::kError ? "error" : "warning";
    return file + ":" + reading.Place(diagnostic.offset) + ": " + severity + ": " +
           diagnostic.text + " [" + diagnostic.code + "]";
}

}  // namespace crclist
