// Feeds arbitrary bytes to LoadInfFile through a scratch file of this process's own, and
// checks what must hold for any input: the load ends, an empty file is refused, and every
// invalid-token message stands for one byte of the file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "inf/check_list.h"
#include "platform/ui_recorded.h"

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
        std::fprintf(stderr, "inf_fuzzer: %s\n", what);
        std::abort();
    }
}

bool EndsWith(const std::string& text, const char* tail) {
    const std::size_t length = std::strlen(tail);
    return text.size() >= length && text.compare(text.size() - length, length, tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* folder = std::getenv("TMPDIR");
    ScratchPath() = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                    "/inf_fuzzer_" + std::to_string(::getpid()) + ".INF";
    std::atexit(RemoveScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A new file each time: truncating the old one would make some file systems (ext4)
    // write it out to disk on every close, which slows the run a hundredfold.
    RemoveScratch();
    std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
    Require(file != nullptr, "cannot create the scratch file");
    Require(size == 0 || std::fwrite(data, 1, size, file) == size, "cannot write the scratch file");
    Require(std::fclose(file) == 0, "cannot close the scratch file");

    CheckList list;
    const bool loaded = list.LoadInfFile(ScratchPath().c_str());

    if (size == 0) {
        Require(!loaded && list.title.empty() && list.gameKey.empty() &&
                    list.installedFiles.empty() && list.discGroups.empty() &&
                    list.messageLines.empty() && list.drivePrompts.empty(),
                "an empty file must be refused and add nothing");
    }
    const auto& messages = platform::testing::Messages();
    Require(messages.size() <= size, "more invalid-token messages than bytes");
    for (const auto& message : messages) {
        Require(EndsWith(message.text, "は無効なトークン"), "message without its fixed text");
        Require(message.text.find(',') <= 1, "message not led by at most one byte");
        Require(message.owner == nullptr && !message.hasCaption, "message with owner or caption");
    }
    // The recorded messages would otherwise pile up over the whole run.
    platform::testing::ClearMessages();
    return 0;
}
