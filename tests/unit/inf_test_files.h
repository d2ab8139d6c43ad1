// Scratch files for the information-file tests: each holds given bytes under a name of its
// own in the test's temporary folder and is removed when the test is done with it.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

class ScratchFile {
  public:
    explicit ScratchFile(const std::string& bytes) : path_(NewPath()) {
        std::ofstream out(path_, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~ScratchFile() { std::remove(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const char* path() const { return path_.c_str(); }

    // A name under which nothing exists.
    static std::string NewPath() {
        static int counter = 0;
        return ::testing::TempDir() + "inf_test_" + std::to_string(::getpid()) + "_" +
               std::to_string(++counter) + ".INF";
    }

  private:
    std::string path_;
};

// The invalid-token message for a byte on a line, as the lexer must show it.
inline std::string InvalidTokenMessage(const std::string& byte, int line) {
    return byte + "," + std::to_string(line) + ",は無効なトークン";
}
