#include "engine/registry.h"

#include "platform/win_handles.h"

bool IsGameInstalled(const std::string& keyPath) {
    win::RegistryKey key;
    return key.Open(HKEY_CURRENT_USER, keyPath.c_str());
}

bool ReadInstalledPath(const FileEntry& entry, const std::string& keyPath,
                       std::string& pathBuffer) {
    if (pathBuffer.size() < kInstalledPathBufferSize) {
        pathBuffer.resize(kInstalledPathBufferSize, '0');
    }
    win::RegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, keyPath.c_str())) {
        return false;
    }
    DWORD type = REG_SZ;  // not examined: any value is taken as bytes up to a zero
    DWORD size = kInstalledPathBufferSize;
    auto* data = reinterpret_cast<BYTE*>(&pathBuffer[0]);
    // Data of more than 512 bytes is refused (ERROR_MORE_DATA), so a path of 511 bytes and
    // its zero is the longest that is read.
    if (RegQueryValueExA(key.Get(), entry.name.c_str(), nullptr, &type, data, &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    // A value stored without its terminating zero is not terminated by the read either; the
    // path then ends where the data ends, not in the filler after it. Data that fills the
    // whole buffer ends at the string's own terminator, one byte past it.
    if (size < kInstalledPathBufferSize) {
        pathBuffer[size] = '\0';
    }
    return true;
}
