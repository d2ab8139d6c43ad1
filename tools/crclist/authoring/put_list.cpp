#include "tools/crclist/authoring/put_list.h"

#include <cstdio>

#include "tools/crclist/files/atomic_file.h"
#include "tools/crclist/list/compose_list.h"
#include "tools/crclist/list/lint.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/shown_text.h"

namespace crclist {
namespace {

constexpr char kScratchName[] = "crclist-output.INF";

}  // namespace

bool PutList(const std::string& command, const std::string& out, const std::string& bytes,
             const CheckList& expected, bool replace, bool lint) {
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
        std::fprintf(stderr, "crclist %s: %s\n", command.c_str(), ShownSystemText(problem).c_str());
        return false;
    }
    ListReading reading;
    if (!ReadList(file.TemporaryPath(), &reading) || !reading.loaded ||
        !SameList(reading.list, expected)) {
        std::fprintf(stderr,
                     "crclist %s: the program would not read back what was meant; "
                     "nothing is written\n",
                     command.c_str());
        return false;
    }
    bool clean = true;
    for (const Diagnostic& diagnostic : lint ? Lint(reading) : std::vector<Diagnostic>()) {
        clean = clean && diagnostic.severity != Severity::kError;
        const std::string line = FormatDiagnostic(shown, reading, diagnostic);
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    if (!clean) {
        std::fprintf(stderr, "crclist %s: the list has errors; nothing is written\n",
                     command.c_str());
        return false;
    }
    if (toStdout) {
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        return std::fflush(stdout) == 0;
    }
    if (!file.Commit(replace, &problem)) {
        std::fprintf(stderr, "crclist %s: %s\n", command.c_str(), ShownSystemText(problem).c_str());
        return false;
    }
    return true;
}

}  // namespace crclist
