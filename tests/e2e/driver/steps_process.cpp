// Steps that start the program, wait for its end and wait for its windows.
#include "runner.h"

#include "report.h"
#include "text.h"

namespace e2e {

bool Runner::DoStart(const Step& step) {
    if (!NeedArgs(step, 0, 1))
        return false;
    std::string name = step.args.empty() ? kMainProcess : step.args[0].utf8;
    if (Find(name) != nullptr) {
        return Fail("a process named \"" + name + "\" was started already");
    }
    auto process = std::make_unique<Process>();
    std::string error;
    if (!process->Start(settings_.exe, settings_.folder, &error)) {
        return Fail("cannot start " + settings_.exe + " in " + settings_.folder + ": " + error);
    }
    processes_[name] = std::move(process);
    return true;
}

bool Runner::DoExit(const Step& step) {
    if (!NeedArgs(step, 1, 2))
        return false;
    int expected = 0;
    if (!Number(step.args[0], &expected))
        return false;
    std::string name = step.args.size() > 1 ? step.args[1].utf8 : kMainProcess;
    Process* process = Find(name);
    if (process == nullptr) {
        return Fail("no process named \"" + name + "\"");
    }
    // A new message box or menu before the end is a fault: the program must end without
    // showing anything more. A box that a `wait` found already may still be closing on its
    // own, and a progress dialog may still be closing after the last answer.
    HWND shown = nullptr;
    DWORD code = 0;
    bool ended = PollFor(
        [&]() {
            if (process->WaitExit(0, &code))
                return true;
            shown = NewWindow(*process, Kind::kBox);
            if (shown == nullptr)
                shown = NewWindow(*process, Kind::kMenu);
            return shown != nullptr;
        },
        settings_.timeoutMs);
    if (shown != nullptr) {
        return Fail(std::string("expected the process to end without another window, but a ") +
                    KindName(Classify(shown)) + " appeared:\n    " + Describe(shown));
    }
    if (!ended) {
        return Fail("process \"" + name + "\" did not end within " +
                    std::to_string(settings_.timeoutMs / 1000) + " s");
    }
    if (static_cast<int>(code) != expected) {
        return Fail("exit code of \"" + name + "\": expected " + std::to_string(expected) +
                    ", found " + std::to_string(code));
    }
    return true;
}

bool Runner::DoRunning(const Step& step) {
    if (!NeedArgs(step, 0, 1))
        return false;
    std::string name = step.args.empty() ? kMainProcess : step.args[0].utf8;
    Process* process = Find(name);
    if (process == nullptr || process->HasEnded()) {
        return Fail("expected process \"" + name + "\" to be running");
    }
    return true;
}

bool Runner::DoTimeout(const Step& step) {
    int seconds = 0;
    if (!NeedArgs(step, 1, 1) || !Number(step.args[0], &seconds))
        return false;
    settings_.timeoutMs = static_cast<DWORD>(seconds) * 1000;
    return true;
}

bool Runner::DoWait(const Step& step) {
    if (!NeedArgs(step, 1, 1))
        return false;
    Kind kind = Kind::kOther;
    if (!ParseKind(step.args[0].utf8, &kind)) {
        return Fail("unknown window kind " + Quote(step.args[0].utf8) +
                    " (menu, drive, progress, box, main)");
    }
    Process* process = Find(kMainProcess);
    if (process == nullptr) {
        return Fail("the program has not been started");
    }
    HWND found = nullptr;
    bool ended = false;
    PollFor(
        [&]() {
            for (HWND window : WindowsOf(process->Id(), kind == Kind::kMain)) {
                // The current box is skipped, so that a box that opens over it is found.
                bool skipped =
                    answered_.count(window) != 0 || (kind == Kind::kBox && window == current_);
                if (Classify(window) == kind && !skipped) {
                    found = window;
                    return true;
                }
            }
            ended = process->HasEnded();
            return ended;
        },
        settings_.timeoutMs);
    if (found == nullptr) {
        return Fail(std::string("expected a window of kind \"") + KindName(kind) + "\"" +
                    (ended ? ", but the program ended"
                           : ", none appeared within " +
                                 std::to_string(settings_.timeoutMs / 1000) + " s"));
    }
    current_ = found;
    found_.insert(found);
    Say("    " + Describe(found));
    return true;
}

bool Runner::DoGone(const Step& step) {
    if (!NeedArgs(step, 0, 0) || !NeedWindow())
        return false;
    HWND window = current_;
    if (!PollFor([&]() { return !IsWindow(window) || !IsWindowVisible(window); },
                 settings_.timeoutMs)) {
        return Fail("expected the current window to go away");
    }
    return true;
}

bool Runner::DoNoBox(const Step& step) {
    int seconds = 0;
    if (!NeedArgs(step, 1, 1) || !Number(step.args[0], &seconds))
        return false;
    Process* process = Find(kMainProcess);
    if (process == nullptr)
        return Fail("the program has not been started");
    HWND box = nullptr;
    PollFor(
        [&]() {
            box = NewWindow(*process, Kind::kBox);
            return box != nullptr;
        },
        static_cast<DWORD>(seconds) * 1000);
    if (box != nullptr) {
        return Fail("expected no message box, found:\n    " + Describe(box));
    }
    return true;
}

HWND Runner::NewWindow(Process& process, Kind kind) {
    for (HWND window : WindowsOf(process.Id(), false)) {
        if (Classify(window) == kind && found_.count(window) == 0) {
            return window;
        }
    }
    return nullptr;
}

}  // namespace e2e
