// Hooks of the recorded half of the platform layer (ui_recorded.cpp), for tests: message
// boxes are recorded, not shown, and the pump runs a handler that a test chooses.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform::testing {

struct RecordedMessage {
    Window owner = nullptr;
    std::string text;
    bool hasCaption = false;
    std::string caption;
    unsigned style = 0;
};

// Every message box "shown" since the last ClearMessages, in order.
const std::vector<RecordedMessage>& Messages();
void ClearMessages();
// The answer that the next message boxes give, one by one; kAnswerOk once they run out.
void QueueAnswers(std::vector<int> answers);
// Runs as each message box is recorded, while the windows that it names still exist (an
// empty hook, the default, does nothing).
void SetShowHook(std::function<void(const RecordedMessage&)> hook);

// What PumpMessages does: the handler's result is returned (1 = drained, 0 = WM_QUIT).
// An empty handler (the default) returns 1.
void SetPumpHandler(std::function<int()> handler);
// How many times PumpMessages has run since the last ResetPumpCount.
long PumpCount();
void ResetPumpCount();

// Brings the hooks back to their defaults.
void Reset();

}  // namespace platform::testing
