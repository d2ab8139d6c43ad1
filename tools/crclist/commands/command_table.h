// crclist's subcommands on one parser, and the run of the one that a parsed command line
// chose: the tool's entry point and the tests that run the commands in their own process
// build the same line.
#pragma once

#include <vector>

#include <CLI/CLI.hpp>

#include "tools/crclist/commands/dump_command.h"
#include "tools/crclist/commands/lint_command.h"
#include "tools/crclist/commands/make_command.h"
#include "tools/crclist/commands/subcommand.h"
#include "tools/crclist/commands/update_command.h"
#include "tools/crclist/commands/verify_command.h"

namespace crclist {

// Adds every subcommand to `app`, in the order of the help.
inline std::vector<Subcommand> AddSubcommands(CLI::App& app) {
    return {AddDumpCommand(app), AddLintCommand(app), AddMakeCommand(app), AddUpdateCommand(app),
            AddVerifyCommand(app)};
}

// Runs the subcommand that `app` parsed into; the usage exit code when none was.
inline int RunParsed(const std::vector<Subcommand>& subcommands) {
    for (const Subcommand& subcommand : subcommands) {
        if (subcommand.parser->parsed()) {
            return subcommand.run();
        }
    }
    return kExitUsage;
}

}  // namespace crclist
