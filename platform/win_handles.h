// Scoped owners of the Win32 handles that the program opens: each one closes its handle when
// its owner goes, on every way out.
#pragma once

#include <windows.h>

namespace win {

// A kernel object handle (a mutex, a file): CloseHandle.
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    // Takes `handle` (null for none), closing the one held before.
    void Reset(HANDLE handle = nullptr) {
        if (handle_ != nullptr) {
            CloseHandle(handle_);
        }
        handle_ = handle;
    }
    HANDLE Get() const { return handle_; }

  private:
    HANDLE handle_ = nullptr;
};

// What CreateFile gave, as UniqueHandle takes it: null when nothing opened, where CreateFile
// gives INVALID_HANDLE_VALUE.
inline HANDLE Opened(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

// An open registry key: RegCloseKey.
class RegistryKey {
  public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() { Close(); }

    // RegOpenKeyA: an empty path opens `parent` itself. False when the key cannot be opened.
    bool Open(HKEY parent, const char* path) {
        Close();
        HKEY opened = nullptr;
        if (RegOpenKeyA(parent, path, &opened) != ERROR_SUCCESS) {
            return false;
        }
        key_ = opened;
        return true;
    }
    void Close() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
            key_ = nullptr;
        }
    }
    HKEY Get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

}  // namespace win
