#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "tools/crclist/text/console.h"

namespace crclist {

void PrepareStandardOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
}

bool IsTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

std::size_t TerminalColumns(std::FILE* stream) {
    const HANDLE console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(console, &info)) {
        return 0;
    }
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns > 0 ? static_cast<std::size_t>(columns) : 0;
}

bool WriteText(std::FILE* stream, const std::string& utf8) {
    // A console shows UTF-8 bytes in its own code page; as UTF-16 it shows them right.
    // WriteConsoleW fails on anything that is no console, which then gets the bytes.
    const HANDLE console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    const int length =
        size == 0 ? 0 : MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, &wide[0], size);
    DWORD written = 0;
    std::fflush(stream);
    if (length > 0 &&
        WriteConsoleW(console, wide.data(), static_cast<DWORD>(length), &written, nullptr)) {
        return true;
    }
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    return std::fflush(stream) == 0;
}

}  // namespace crclist
