// The CD/DVD check: every listed file of every disc group, verified at the chosen drive root.
#include <windows.h>

#include <string>

#include "app/checker.h"
#include "app/main_window.h"
#include "dialogs/drive_dialog.h"
#include "dialogs/progress_dialog.h"
#include "engine/progress_finish.h"
#include "platform/platform.h"
#include "resources/texts.h"

bool Checker::CheckDisc(const CheckList& checkList) {
    std::string driveRoot;
    if (!SelectDrive(driveRoot, checkList)) {
        return false;
    }
    const std::int32_t total = CountDiscFiles(checkList);

    ProgressDialog progress;
    progress.Create(mainWindow->window, &checkList);
    const ProgressFinish finish(progress);
    std::int32_t counter = 0;

    // Tested only once the drive is chosen and the progress dialog is up.
    if (checkList.drivePrompts.size() < checkList.discGroups.size()) {
        platform::ShowMessage(nullptr, texts::kTooFewDriveInfo, checkList.title.c_str(),
                              platform::kErrorStyle);
        return false;
    }

    const std::size_t groups = checkList.discGroups.size();
    for (std::size_t group = 0; group < groups; ++group) {
        if (!CheckDiscGroup(progress, checkList, total, counter, group, driveRoot)) {
            return false;
        }
        // Cancel at the prompt for the next disc ends the check the way a Stop does: the
        // user has said they cannot or will not insert it, so the remaining discs cannot be
        // vouched for, and no failure message is due either.
        if (group + 1 < groups &&
            !AskOkCancel(checkList.drivePrompts[group + 1], checkList, progress.window)) {
            return false;
        }
    }
    progress.Close(progress.window);
    return true;
}

bool Checker::SelectDrive(std::string& driveRoot, const CheckList& checkList) {
    if (checkList.drivePrompts.empty()) {
        platform::ShowMessage(nullptr, texts::kNoDriveInfo, checkList.title.c_str(),
                              platform::kErrorStyle);
        return false;
    }
    DriveDialog dialog;
    dialog.Create(mainWindow->window, &checkList);
    // Before any message is pumped, so the default prompt is never drawn.
    dialog.SetText(checkList.drivePrompts[0]);
    if (!WaitForDialog(dialog.done)) {
        return false;
    }
    if (dialog.cancelled != 0) {
        return false;
    }
    driveRoot = dialog.drive;
    return true;
}

std::int32_t Checker::CountDiscFiles(const CheckList& checkList) {
    std::size_t count = 0;
    for (const DiscGroup& group : checkList.discGroups) {
        count += group.size();
    }
    return static_cast<std::int32_t>(count);
}

bool Checker::CheckDiscGroup(ProgressDialog& progress, const CheckList& checkList,
                             std::int32_t total, std::int32_t& counter, std::size_t group,
                             const std::string& driveRoot) {
    for (const FileEntry& entry : checkList.discGroups[group]) {
        // The root ends in a backslash and names are relative to it: nothing goes between.
        const std::string path = driveRoot + entry.name;
        if (!CheckListedFile(progress, path, entry, counter, total, texts::kDiscFileFailed,
                             checkList.title.c_str())) {
            return false;
        }
    }
    return true;
}
