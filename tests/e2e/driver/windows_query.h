// Finding and reading the windows of the program under test from another process. Only calls
// that do not depend on the target's message loop are used for reading texts (GetWindowTextA
// reads the text the window system keeps); the few queries that need a message use a timeout.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

enum class Kind { kMain, kMenu, kDrive, kProgress, kBox, kOther };

// Controls of the system's message box.
constexpr int kBoxText = 0xFFFF;  // the message box's text static
constexpr int kBoxIcon = 0x0440;  // the message box's icon static (Wine's id)

// Parses "menu", "drive", "progress", "box", "main"; false for anything else.
bool ParseKind(const std::string& name, Kind* kind);
const char* KindName(Kind kind);

// Top-level windows of the process, in Z order. Hidden ones only when asked for.
std::vector<HWND> WindowsOf(DWORD processId, bool includeHidden);
Kind Classify(HWND window);

// Raw code page 932 bytes.
std::string CaptionOf(HWND window);
std::string ControlText(HWND dialog, int id);

// Combo box contents; false when the control does not answer.
bool ComboEntries(HWND dialog, int id, std::vector<std::string>* entries);
bool ComboSelection(HWND dialog, int id, int* index);
// PBM_GETPOS of a progress bar.
bool BarPosition(HWND dialog, int id, int* position);

// A readable UTF-8 description of a window and its controls, for logs and failures.
std::string Describe(HWND window);

}  // namespace e2e
