// What both fuzzers need to hand an input to LoadInfFile: a scratch file of this process's
// own, written afresh for every input and removed when the process ends, and a check that
// aborts with its reason, which libFuzzer reports with the input that caused it.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

inline std::string& ScratchPath() {
    static std::string path;
    return path;
}

inline void RemoveScratch() {
    std::remove(ScratchPath().c_str());
}

inline const char*& FuzzerName() {
    static const char* name = "fuzzer";
    return name;
}

inline void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "%s: %s\n", FuzzerName(), what);
        std::abort();
    }
}

// Names the scratch file after the fuzzer and the process, in $TMPDIR (or /tmp).
inline void SetUpScratch(const char* fuzzer) {
    FuzzerName() = fuzzer;
    const char* folder = std::getenv("TMPDIR");
    ScratchPath() = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/" +
                    fuzzer + "_" + std::to_string(::getpid()) + ".INF";
    std::atexit(RemoveScratch);
}

// Writes the input to a new scratch file: truncating the old one would make some file
// systems (ext4) write it out to disk on every close, which slows the run a hundredfold.
inline void WriteScratch(const std::uint8_t* data, std::size_t size) {
    RemoveScratch();
    std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
    Require(file != nullptr, "cannot create the scratch file");
    Require(size == 0 || std::fwrite(data, 1, size, file) == size, "cannot write the scratch file");
    Require(std::fclose(file) == 0, "cannot close the scratch file");
}

}  // namespace fuzz
