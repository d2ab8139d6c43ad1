#include "runner.h"

#include <cstdio>
#include <cstdlib>

#include "report.h"
#include "tests/program_interface.h"
#include "text.h"

namespace e2e {

const Runner::Verb Runner::kVerbs[] = {
    {"start", &Runner::DoStart},
    {"exit", &Runner::DoExit},
    {"running", &Runner::DoRunning},
    {"timeout", &Runner::DoTimeout},
    {"wait", &Runner::DoWait},
    {"gone", &Runner::DoGone},
    {"no-box", &Runner::DoNoBox},
    {"caption", &Runner::DoCaption},
    {"text", &Runner::DoText},
    {"wait-text", &Runner::DoWaitText},
    {"wait-pos", &Runner::DoWaitPos},
    {"icon", &Runner::DoIcon},
    {"buttons", &Runner::DoButtons},
    {"owner", &Runner::DoOwner},
    {"entries", &Runner::DoEntries},
    {"selected", &Runner::DoSelected},
    {"click", &Runner::DoClick},
    {"pick", &Runner::DoPick},
    {"answer", &Runner::DoAnswer},
    {"close", &Runner::DoClose},
    {"close-main", &Runner::DoCloseMain},
    {"show", &Runner::DoShow},
    {"windows", &Runner::DoWindows},
    {"screenshot", &Runner::DoScreenshot},
    {"hold", &Runner::DoHold},
    {"release", &Runner::DoRelease},
    {"mutex", &Runner::DoMutex},
    {"window", &Runner::DoWindow},
};

bool Runner::Run(const std::vector<Step>& steps) {
    DWORD start = GetTickCount();
    for (const Step& step : steps) {
        step_ = &step;
        char elapsed[32];
        std::snprintf(elapsed, sizeof elapsed, "%6.2f", (GetTickCount() - start) / 1000.0);
        Say(std::string(elapsed) + "  " + std::to_string(step.line) + ": " + step.source);
        Handler handler = nullptr;
        for (const Verb& verb : kVerbs) {
            if (step.verb == verb.name) {
                handler = verb.handler;
            }
        }
        if (handler == nullptr) {
            return Fail("unknown step \"" + step.verb + "\"");
        }
        if (!(this->*handler)(step)) {
            return false;
        }
    }
    for (auto& entry : processes_) {
        if (!entry.second->HasEnded()) {
            step_ = nullptr;
            return Fail("process \"" + entry.first +
                        "\" is still running after the last step (a script ends with `exit`)");
        }
    }
    return true;
}

bool Runner::Fail(const std::string& what) {
    if (step_ != nullptr) {
        Say("FAIL at line " + std::to_string(step_->line) + ": " + step_->source);
    } else {
        Say("FAIL at the end of the script");
    }
    Say("  " + what);
    for (auto& entry : processes_) {
        ListWindows(entry.first);
    }
    return false;
}

void Runner::ListWindows(const std::string& processName) {
    Process* process = Find(processName);
    if (process == nullptr) {
        return;
    }
    if (process->HasEnded()) {
        DWORD code = 0;
        process->WaitExit(0, &code);
        Say("  process \"" + processName + "\" has ended with exit code " + std::to_string(code));
        return;
    }
    std::vector<HWND> windows = WindowsOf(process->Id(), true);
    Say("  windows of process \"" + processName + "\" (" + std::to_string(windows.size()) + "):");
    for (HWND window : windows) {
        Say("    " + Describe(window));
    }
}

Process* Runner::Find(const std::string& name) {
    auto found = processes_.find(name);
    return found == processes_.end() ? nullptr : found->second.get();
}

bool Runner::NeedWindow() {
    if (current_ == nullptr) {
        return Fail("no current window: a `wait` step must come first");
    }
    if (!IsWindow(current_)) {
        return Fail("the current window no longer exists");
    }
    return true;
}

bool Runner::NeedArgs(const Step& step, size_t least, size_t most) {
    if (step.args.size() < least || step.args.size() > most) {
        return Fail("wrong number of arguments for \"" + step.verb +
                    "\" (see tests/e2e/README.md)");
    }
    return true;
}

bool Runner::Number(const Arg& arg, int* value) {
    char* end = nullptr;
    long parsed = std::strtol(arg.utf8.c_str(), &end, 0);
    if (arg.quoted || arg.utf8.empty() || *end != '\0') {
        return Fail("expected a number, found " + Quote(arg.utf8));
    }
    *value = static_cast<int>(parsed);
    return true;
}

bool Runner::ControlId(const Arg& arg, int* id) {
    if (!arg.quoted) {
        for (const program::ControlName& control : program::kControlNames) {
            if (arg.utf8 == control.name) {
                *id = control.id;
                return true;
            }
        }
    }
    return Number(arg, id);
}

bool Runner::Expect(const std::string& what, const std::function<std::string()>& read,
                    const Arg& expected) {
    // A window is found as soon as it exists, which can be a moment before the program has
    // filled in its texts; so a text gets a short while to become what is expected.
    std::string found;
    if (PollFor([&]() { return (found = read()) == expected.cp932; }, kSettleMs)) {
        return true;
    }
    return Fail(what + " differs\n  expected: " + Quote(expected.utf8) +
                "\n  found:    " + Quote(Cp932ToUtf8(found)) +
                "\n  expected bytes: " + Hex(expected.cp932) + "\n  found bytes:    " + Hex(found));
}

bool Runner::PollFor(const std::function<bool()>& probe, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (true) {
        if (probe()) {
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        Sleep(kPollMs);
    }
}

}  // namespace e2e
