#include <sys/ioctl.h>
#include <unistd.h>

#include "tools/crclist/text/console.h"

namespace crclist {

void PrepareStandardOutput() {}

bool IsTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) != 0;
}

std::size_t TerminalColumns(std::FILE* stream) {
    winsize size{};
    return ::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

bool WriteText(std::FILE* stream, const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    return std::fflush(stream) == 0;
}

}  // namespace crclist
