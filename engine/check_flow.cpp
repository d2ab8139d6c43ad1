// The check flow: load the check list, show the menu, run the chosen check, offer the
// installed-files check and report the outcome.
#include <windows.h>

#include <string>

#include "app/checker.h"
#include "app/main_window.h"
#include "dialogs/menu_dialog.h"
#include "engine/registry.h"
#include "platform/platform.h"
#include "resources/texts.h"

namespace {

void ShowInformation(const char* text, const CheckList& checkList) {
    platform::ShowMessage(nullptr, text, checkList.title.c_str(), platform::kInformationStyle);
}

void ShowError(const char* text, const char* caption) {
    platform::ShowMessage(nullptr, text, caption, platform::kErrorStyle);
}

std::string JoinMessageLines(const CheckList& checkList) {
    std::string text;
    for (const std::string& line : checkList.messageLines) {
        text += line;
        text += '\n';
    }
    return text;
}

}  // namespace

bool Checker::WaitForDialog(const std::uint8_t& done) {
    // Sleep between two drains of the queue: keeps the process idle without making the
    // dialog feel slow.
    constexpr DWORD kWaitSliceMs = 10;
    while (done == 0) {
        if (MainWindow::PumpMessages() == 0) {
            return false;
        }
        Sleep(kWaitSliceMs);
    }
    return true;
}

bool Checker::AskOkCancel(const std::string& text, const CheckList& checkList, HWND owner) {
    return platform::ShowMessage(owner, text.c_str(), checkList.title.c_str(),
                                 platform::kQuestionStyle) == platform::kAnswerOk;
}

bool Checker::Run() {
    // Held for the life of the process so that other programs can tell this one runs; the
    // program itself neither waits on it nor asks whether it existed already.
    mutexHandle.Reset(CreateMutexA(nullptr, FALSE, texts::kMutexName));

    CheckList checkList;
    if (!checkList.LoadInfFile(texts::kInfFileName)) {
        // The flow goes on with what was read: the menu and each check meet what is missing.
        ShowError(texts::kInfReadFailed, nullptr);
    }

    // The text is made before the menu exists: should memory run out while it is made, no
    // menu shows up with its template's placeholder texts only to vanish.
    const std::string menuText = JoinMessageLines(checkList);
    MenuDialog menu;
    menu.Create(mainWindow->window);
    menu.SetText(menuText);
    menu.SetTitle(checkList.title);
    if (!WaitForDialog(menu.done)) {
        return false;
    }
    if (mainWindow->quitRequested != 0 || menu.cancelled != 0) {
        return false;
    }

    if (menu.choice == MenuDialog::kDiscCheck) {
        if (!CheckDisc(checkList)) {
            // The check has said what went wrong, or the user stopped it.
            return false;
        }
        ShowInformation(texts::kDiscCheckPassed, checkList);
    } else if (menu.choice == MenuDialog::kInstalledCheck) {
        if (!IsGameInstalled(checkList.gameKey)) {
            ShowError(texts::kGameNotInstalled, checkList.title.c_str());
        }
    }

    // The installed files are offered after either choice, but only when the list names
    // some and the title is installed at all.
    if (checkList.installedFiles.empty() || !IsGameInstalled(checkList.gameKey)) {
        return true;
    }
    std::string question = texts::kGameInstalled;
    question += texts::kCheckInstalledToo;
    if (!AskOkCancel(question, checkList, nullptr)) {
        return true;
    }
    if (!CheckInstalled(checkList)) {
        return false;
    }
    ShowInformation(texts::kInstalledCheckPassed, checkList);
    return true;
}
