#include "runner.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "icon_check.h"
#include "report.h"
#include "screenshot.h"
#include "text.h"

namespace e2e {
namespace {

constexpr DWORD kPollMs = 20;
constexpr DWORD kSettleMs = 2000;
const char kMainProcess[] = "main";

}  // namespace

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

template <typename Probe>
bool Runner::PollFor(Probe probe, DWORD timeoutMs) {
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
    // Any message box before the end is a fault: the program must end without one.
    HWND box = nullptr;
    DWORD code = 0;
    bool ended = PollFor(
        [&]() {
            if (process->WaitExit(0, &code))
                return true;
            for (HWND window : WindowsOf(process->Id(), false)) {
                if (Classify(window) == Kind::kBox && answered_.count(window) == 0) {
                    box = window;
                    return true;
                }
            }
            return false;
        },
        settings_.timeoutMs);
    if (box != nullptr) {
        return Fail(
            "expected the process to end without another message, but a message box "
            "appeared:\n    " +
            Describe(box));
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
                if (Classify(window) == kind && answered_.count(window) == 0) {
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
            for (HWND window : WindowsOf(process->Id(), false)) {
                if (Classify(window) == Kind::kBox && answered_.count(window) == 0) {
                    box = window;
                    return true;
                }
            }
            return false;
        },
        static_cast<DWORD>(seconds) * 1000);
    if (box != nullptr) {
        return Fail("expected no message box, found:\n    " + Describe(box));
    }
    return true;
}

bool Runner::DoCaption(const Step& step) {
    if (!NeedArgs(step, 1, 1) || !NeedWindow())
        return false;
    HWND window = current_;
    return Expect(
        "caption", [window]() { return CaptionOf(window); }, step.args[0]);
}

bool Runner::DoText(const Step& step) {
    if (!NeedArgs(step, 1, 2) || !NeedWindow())
        return false;
    int id = kBoxText;
    if (step.args.size() == 2 && !Number(step.args[0], &id))
        return false;
    if (GetDlgItem(current_, id) == nullptr) {
        return Fail("the current window has no control " + std::to_string(id));
    }
    HWND window = current_;
    return Expect(
        "text of control " + std::to_string(id), [window, id]() { return ControlText(window, id); },
        step.args.back());
}

bool Runner::DoWaitText(const Step& step) {
    int id = 0;
    if (!NeedArgs(step, 2, 2) || !NeedWindow() || !Number(step.args[0], &id))
        return false;
    HWND window = current_;
    std::string last;
    PollFor(
        [&]() {
            std::string text = ControlText(window, id);
            if (!IsWindow(window))
                return true;  // keep what was read while it existed
            last = text;
            return last == step.args[1].cp932;
        },
        settings_.timeoutMs);
    if (last == step.args[1].cp932) {
        return true;
    }
    if (!IsWindow(window)) {
        return Fail("the window went away while waiting for control " + std::to_string(id) +
                    " to read " + Quote(step.args[1].utf8) + "; last seen " +
                    Quote(Cp932ToUtf8(last)));
    }
    return Expect(
        "text of control " + std::to_string(id) + " (after waiting)",
        [window, id]() { return ControlText(window, id); }, step.args[1]);
}

bool Runner::DoWaitPos(const Step& step) {
    if (!NeedArgs(step, 1, 2) || !NeedWindow())
        return false;
    int id = kProgressBar;
    int least = 0;
    if (step.args.size() == 2 && !Number(step.args[0], &id))
        return false;
    if (!Number(step.args.back(), &least))
        return false;
    HWND window = current_;
    int position = -1;
    PollFor(
        [&]() {
            if (!IsWindow(window))
                return true;
            BarPosition(window, id, &position);
            return position >= least;
        },
        settings_.timeoutMs);
    if (position >= least) {
        return true;
    }
    if (!IsWindow(window)) {
        return Fail("the window went away before bar " + std::to_string(id) + " reached " +
                    std::to_string(least) + " (last position " + std::to_string(position) + ")");
    }
    return Fail("bar " + std::to_string(id) + " did not reach " + std::to_string(least) +
                " (last position " + std::to_string(position) + ")");
}

bool Runner::DoIcon(const Step& step) {
    if (!NeedArgs(step, 1, 1) || !NeedWindow())
        return false;
    std::string found;
    std::string detail;
    if (!IdentifyBoxIcon(current_, &found, &detail)) {
        return Fail("cannot identify the icon: " + detail);
    }
    if (found != step.args[0].utf8) {
        return Fail("icon: expected " + step.args[0].utf8 + ", found " + found + " (" + detail +
                    ")");
    }
    Say("    icon " + found + " (" + detail + ")");
    return true;
}

bool Runner::DoButtons(const Step& step) {
    if (!NeedWindow())
        return false;
    static const struct {
        int id;
        const char* name;
    } kButtons[] = {{IDOK, "ok"},       {IDCANCEL, "cancel"}, {IDABORT, "abort"},
                    {IDRETRY, "retry"}, {IDIGNORE, "ignore"}, {IDYES, "yes"},
                    {IDNO, "no"},       {10, "tryagain"},     {11, "continue"}};
    std::string expected;
    for (const Arg& arg : step.args) {
        expected +=
            (expected.empty() ? "" : " ") + (arg.utf8 == "okcancel" ? "ok cancel" : arg.utf8);
    }
    std::string found;
    for (const auto& button : kButtons) {
        HWND control = GetDlgItem(current_, button.id);
        if (control != nullptr && IsWindowVisible(control)) {
            found += (found.empty() ? "" : " ") + std::string(button.name);
        }
    }
    if (found != expected) {
        return Fail("buttons: expected \"" + expected + "\", found \"" + found + "\"");
    }
    return true;
}

bool Runner::DoOwner(const Step& step) {
    if (!NeedArgs(step, 1, 1) || !NeedWindow())
        return false;
    HWND owner = GetWindow(current_, GW_OWNER);
    std::string found = owner == nullptr ? "none" : KindName(Classify(owner));
    if (found != step.args[0].utf8) {
        return Fail("owner: expected " + step.args[0].utf8 + ", found " + found +
                    (owner != nullptr ? "\n    " + Describe(owner) : std::string()));
    }
    return true;
}

bool Runner::DoEntries(const Step& step) {
    int id = 0;
    if (!NeedArgs(step, 1, 64) || !NeedWindow() || !Number(step.args[0], &id))
        return false;
    std::string expected;
    for (size_t i = 1; i < step.args.size(); ++i) {
        expected += " " + Quote(step.args[i].utf8);
    }
    std::vector<std::string> entries;
    bool answered = false;
    bool same = PollFor(
        [&]() {
            answered = ComboEntries(current_, id, &entries);
            if (!answered || entries.size() + 1 != step.args.size())
                return false;
            for (size_t i = 1; i < step.args.size(); ++i) {
                if (entries[i - 1] != step.args[i].cp932)
                    return false;
            }
            return true;
        },
        kSettleMs);
    if (!answered) {
        return Fail("combo box " + std::to_string(id) + " does not answer");
    }
    if (!same) {
        std::string found;
        for (const std::string& entry : entries) {
            found += " " + Quote(Cp932ToUtf8(entry));
        }
        return Fail("entries of combo box " + std::to_string(id) + "\n  expected:" + expected +
                    "\n  found:   " + found);
    }
    return true;
}

bool Runner::DoSelected(const Step& step) {
    int id = 0;
    int expected = 0;
    if (!NeedArgs(step, 2, 2) || !NeedWindow() || !Number(step.args[0], &id) ||
        !Number(step.args[1], &expected)) {
        return false;
    }
    int found = 0;
    bool answered = false;
    if (PollFor(
            [&]() {
                return (answered = ComboSelection(current_, id, &found)) && found == expected;
            },
            kSettleMs)) {
        return true;
    }
    if (!answered) {
        return Fail("combo box " + std::to_string(id) + " does not answer");
    }
    return Fail("selection of combo box " + std::to_string(id) + ": expected " +
                std::to_string(expected) + ", found " + std::to_string(found));
}

bool Runner::DoClick(const Step& step) {
    int id = 0;
    if (!NeedArgs(step, 1, 1) || !NeedWindow() || !Number(step.args[0], &id))
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
    if (!NeedArgs(step, 2, 2) || !NeedWindow() || !Number(step.args[0], &id) ||
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
    return Fail("the program has no window of class \"Sumward\"");
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
