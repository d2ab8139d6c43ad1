// Message boxes collected instead of shown, and a pump with nothing to do (see ui_headless.h).
#include "platform/ui_headless.h"

#include "platform/platform.h"

namespace platform {
namespace {

// Tools run the shared code on one thread.
MessageCollector* innermost = nullptr;

}  // namespace

MessageCollector::MessageCollector() : outer_(innermost) {
    innermost = this;
}

MessageCollector::~MessageCollector() {
    innermost = outer_;
}

void MessageCollector::Collect(const char* text) {
    if (innermost != nullptr) {
        innermost->texts_.emplace_back(text != nullptr ? text : "");
    }
}

int ShowMessage(Window /*owner*/, const char* text, const char* /*caption*/, unsigned /*style*/) {
    MessageCollector::Collect(text);
    return kAnswerOk;
}

int PumpMessages() {
    return 1;
}

}  // namespace platform
