// Feeds arbitrary bytes to crclist lint and checks what must hold for any input: lint never
// finds no error in a file that the program fails to load, it sees the load as the program
// does, it tells every invalid-token box the program shows, and every finding points into
// the file with a known code.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "inf/check_list.h"
#include "platform/ui_recorded.h"
#include "tools/crclist/lint.h"

namespace {

std::string& ScratchPath() {
    static std::string path;
    return path;
}

void RemoveScratch() {
    std::remove(ScratchPath().c_str());
}

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "lint_fuzzer: %s\n", what);
        std::abort();
    }
}

// Every code with its severity: errors first.
constexpr const char* kErrors[] = {"invalid-byte", "syntax",    "end-mark",        "utf8-bom",
                                   "pass-limit",   "no-prompt", "too-few-prompts", "size-form",
                                   "crc-form",     "cut-word",  "name-form"};
constexpr const char* kWarnings[] = {"punctuation-value", "replaced",     "unused-prompt",
                                     "no-title",          "title-length", "reg-without-game",
                                     "duplicate-name",    "not-sjis",     "long-path"};

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
    const char* folder = std::getenv("TMPDIR");
    ScratchPath() = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                    "/lint_fuzzer_" + std::to_string(::getpid()) + ".INF";
    std::atexit(RemoveScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A new file each time, as in inf_fuzzer: truncating would make ext4 write it out.
    RemoveScratch();
    std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
    Require(file != nullptr, "cannot create the scratch file");
    Require(size == 0 || std::fwrite(data, 1, size, file) == size, "cannot write the scratch file");
    Require(std::fclose(file) == 0, "cannot close the scratch file");

    CheckList list;
    const bool loaded = list.LoadInfFile(ScratchPath().c_str());
    const std::size_t boxes = platform::testing::Messages().size();
    platform::testing::ClearMessages();

    crclist::LintReport report;
    Require(crclist::LintFile(ScratchPath(), &report), "lint cannot read a readable file");
    Require(report.reading.loaded == loaded, "lint sees the load differently");
    Require(loaded || report.errors > 0, "no error about a file that does not load");
    std::size_t invalid = 0;
    for (const crclist::Diagnostic& diagnostic : report.diagnostics) {
        Require(diagnostic.offset >= 0 && static_cast<std::size_t>(diagnostic.offset) <= size,
                "a finding outside the file");
        const bool error = diagnostic.severity == crclist::Severity::kError;
        Require(error ? Listed(diagnostic.code, kErrors, std::size(kErrors))
                      : Listed(diagnostic.code, kWarnings, std::size(kWarnings)),
                "an unknown code, or one with the wrong severity");
        invalid += std::strcmp(diagnostic.code, "invalid-byte") == 0 ? 1 : 0;
    }
    Require(invalid == boxes, "invalid-byte findings differ from the boxes the program shows");
    platform::testing::ClearMessages();
    return 0;
}
