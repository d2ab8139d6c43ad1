// crclist: the check-list tool for the people who ship and support a title. Every list is read
// with the program's own reader (inf/), so what it says is what the program will do.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "sumwarden_version.h"
#include "tools/crclist/commands/command_table.h"
#include "tools/crclist/text/arguments.h"
#include "tools/crclist/text/console.h"

namespace {

// Help and version go to stdout with exit code 0; a wrong command line is told on stderr,
// with the way to the help, and gives the usage exit code.
int ReportParseError(const CLI::App& app, const CLI::ParseError& error) {
    const int code = app.exit(error, std::cout, std::cerr);
    return code == static_cast<int>(CLI::ExitCodes::Success) ? crclist::kExitOk
                                                             : crclist::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) try {
    crclist::PrepareStandardOutput();
    CLI::App app(
        "Shows, checks, writes and updates check lists (crclist.INF) and verifies "
        "discs and installations against them.",
        "crclist");
    app.set_version_flag("--version", std::string("crclist ") + SUMWARDEN_VERSION_TEXT);
    app.require_subcommand(1);

    const std::vector<crclist::Subcommand> subcommands = crclist::AddSubcommands(app);
    try {
        std::vector<std::string> arguments = crclist::CommandLineArguments(argc, argv);
        std::vector<char*> pointers;
        pointers.reserve(arguments.size());
        for (std::string& argument : arguments) {
            pointers.push_back(&argument[0]);
        }
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::ParseError& error) {
        return ReportParseError(app, error);
    }
    return crclist::RunParsed(subcommands);
} catch (const std::exception& error) {
    // Whatever a subcommand could not foresee (memory, a file system error) is told, not a
    // crash; the exit code is that of a run that could not be done.
    crclist::WriteText(stderr, std::string("crclist: ") + error.what() + "\n");
    return crclist::kExitUsage;
}
