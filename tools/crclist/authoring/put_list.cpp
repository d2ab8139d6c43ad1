#include "tools/crclist/authoring/put_list.h"

#include <cstdio>

#include "tools/crclist/authoring/atomic_file.h"
#include "tools/crclist/list/compose_list.h"
#include "tools/crclist/list/lint.h"
#include "tools/crclist/text/shown_text.h"

namespace crclist {
namespace {

constexpr char kScratchName[] = "crclist-output.INF";

}  // namespace

PutOutcome PutList(const std::string& out, const std::string& bytes, const CheckList& expected,
                   bool replace, bool lint) {
    PutOutcome outcome;
    const bool toStdout = out == "-";
    const std::string shown = toStdout ? std::string("<stdout>") : ShownSystemText(out);
    AtomicFile file;
    std::string problem;
    std::string target = out;
    if (toStdout) {
        target = TemporaryFolder();
        if (!target.empty() && target.back() != '/' && target.back() != '\\') {
            target += '/';
        }
        target += kScratchName;
    }
    if (!file.Write(target, bytes, &problem)) {
        outcome.problem = ShownSystemText(problem);
        return outcome;
    }
    ListReading reading;
    if (!ReadList(file.TemporaryPath(), &reading, &problem) || !reading.loaded ||
        !SameList(reading.list, expected)) {
        outcome.problem = "the program would not read back what was meant; nothing is written";
        return outcome;
    }
    bool clean = true;
    for (const Diagnostic& diagnostic : lint ? Lint(reading) : std::vector<Diagnostic>()) {
        clean = clean && diagnostic.severity != Severity::kError;
        outcome.findings.push_back(FormatDiagnostic(shown, reading, diagnostic));
    }
    if (!clean) {
        outcome.problem = "the list has errors; nothing is written";
        return outcome;
    }
    if (toStdout) {
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        outcome.put = std::fflush(stdout) == 0;
        if (!outcome.put) {
            outcome.problem = "the list could not be written to standard output";
        }
        return outcome;
    }
    outcome.put = file.Commit(replace, &problem);
    if (!outcome.put) {
        outcome.problem = ShownSystemText(problem);
    }
    return outcome;
}

}  // namespace crclist
