#include "tools/crclist/verify/stop_signal.h"

#include <atomic>
#include <csignal>

#ifdef _WIN32
#include <windows.h>
#endif

namespace crclist {
namespace {

// The signal's number; 0 while none came. Set in a signal handler natively and on a thread of
// the system's own on Windows, so it must be lock-free and atomic.
std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may set it");

#ifdef _WIN32
BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;  // closing the console and logging off end the process as usual
    }
    if (caught != 0) {
        return FALSE;  // the second one: the default handler ends the process
    }
    caught = SIGINT;
    return TRUE;
}
#else
void OnSignal(int signal) {
    if (caught != 0) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    caught = signal;
}
#endif

}  // namespace

void CatchStopSignals() {
#ifdef _WIN32
    SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
#else
    struct sigaction action = {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

bool StopSignalled() {
    return caught != 0;
}

int StopExitCode() {
    return 128 + caught.load();
}

}  // namespace crclist
