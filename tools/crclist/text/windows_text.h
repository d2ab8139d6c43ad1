// UTF-16 and the ANSI code page, for the Windows halves of the tool only: the tool's own texts
// are UTF-8, and it speaks to Windows through the wide functions.
#pragma once

#include <windows.h>

#include <string>

// `bytes` of `codePage` (CP_UTF8, CP_ACP, 932) in UTF-16, exactly: false when they are not
// valid in it.
bool ToWide(UINT codePage, const std::string& bytes, std::wstring* wide);

// UTF-16 from Windows in UTF-8.
std::string WideToUtf8(const std::wstring& wide);

// The full path of `path` as the system completes it (GetFullPathNameW); `path` itself when it
// cannot.
std::wstring FullPathOf(const std::wstring& path);

// A text in the process's ANSI code page (what an "A" function gives) in UTF-8, exactly.
bool AnsiToUtf8(const std::string& ansi, std::string* utf8);
