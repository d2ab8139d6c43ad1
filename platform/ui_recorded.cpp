// Message boxes recorded instead of shown, and a pump that runs a handler of the caller's
// choosing (see ui_recorded.h). The unit tests and the reader's fuzzer use it.
#include <deque>

#include "platform/platform.h"
#include "platform/ui_recorded.h"

namespace platform {
namespace {

struct State {
    std::vector<testing::RecordedMessage> messages;
    std::deque<int> answers;
    std::function<int()> pump;
    std::function<void(const testing::RecordedMessage&)> showHook;
    long pumpCount = 0;
};

State& GetState() {
    static State state;
    return state;
}

}  // namespace

int ShowMessage(Window owner, const char* text, const char* caption, unsigned style) {
    State& state = GetState();
    testing::RecordedMessage message;
    message.owner = owner;
    message.text = text ? text : "";
    message.hasCaption = caption != nullptr;
    message.caption = caption ? caption : "";
    message.style = style;
    state.messages.push_back(std::move(message));
    if (state.showHook) {
        state.showHook(state.messages.back());
    }
    if (state.answers.empty()) {
        return kAnswerOk;
    }
    int answer = state.answers.front();
    state.answers.pop_front();
    return answer;
}

int PumpMessages() {
    State& state = GetState();
    ++state.pumpCount;
    return state.pump ? state.pump() : 1;
}

namespace testing {

const std::vector<RecordedMessage>& Messages() {
    return GetState().messages;
}
void ClearMessages() {
    GetState().messages.clear();
}
void QueueAnswers(std::vector<int> answers) {
    GetState().answers.assign(answers.begin(), answers.end());
}
void SetShowHook(std::function<void(const RecordedMessage&)> hook) {
    GetState().showHook = std::move(hook);
}
void SetPumpHandler(std::function<int()> handler) {
    GetState().pump = std::move(handler);
}
long PumpCount() {
    return GetState().pumpCount;
}
void ResetPumpCount() {
    GetState().pumpCount = 0;
}
void Reset() {
    GetState() = State{};
}

}  // namespace testing
}  // namespace platform
