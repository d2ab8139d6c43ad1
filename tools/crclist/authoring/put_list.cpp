#include "tools/crclist/authoring/put_list.h"

#include <cstdio>

#include "tools/crclist/list/compose_list.h"
#include "tools/crclist/list/lint.h"
#include "tools/crclist/text/path_join.h"
#include "tools/crclist/text/shown_text.h"

namespace crclist {
namespace {

constexpr char kScratchName[] = "crclist-output.INF";

// Where the list is read back before it goes to a stream, which cannot be read back.
std::string ScratchPath() {
    return JoinSystemPath(TemporaryFolder(), kScratchName);
}

// Writes `bytes` where they go without a rename.
bool WriteOut(const ListOutput& output, const std::string& bytes, std::string* problem) {
    if (!output.standardOutput) {
        return WriteIntoStream(output.place.path, bytes, problem);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    if (std::fflush(stdout) != 0) {
        *problem = "the list could not be written to standard output";
        return false;
    }
    return true;
}

}  // namespace

bool FindListOutput(const std::string& out, ListOutput* output, std::string* problem) {
    *output = ListOutput();
    output->standardOutput = out == "-" || IsStandardOutput(out);
    output->shown = out == "-" ? std::string("<stdout>") : ShownSystemText(out);
    if (output->standardOutput || FindOutputPlace(out, &output->place, problem)) {
        return true;
    }
    *problem = ShownSystemText(*problem);
    return false;
}

PutOutcome PutList(const ListOutput& output, const std::string& bytes, const CheckList& expected,
                   bool lint) {
    PutOutcome outcome;
    const bool renamed = !output.standardOutput && output.place.kind != OutputPlace::Kind::kStream;
    AtomicFile file;
    std::string problem;
    if (!file.Write(renamed ? output.place.path : ScratchPath(), bytes, &problem)) {
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
        outcome.findings.push_back(FormatDiagnostic(output.shown, reading, diagnostic));
    }
    if (!clean) {
        outcome.problem = "the list has errors; nothing is written";
        return outcome;
    }
    outcome.put =
        renamed ? file.Commit(output.Replaces(), &problem) : WriteOut(output, bytes, &problem);
    if (!outcome.put) {
        outcome.problem = ShownSystemText(problem);
    }
    return outcome;
}

}  // namespace crclist
