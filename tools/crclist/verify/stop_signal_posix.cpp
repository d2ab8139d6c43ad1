#include <csignal>

#include "tools/crclist/verify/stop_signal.h"

namespace crclist {
namespace {

void OnSignal(int signal) {
    if (!TakeStopSignal(signal)) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

}  // namespace

void CatchStopSignals() {
    struct sigaction action = {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace crclist
