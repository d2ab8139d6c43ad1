#include <windows.h>

#include <csignal>

#include "tools/crclist/verify/stop_signal.h"

namespace crclist {
namespace {

BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;  // closing the console and logging off end the process as usual
    }
    // The second one: the default handler ends the process.
    return TakeStopSignal(SIGINT) ? TRUE : FALSE;
}

}  // namespace

void CatchStopSignals() {
    SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
}

}  // namespace crclist
