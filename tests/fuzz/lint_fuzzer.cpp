// Feeds arbitrary bytes to crclist lint and checks what must hold for any input: lint never
// finds no error in a file that the program fails to load, it sees the load as the program
// does, it tells every invalid-token box the program shows, and every finding points into
// the file with a known code.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "tests/fuzz/fuzz_scratch.h"
#include "tools/crclist/list/lint.h"
#include "tools/crclist/list/list_load.h"

namespace {

// Every code with its severity: errors first.
constexpr const char* kErrors[] = {"invalid-byte", "syntax",    "end-mark",        "utf8-bom",
                                   "pass-limit",   "no-prompt", "too-few-prompts", "size-form",
                                   "crc-form",     "cut-word",  "name-form"};
constexpr const char* kWarnings[] = {
    "punctuation-value", "replaced",         "unused-prompt",  "empty-disc", "no-title",
    "title-length",      "reg-without-game", "duplicate-name", "not-sjis",   "long-path"};

bool Listed(const char* code, const char* const* codes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (std::strcmp(code, codes[i]) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SetUpScratch("lint_fuzzer");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::WriteScratch(data, size);

    const crclist::ListLoad load = crclist::LoadList(fuzz::ScratchPath());
    const bool loaded = load.loaded;
    const std::size_t boxes = load.complaints.size();

    crclist::LintReport report;
    std::string problem;
    fuzz::Require(crclist::LintFile(fuzz::ScratchPath(), &report, &problem),
                  "lint cannot read a readable file");
    fuzz::Require(report.reading.loaded == loaded, "lint sees the load differently");
    fuzz::Require(loaded || report.errors > 0, "no error about a file that does not load");
    std::size_t invalid = 0;
    for (const crclist::Diagnostic& diagnostic : report.diagnostics) {
        fuzz::Require(diagnostic.offset >= 0 && static_cast<std::size_t>(diagnostic.offset) <= size,
                      "a finding outside the file");
        const bool error = diagnostic.severity == crclist::Severity::kError;
        fuzz::Require(error ? Listed(diagnostic.code, kErrors, std::size(kErrors))
                            : Listed(diagnostic.code, kWarnings, std::size(kWarnings)),
                      "an unknown code, or one with the wrong severity");
        invalid += std::strcmp(diagnostic.code, "invalid-byte") == 0 ? 1 : 0;
    }
    fuzz::Require(invalid == boxes,
                  "invalid-byte findings differ from the boxes the program shows");
    return 0;
}
