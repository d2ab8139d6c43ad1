// Runs crclist's subcommands in the test's own process, with the command line that main
// builds, and gives the exit code.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/crclist/commands/command_table.h"

inline int RunCrclist(std::vector<std::string> args) {
    CLI::App app("crclist", "crclist");
    app.require_subcommand(1);
    const std::vector<crclist::Subcommand> subcommands = crclist::AddSubcommands(app);
    std::vector<char*> argv = {const_cast<char*>("crclist")};
    for (std::string& arg : args) {
        argv.push_back(&arg[0]);
    }
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& error) {
        return crclist::kExitUsage;
    }
    return crclist::RunParsed(subcommands);
}
