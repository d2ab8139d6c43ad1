// How the subcommands of crclist meet its command line: each one adds itself to the parser
// and leaves behind what runs once the line has been parsed.
#pragma once

#include <functional>

#include <CLI/CLI.hpp>

namespace crclist {

// Exit codes that every subcommand shares.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;  // wrong arguments, or a file that cannot be read

struct Subcommand {
    CLI::App* parser = nullptr;
    // Runs the subcommand with the options parsed into it; gives the exit code.
    std::function<int()> run;
};

}  // namespace crclist
