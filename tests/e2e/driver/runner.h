// Runs the steps of one script against the program under test.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "process.h"
#include "script.h"
#include "windows_query.h"

namespace e2e {

constexpr DWORD kPollMs = 20;
// How long a window gets to show the text that a step expects.
constexpr DWORD kSettleMs = 2000;
constexpr char kMainProcess[] = "main";

struct Settings {
    std::string exe;         // ANSI path of the program
    std::string folder;      // ANSI path of its working folder
    std::string shotFolder;  // ANSI path where screenshots go; empty: screenshots are refused
    DWORD timeoutMs = 10000;
};

class Runner {
  public:
    explicit Runner(const Settings& settings) : settings_(settings) {}
    // Runs the steps in order, stopping at the first failure. True when every step passed and
    // no process was left running.
    bool Run(const std::vector<Step>& steps);

  private:
    using Handler = bool (Runner::*)(const Step&);
    struct Verb {
        const char* name;
        Handler handler;
    };
    static const Verb kVerbs[];

    bool Fail(const std::string& what);
    void ListWindows(const std::string& processName);
    Process* Find(const std::string& name);
    bool NeedWindow();
    bool NeedArgs(const Step& step, size_t least, size_t most);
    bool Number(const Arg& arg, int* value);
    // A control id: a number, or the name of a control in the tests' interface table.
    bool ControlId(const Arg& arg, int* id);
    // Compares the bytes that `read` returns with the expected text, giving the program a
    // moment to set them.
    bool Expect(const std::string& what, const std::function<std::string()>& read,
                const Arg& expected);
    // Calls `probe` every kPollMs until it is true or the time is up; true when it was.
    static bool PollFor(const std::function<bool()>& probe, DWORD timeoutMs);

    bool DoStart(const Step& step);
    bool DoExit(const Step& step);
    bool DoRunning(const Step& step);
    bool DoTimeout(const Step& step);
    bool DoWait(const Step& step);
    bool DoGone(const Step& step);
    bool DoNoBox(const Step& step);
    bool DoCaption(const Step& step);
    bool DoText(const Step& step);
    bool DoWaitText(const Step& step);
    bool DoWaitPos(const Step& step);
    bool DoIcon(const Step& step);
    bool DoButtons(const Step& step);
    bool DoOwner(const Step& step);
    bool DoEntries(const Step& step);
    bool DoSelected(const Step& step);
    bool DoClick(const Step& step);
    bool DoPick(const Step& step);
    bool DoAnswer(const Step& step);
    bool DoClose(const Step& step);
    bool DoCloseMain(const Step& step);
    bool DoShow(const Step& step);
    bool DoWindows(const Step& step);
    bool DoScreenshot(const Step& step);
    bool DoHold(const Step& step);
    bool DoRelease(const Step& step);
    bool DoMutex(const Step& step);
    bool DoWindow(const Step& step);
    // A visible window of that kind that no `wait` has found yet, or null.
    HWND NewWindow(Process& process, Kind kind);

    struct HandleCloser {
        void operator()(HANDLE handle) const { CloseHandle(handle); }
    };
    using HeldFile = std::unique_ptr<void, HandleCloser>;

    Settings settings_;
    std::map<std::string, std::unique_ptr<Process>> processes_;
    HWND current_ = nullptr;
    std::set<HWND> answered_;
    // Every window that a `wait` has found: a box among them is no longer news to `exit`.
    std::set<HWND> found_;
    // Files opened by `hold`, closed by `release` or at the end of the script.
    std::vector<HeldFile> held_;
    const Step* step_ = nullptr;
};

}  // namespace e2e
