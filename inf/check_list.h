// Everything the information file says, held for one check run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FileEntry {
    std::string name;  // disc-relative path (CDFILES) or registry value name (REG)
    std::int32_t size = 0;
    std::uint32_t crc = 0;
};

using DiscGroup = std::vector<FileEntry>;

class InfObserver;

struct CheckList {
    std::string title;
    std::string gameKey;
    std::vector<FileEntry> installedFiles;
    std::vector<DiscGroup> discGroups;
    std::vector<std::string> messageLines;
    std::vector<std::string> drivePrompts;

    // Adds what the file at `path` says to this list. True when the whole file was read
    // without a syntax error; on false, what was read before the fault stays. An observer,
    // when given, is told what each token was taken for; it changes nothing in the reading.
    bool LoadInfFile(const char* path, InfObserver* observer = nullptr);
    // The same for a file's whole content already read: for tools that open files their own
    // way. No bytes read as a file that cannot be read.
    bool LoadInfBytes(const std::string& bytes, InfObserver* observer = nullptr);
};
