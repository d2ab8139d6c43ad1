// The installed-files check: each file's path comes from the title's registry key.
#include <windows.h>

#include <string>

#include "app/checker.h"
#include "app/main_window.h"
#include "dialogs/progress_dialog.h"
#include "engine/progress_finish.h"
#include "engine/registry.h"
#include "platform/platform.h"
#include "resources/texts.h"

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
        pathBuffer.assign(kInstalledPathBufferSize, '0');
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
