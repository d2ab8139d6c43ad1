// Disc images made in the tests, as a release engineer masters a disc and as image tools dump
// one: ISO 9660 images from a folder, and the same sectors in raw form.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Runs an image tool's command line. False when it fails or the tool is missing
// (tools/scripts/setup.sh installs xorriso and genisoimage).
inline bool RunImageTool(const std::string& command) {
    // xorriso 1.5.4 was seen to die of SIGSEGV about once in a hundred runs, at random; a
    // second run of the same command then succeeds.
    // The tools read the folder's names in the locale's character set: in UTF-8, whatever the
    // locale the tests run in, so that Japanese names reach the image as they are.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (std::system(("LC_ALL=C.UTF-8 " + command + " >/dev/null 2>&1").c_str()) == 0) {
            return true;
        }
    }
    return false;
}

// Writes the folder `folder` as the image `image`, with Joliet and Rock Ridge names.
inline bool MakeDiscImage(const std::string& folder, const std::string& image) {
    return RunImageTool("xorriso -as mkisofs -quiet -J -joliet-long -input-charset UTF-8 -o '" +
                        image + "' '" + folder + "'");
}

// The 2048-byte sectors of `plain` as raw CD sectors of `stride` bytes (2352, or 2448 with
// subchannel data) in `mode` 1 or 2 (form 1): sync pattern, address, mode, MODE2's subheader,
// the data. EDC, ECC and subchannel data are left zero: readers ignore them.
inline std::string RawSectors(const std::string& plain, int mode, std::size_t stride) {
    std::string raw;
    for (std::size_t sector = 0; sector < plain.size() / 2048; ++sector) {
        std::string bytes(stride, '\0');
        bytes.replace(1, 10, 10, '\xFF');
        const std::size_t address = sector + 150;  // the two seconds before track 1
        const auto bcd = [](std::size_t value) {
            return static_cast<char>(value / 10 * 16 + value % 10);
        };
        bytes[12] = bcd(address / 4500);
        bytes[13] = bcd(address / 75 % 60);
        bytes[14] = bcd(address % 75);
        bytes[15] = static_cast<char>(mode);
        if (mode == 2) {
            bytes[18] = bytes[22] = 8;  // submode: data, form 1
        }
        bytes.replace(mode == 1 ? 16 : 24, 2048, plain, sector * 2048, 2048);
        raw += bytes;
    }
    return raw;
}

// Replaces every `from` in `bytes` by `to`, of the same length; how many there were.
inline std::size_t ReplaceAll(std::string* bytes, const std::string& from, const std::string& to) {
    std::size_t count = 0;
    for (auto at = bytes->find(from); at != std::string::npos; at = bytes->find(from, at + 1)) {
        bytes->replace(at, from.size(), to);
        ++count;
    }
    return count;
}

// An ASCII name as Joliet records it, in UTF-16BE.
inline std::string Utf16Be(const std::string& ascii) {
    std::string wide;
    for (const char c : ascii) {
        wide += '\0';
        wide += c;
    }
    return wide;
}

// A 32-bit number of a directory record or descriptor, written both ways: little-endian at
// `at`, big-endian after it.
inline void PutBothEndian32(std::string* bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t byte = 0; byte < 4; ++byte) {
        (*bytes)[at + byte] = static_cast<char>(value >> (8 * byte));
        (*bytes)[at + 7 - byte] = static_cast<char>(value >> (8 * byte));
    }
}

inline std::uint32_t LittleEndian32At(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t byte = 4; byte-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + byte]);
    }
    return value;
}

// Where the directory record of the name `identifier` (as the tree records it) begins in the
// image; npos when there is none.
inline std::size_t RecordOf(const std::string& image, const std::string& identifier) {
    for (auto at = image.find(identifier); at != std::string::npos;
         at = image.find(identifier, at + 1)) {
        if (at >= 33 && static_cast<unsigned char>(image[at - 1]) == identifier.size()) {
            return at - 33;
        }
    }
    return std::string::npos;
}

// What `command` writes on its standard output (run by the shell).
inline std::string OutputOf(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, got);
    }
    ::pclose(pipe);
    return output;
}
