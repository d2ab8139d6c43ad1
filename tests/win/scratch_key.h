// A registry key of this process's own below HKEY_CURRENT_USER\Software, removed with its
// values when the object goes.
#pragma once

#include <windows.h>

#include <string>

namespace wintest {

class ScratchKey {
  public:
    // The key is Software\<folder>\<process id>.
    explicit ScratchKey(const std::string& folder)
        : folder_("Software\\" + folder),
          path_(folder_ + "\\" + std::to_string(GetCurrentProcessId())) {
        RegCreateKeyA(HKEY_CURRENT_USER, path_.c_str(), &key_);
    }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;
    ~ScratchKey() {
        RegCloseKey(key_);
        RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, folder_.c_str());
    }
    // Stores `data` as it is: a terminating zero must be part of it to be stored.
    void Set(const char* name, DWORD type, const std::string& data) {
        RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
    }
    const std::string& Path() const { return path_; }

  private:
    std::string folder_;
    std::string path_;
    HKEY key_ = nullptr;
};

}  // namespace wintest
