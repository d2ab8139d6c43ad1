// Steps that act on the program's windows as a user would, and the ones that only print.
#include "runner.h"

#include <commctrl.h>

#include "report.h"
#include "screenshot.h"
#include "tests/program_interface.h"
#include "text.h"

namespace e2e {

bool Runner::DoClick(const Step& step) {
    int id = 0;
    if (!NeedArgs(step, 1, 1) || !NeedWindow() || !ControlId(step.args[0], &id))
        return false;
    HWND button = GetDlgItem(current_, id);
    if (button == nullptr) {
        return Fail("the current window has no control " + std::to_string(id));
    }
    // Posted, not sent: the driver must never wait on the program's message loop.
    PostMessageA(button, BM_CLICK, 0, 0);
    return true;
}

bool Runner::DoPick(const Step& step) {
    int id = 0;
    int index = 0;
    if (!NeedArgs(step, 2, 2) || !NeedWindow() || !ControlId(step.args[0], &id) ||
        !Number(step.args[1], &index)) {
        return false;
    }
    HWND combo = GetDlgItem(current_, id);
    DWORD_PTR result = 0;
    if (combo == nullptr || !SendMessageTimeoutA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0,
                                                 SMTO_ABORTIFHUNG, 3000, &result)) {
        return Fail("combo box " + std::to_string(id) + " does not answer");
    }
    if (static_cast<int>(static_cast<LONG_PTR>(result)) != index) {
        return Fail("combo box " + std::to_string(id) + " has no entry " + std::to_string(index));
    }
    return true;
}

bool Runner::DoAnswer(const Step& step) {
    if (!NeedArgs(step, 1, 1) || !NeedWindow())
        return false;
    int id = step.args[0].utf8 == "ok" ? IDOK : step.args[0].utf8 == "cancel" ? IDCANCEL : 0;
    if (id == 0) {
        return Fail("answer ok or answer cancel");
    }
    if (Classify(current_) != Kind::kBox) {
        return Fail("the current window is no message box");
    }
    HWND box = current_;
    answered_.insert(box);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
    if (!PollFor([&]() { return !IsWindow(box) || !IsWindowVisible(box); }, settings_.timeoutMs)) {
        return Fail("the message box did not go away after the answer");
    }
    return true;
}

bool Runner::DoClose(const Step& step) {
    if (!NeedArgs(step, 0, 0) || !NeedWindow())
        return false;
    // What the caption's close box does: the system command, which the dialog's default
    // procedure turns into WM_CLOSE.
    PostMessageA(current_, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

bool Runner::DoCloseMain(const Step& step) {
    if (!NeedArgs(step, 0, 0))
        return false;
    Process* process = Find(kMainProcess);
    if (process == nullptr)
        return Fail("the program has not been started");
    for (HWND window : WindowsOf(process->Id(), true)) {
        if (Classify(window) == Kind::kMain) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            return true;
        }
    }
    return Fail("the program has no window of class \"" + std::string(program::kMainWindowClass) +
                "\"");
}

bool Runner::DoShow(const Step& step) {
    if (!NeedArgs(step, 0, 0) || !NeedWindow())
        return false;
    Say("    " + Describe(current_));
    return true;
}

bool Runner::DoWindows(const Step& step) {
    if (!NeedArgs(step, 0, 1))
        return false;
    ListWindows(step.args.empty() ? kMainProcess : step.args[0].utf8);
    return true;
}

bool Runner::DoScreenshot(const Step& step) {
    if (!NeedArgs(step, 1, 1))
        return false;
    if (settings_.shotFolder.empty()) {
        return Fail("no screenshot folder: pass --shots DIR");
    }
    // Let the program paint what it was just told to show before the picture is taken.
    Process* process = Find(kMainProcess);
    if (process != nullptr && !process->HasEnded()) {
        for (HWND window : WindowsOf(process->Id(), false)) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
        }
        Sleep(300);
    }
    std::string path = settings_.shotFolder + "\\" + Utf8ToAnsi(step.args[0].utf8) + ".bmp";
    std::string error;
    if (!SaveScreen(path, &error)) {
        return Fail("screenshot " + path + ": " + error);
    }
    Say("    saved " + path);
    return true;
}

}  // namespace e2e
