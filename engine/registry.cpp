#include "engine/registry.h"

#include "platform/win_handles.h"

bool IsGameInstalled(const std::string& keyPath) {
    win::RegistryKey key;
    return key.Open(HKEY_CURRENT_USER, keyPath.c_str());
}
