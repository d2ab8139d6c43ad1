// Feeds arbitrary bytes to LoadInfFile through a scratch file of this process's own, and
// checks what must hold for any input: the load ends, an empty file is refused, and every
// invalid-token message stands for one byte of the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "inf/check_list.h"
#include "platform/ui_recorded.h"
#include "tests/fuzz/fuzz_scratch.h"

namespace {

bool EndsWith(const std::string& text, const char* tail) {
    const std::size_t length = std::strlen(tail);
    return text.size() >= length && text.compare(text.size() - length, length, tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SetUpScratch("inf_fuzzer");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::WriteScratch(data, size);

    CheckList list;
    const bool loaded = list.LoadInfFile(fuzz::ScratchPath().c_str());

    if (size == 0) {
        fuzz::Require(!loaded && list.title.empty() && list.gameKey.empty() &&
                          list.installedFiles.empty() && list.discGroups.empty() &&
                          list.messageLines.empty() && list.drivePrompts.empty(),
                      "an empty file must be refused and add nothing");
    }
    const auto& messages = platform::testing::Messages();
    fuzz::Require(messages.size() <= size, "more invalid-token messages than bytes");
    for (const auto& message : messages) {
        fuzz::Require(EndsWith(message.text, "は無効なトークン"), "message without its fixed text");
        fuzz::Require(message.text.find(',') <= 1, "message not led by at most one byte");
        fuzz::Require(message.owner == nullptr && !message.hasCaption,
                      "message with owner or caption");
    }
    // The recorded messages would otherwise pile up over the whole run.
    platform::testing::ClearMessages();
    return 0;
}
