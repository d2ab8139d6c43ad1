// Steps that stand for another program on the user's machine: one that holds a file open,
// one that looks for the program's named mutex, one with a window of its own.
#include "runner.h"

#include "text.h"

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

bool Runner::DoMutex(const Step& step) {
    if (!NeedArgs(step, 2, 2))
        return false;
    std::string found = "absent";
    HANDLE mutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, step.args[0].cp932.c_str());
    if (mutex != nullptr) {
        // Another program that takes the mutex has it at once, unless someone holds it.
        const DWORD taken = WaitForSingleObject(mutex, 0);
        found = taken == WAIT_OBJECT_0 ? "free" : taken == WAIT_TIMEOUT ? "owned" : "abandoned";
        if (taken != WAIT_TIMEOUT) {
            ReleaseMutex(mutex);
        }
        CloseHandle(mutex);
    }
    if (found != step.args[1].utf8) {
        return Fail("mutex " + Quote(step.args[0].utf8) + ": expected " + step.args[1].utf8 +
                    ", found " + found);
    }
    return true;
}

bool Runner::DoWindow(const Step& step) {
    if (!NeedArgs(step, 2, 2))
        return false;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = step.args[0].cp932.c_str();
    // A second window of the same class finds it registered already.
    RegisterClassA(&windowClass);
    // Hidden, and never pumped: looking a window up by its class asks nothing of it.
    if (CreateWindowExA(0, windowClass.lpszClassName, step.args[1].cp932.c_str(),
                        WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                        windowClass.hInstance, nullptr) == nullptr) {
        return Fail("cannot create a window of class " + Quote(step.args[0].utf8) + " (error " +
                    std::to_string(GetLastError()) + ")");
    }
    return true;
}

}  // namespace e2e
