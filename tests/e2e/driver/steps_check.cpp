// Steps that compare what a window shows with what the script expects.
#include "runner.h"

#include "icon_check.h"
#include "report.h"
#include "tests/program_interface.h"
#include "text.h"

namespace e2e {

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
    if (step.args.size() == 2 && !ControlId(step.args[0], &id))
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
    if (!NeedArgs(step, 2, 2) || !NeedWindow() || !ControlId(step.args[0], &id))
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
    int id = program::control::PROGRESS_BAR;
    int least = 0;
    if (step.args.size() == 2 && !ControlId(step.args[0], &id))
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
    if (!NeedArgs(step, 1, 64) || !NeedWindow() || !ControlId(step.args[0], &id))
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
    if (!NeedArgs(step, 2, 2) || !NeedWindow() || !ControlId(step.args[0], &id) ||
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

}  // namespace e2e
