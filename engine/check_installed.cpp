// The installed-files check: each file's path comes from the title's registry key.
#include <windows.h>

#include <string>

#include "app/checker.h"
#include "app/main_window.h"
#include "dialogs/progress_dialog.h"
#include "engine/progress_finish.h"
#include "platform/platform.h"
#include "platform/win_handles.h"
#include "resources/texts.h"

namespace {

// Room for a path in the registry, terminating zero included.
constexpr DWORD kPathBufferSize = 512;

}  // namespace

bool Checker::CheckInstalled(const CheckList& checkList) {
    ProgressDialog progress;
    progress.Create(mainWindow->window, &checkList);
    const ProgressFinish finish(progress);
    std::int32_t counter = 0;
    const auto total = static_cast<std::int32_t>(checkList.installedFiles.size());
    if (progress.window != nullptr) {
        ShowWindow(progress.window, SW_SHOW);
    }

    std::string pathBuffer;
    for (const FileEntry& entry : checkList.installedFiles) {
        pathBuffer.assign(kPathBufferSize, '0');
        if (!ReadInstalledPath(entry, checkList.gameKey, pathBuffer)) {
            const std::string message = texts::kUnreadableEntry + entry.name;
            platform::ShowMessage(progress.window, message.c_str(), texts::kUnreadableEntryCaption,
                                  platform::kErrorStyle);
            return false;
        }
        const std::string path(pathBuffer.c_str());
        if (!CheckListedFile(progress, path, entry, counter, total, texts::kInstalledFileBroken,
                             checkList.title.c_str())) {
            return false;
        }
    }
    progress.Close(progress.window);
    return true;
}

bool Checker::ReadInstalledPath(const FileEntry& entry, const std::string& keyPath,
                                std::string& pathBuffer) {
    if (pathBuffer.size() < kPathBufferSize) {
        pathBuffer.resize(kPathBufferSize, '0');
    }
    win::RegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, keyPath.c_str())) {
        return false;
    }
    DWORD type = REG_SZ;  // not examined: any value is taken as bytes up to a zero
    DWORD size = kPathBufferSize;
    auto* data = reinterpret_cast<BYTE*>(&pathBuffer[0]);
    // Data of more than 512 bytes is refused (ERROR_MORE_DATA), so a path of 511 bytes and
    // its zero is the longest that is read.
    if (RegQueryValueExA(key.Get(), entry.name.c_str(), nullptr, &type, data, &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    // A value stored without its terminating zero is not terminated by the read either; the
    // path then ends where the data ends, not in the filler after it. Data that fills the
    // whole buffer ends at the string's own terminator, one byte past it.
    if (size < kPathBufferSize) {
        pathBuffer[size] = '\0';
    }
    return true;
}
