// Ctrl-C during a run: the first one asks the run to stop at the next block, so that it can
// still print what it found; a second one ends the process at once, for a drive that hangs.
#pragma once

namespace crclist {

// Catches SIGINT and SIGTERM natively, Ctrl-C and Ctrl-Break in a Windows console.
void CatchStopSignals();
bool StopSignalled();
// 128 + the signal's number, as a shell reports it: 130 for Ctrl-C.
int StopExitCode();

// For the platform's halves (stop_signal_posix.cpp, stop_signal_win.cpp): notes the first stop
// signal; false when one came before, and the process is to end at once.
bool TakeStopSignal(int signal);

}  // namespace crclist
