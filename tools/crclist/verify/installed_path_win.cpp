#include "engine/registry.h"
#include "tools/crclist/text/windows_text.h"
#include "tools/crclist/verify/installed_path.h"

namespace crclist {
namespace {

// The code page in which Windows takes Shift-JIS as Japanese.
constexpr UINT kShiftJis = 932;

bool IsAscii(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool InstalledNamesReadable(const CheckList& list, std::string* why) {
    const UINT codePage = GetACP();
    if (codePage == kShiftJis) {
        return true;
    }
    bool ascii = IsAscii(list.gameKey);
    for (const FileEntry& entry : list.installedFiles) {
        ascii = ascii && IsAscii(entry.name);
    }
    if (ascii) {
        return true;
    }
    *why =
        "the list's registry key or a value name of [REG] is Japanese, and this Windows runs "
        "crclist.exe in code page " +
        std::to_string(codePage) +
        ", not 932, so it would look the installed files up by other names: on Windows 10 "
        "or older, set the system locale to Japanese (Control Panel, Region, Administrative, "
        "Language for non-Unicode programs) and run it again";
    return false;
}

bool ReadInstalledFilePath(const std::string& gameKey, const FileEntry& entry, std::string* path) {
    // The program's own filler, so that a value without its zero reads exactly as there.
    std::string buffer(kInstalledPathBufferSize, '0');
    if (!ReadInstalledPath(entry, gameKey, buffer)) {
        return false;
    }
    // What the "A" function gave is in the process's code page.
    return AnsiToUtf8(buffer.c_str(), path);
}

}  // namespace crclist
