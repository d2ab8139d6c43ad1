// The host platform layer: real files through POSIX, message boxes and the pump recorded
// and scripted (see platform_testing.h).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <deque>

#include "engine/platform.h"
#include "engine/platform_testing.h"

namespace platform {
namespace {

struct State {
    std::vector<testing::RecordedMessage> messages;
    std::deque<int> answers;
    std::function<int()> pump;
    long pumpCount = 0;
};

State& GetState() {
    static State state;
    return state;
}

// File handles are file descriptors plus one, so that descriptor 0 is not null.
int ToDescriptor(File file) { return static_cast<int>(reinterpret_cast<std::intptr_t>(file)) - 1; }
File ToFile(int fd) { return reinterpret_cast<File>(static_cast<std::intptr_t>(fd) + 1); }

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

File OpenFileForReading(const char* path) {
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info;
    // A folder opens under POSIX but not as a file under Windows.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return ToFile(fd);
}

bool QueryFileSize(File file, std::uint64_t* size) {
    struct stat info;
    if (file == nullptr || ::fstat(ToDescriptor(file), &info) != 0) {
        return false;
    }
    *size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool ReadFile(File file, void* buffer, std::uint32_t count, std::uint32_t* read) {
    *read = 0;
    if (file == nullptr) {
        return false;
    }
    std::uint32_t total = 0;
    // Like ReadFile on a disk file: a short count only at the end of the file.
    while (total < count) {
        ssize_t got = ::read(ToDescriptor(file), static_cast<char*>(buffer) + total, count - total);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (got == 0) {
            break;
        }
        total += static_cast<std::uint32_t>(got);
    }
    *read = total;
    return true;
}

bool CloseFile(File file) { return file != nullptr && ::close(ToDescriptor(file)) == 0; }

namespace testing {

const std::vector<RecordedMessage>& Messages() { return GetState().messages; }
void ClearMessages() { GetState().messages.clear(); }
void QueueAnswers(std::vector<int> answers) {
    GetState().answers.assign(answers.begin(), answers.end());
}
void SetPumpHandler(std::function<int()> handler) { GetState().pump = std::move(handler); }
long PumpCount() { return GetState().pumpCount; }
void ResetPumpCount() { GetState().pumpCount = 0; }
void Reset() { GetState() = State{}; }

}  // namespace testing
}  // namespace platform
