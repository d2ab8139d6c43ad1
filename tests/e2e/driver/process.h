// One started instance of the program under test.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

class Process {
  public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    // A process that is still running when the driver gives up is ended, so that a failed
    // scenario cannot leave a window behind for the next one.
    ~Process();

    // CreateProcessA of `exe` (ANSI path) with `folder` as its current directory.
    bool Start(const std::string& exe, const std::string& folder, std::string* error);
    // Waits up to `milliseconds`; true with the exit code once the process has ended.
    bool WaitExit(DWORD milliseconds, DWORD* exitCode);
    bool HasEnded();
    void Kill();
    DWORD Id() const { return id_; }

  private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

}  // namespace e2e
