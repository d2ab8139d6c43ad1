// Entry point: one instance at a time, the hidden main window, the check flow, and its
// outcome as the exit code (1 success, 0 anything else).
#include <windows.h>

#include "app/checker.h"
#include "app/instance.h"
#include "app/main_window.h"
#include "resources/texts.h"

namespace {

bool RunChecks(MainWindow& mainWindow) {
    Checker checker(&mainWindow);
    return checker.Run();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR, int) {
    // A running instance keeps its hidden main window for its whole life: that window, not
    // the named mutex, is what keeps a second instance out.
    if (FindWindowA(texts::kMainWindowClass, nullptr) != nullptr) {
        return 0;
    }
    app::StoreInstanceHandles(instance, previousInstance);

    MainWindow mainWindow(texts::kProgramName);
    if (MainWindow::PumpMessages() == 0) {
        return 0;
    }
    try {
        return RunChecks(mainWindow) ? 1 : 0;
    } catch (...) {
        // Running out of memory for a text or a list: the check cannot be vouched for.
        return 0;
    }
}
