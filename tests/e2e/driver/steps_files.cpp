// Steps that stand for another program on the user's machine: one that holds a file open.
#include "runner.h"

namespace e2e {

bool Runner::DoHold(const Step& step) {
    if (!NeedArgs(step, 1, 1))
        return false;
    // Share mode 0: while the handle is open, nobody else may open the file, not even for
    // reading.
    HANDLE file = CreateFileA(step.args[0].cp932.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return Fail("cannot open " + step.args[0].utf8 + " (error " +
                    std::to_string(GetLastError()) + ")");
    }
    held_.emplace_back(file);
    return true;
}

bool Runner::DoRelease(const Step& step) {
    if (!NeedArgs(step, 0, 0))
        return false;
    held_.clear();
    return true;
}

}  // namespace e2e
