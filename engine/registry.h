// Read-only access to the title's registry key below HKEY_CURRENT_USER.
#pragma once

#include <windows.h>

#include <string>

// An open registry key, closed when its owner goes.
class RegistryKey {
  public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() { Close(); }

    // RegOpenKeyA: an empty path opens `parent` itself. False when the key cannot be opened.
    bool Open(HKEY parent, const char* path);
    void Close();
    HKEY Get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

// True when HKEY_CURRENT_USER\<keyPath> exists (can be opened); the key is closed at once.
bool IsGameInstalled(const std::string& keyPath);
