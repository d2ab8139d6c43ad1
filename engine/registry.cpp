#include "engine/registry.h"

bool RegistryKey::Open(HKEY parent, const char* path) {
    Close();
    HKEY opened = nullptr;
    if (RegOpenKeyA(parent, path, &opened) != ERROR_SUCCESS) {
        return false;
    }
    key_ = opened;
    return true;
}

void RegistryKey::Close() {
    if (key_ != nullptr) {
        RegCloseKey(key_);
        key_ = nullptr;
    }
}

bool IsGameInstalled(const std::string& keyPath) {
    RegistryKey key;
    return key.Open(HKEY_CURRENT_USER, keyPath.c_str());
}
