// The registry test of the check flow: is the title installed at all?
#pragma once

#include <string>

// True when HKEY_CURRENT_USER\<keyPath> exists (can be opened); the key is closed at once.
// An empty path names HKEY_CURRENT_USER itself.
bool IsGameInstalled(const std::string& keyPath);
