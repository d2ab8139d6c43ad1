// The few platform services that the portable core needs, in halves chosen at link time:
// files through Win32 or POSIX (files_win.cpp, files_posix.cpp), and message boxes and the
// pump either real (ui_win.cpp, the program), recorded and scripted (ui_recorded.cpp: the
// unit tests and the reader's fuzzer) or collected (ui_headless.cpp: the crclist tool).
#pragma once

#include <cstdint>

namespace platform {

// An opaque window handle (HWND on Windows). Null means "no owner".
using Window = void*;

// Message box styles, with the Win32 values, so that portable code and its tests can
// name them without <windows.h>.
constexpr unsigned kBoxOk = 0x0;
constexpr unsigned kBoxOkCancel = 0x1;
constexpr unsigned kIconError = 0x10;
constexpr unsigned kIconQuestion = 0x20;
constexpr unsigned kIconInformation = 0x40;
constexpr unsigned kSetForeground = 0x10000;

constexpr unsigned kErrorStyle = kIconError | kSetForeground;
constexpr unsigned kInformationStyle = kIconInformation | kSetForeground;
constexpr unsigned kQuestionStyle = kBoxOkCancel | kIconInformation | kSetForeground;

// Message box answers, with the Win32 values.
constexpr int kAnswerOk = 1;
constexpr int kAnswerCancel = 2;

// Shows a message box. `caption` may be null: the platform's default caption is shown.
// Texts are Shift-JIS byte strings. Returns the answer (kAnswerOk, kAnswerCancel).
int ShowMessage(Window owner, const char* text, const char* caption, unsigned style);

// Drains the window message queue without waiting. Returns 1 when the queue is empty,
// 0 when WM_QUIT was taken (later messages stay queued).
int PumpMessages();

// A file opened for sequential reading; null when no file is open.
using File = void*;

// Opens an existing file for reading, sharing it with other readers. Null on failure.
File OpenFileForReading(const char* path);
// The full size of an open file. False when it cannot be taken.
bool QueryFileSize(File file, std::uint64_t* size);
// Reads up to `count` bytes. False on a read error; `*read` is 0 at the end of the file.
bool ReadFile(File file, void* buffer, std::uint32_t count, std::uint32_t* read);
// Closes the file. False when the platform reports a failure.
bool CloseFile(File file);

}  // namespace platform
