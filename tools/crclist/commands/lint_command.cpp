#include "tools/crclist/commands/lint_command.h"

#include <cstdio>
#include <memory>
#include <string>

#include "tools/crclist/list/lint.h"
#include "tools/crclist/list/list_source.h"
#include "tools/crclist/text/console.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/shown_text.h"

namespace crclist {
namespace {

constexpr int kExitFindings = 1;

struct LintOptions {
    std::string file;
    bool strict = false;
};

int RunLint(const LintOptions& options) {
    LintReport report;
    std::string problem;
    if (!LintFile(options.file, &report, &problem)) {
        return UsageError("lint", problem);
    }
    const std::string shownFile = ShownSource(options.file);
    std::string out;
    for (const Diagnostic& diagnostic : report.diagnostics) {
        out += FormatDiagnostic(shownFile, report.reading, diagnostic) + "\n";
    }
    out += std::to_string(report.errors) + " errors, " + std::to_string(report.warnings) +
           " warnings\n";
    if (!WriteText(stdout, out)) {
        return kExitFindings;
    }
    const bool failed = report.errors > 0 || (options.strict && report.warnings > 0);
    return failed ? kExitFindings : kExitOk;
}

}  // namespace

Subcommand AddLintCommand(CLI::App& app) {
    auto options = std::make_shared<LintOptions>();
    CLI::App* parser = app.add_subcommand(
        "lint",
        "Explain what the program will make of FILE: one finding a line, then a count. Exit 0 "
        "without errors, 1 with errors, 2 when FILE cannot be read");
    parser->add_flag("--strict", options->strict, "count warnings as errors");
    parser
        ->add_option("FILE", options->file,
                     "the check list, such as crclist.INF; - reads standard input")
        ->required();
    return {parser, [options] { return RunLint(*options); }};
}

}  // namespace crclist
