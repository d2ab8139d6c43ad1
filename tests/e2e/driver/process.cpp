#include "process.h"

#include <vector>

namespace e2e {

Process::~Process() {
    if (process_ != nullptr) {
        Kill();
        CloseHandle(process_);
    }
}

bool Process::Start(const std::string& exe, const std::string& folder, std::string* error) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::string quoted = "\"" + exe + "\"";
    std::vector<char> commandLine(quoted.begin(), quoted.end());
    commandLine.push_back('\0');
    // Wine now and then refuses to create a process with ERROR_INTERNAL_ERROR while other
    // prefixes start programs too (seen once in a whole CI run). The program never ran, so a
    // second try checks the same thing; any other error is the scenario's.
    constexpr int kTries = 3;
    for (int tried = 1;; ++tried) {
        if (CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
            break;
        }
        const DWORD failure = GetLastError();
        if (failure != ERROR_INTERNAL_ERROR || tried == kTries) {
            *error = "CreateProcessA failed with error " + std::to_string(failure);
            return false;
        }
        Sleep(500);
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
    return true;
}

bool Process::WaitExit(DWORD milliseconds, DWORD* exitCode) {
    if (process_ == nullptr || WaitForSingleObject(process_, milliseconds) != WAIT_OBJECT_0) {
        return false;
    }
    return GetExitCodeProcess(process_, exitCode) != 0;
}

bool Process::HasEnded() {
    return process_ == nullptr || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
}

void Process::Kill() {
    if (process_ != nullptr && !HasEnded()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
}

}  // namespace e2e
