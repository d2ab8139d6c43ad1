// crclist: the check-list tool for the people who ship and support a title. Every list is read
// with the program's own reader (inf/), so what it says is what the program will do.
#include <cctype>
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
#include "tools/crclist/text/shown_text.h"

namespace {

// CLI11's text with a small first letter, as it follows a colon; "FILE is required" stays.
std::string Continued(std::string text) {
    if (text.size() > 1 && std::isupper(static_cast<unsigned char>(text[0])) != 0 &&
        std::islower(static_cast<unsigned char>(text[1])) != 0) {
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    }
    return text;
}

// What is wrong with a command line that names no command, and what to do.
std::string NoCommand(const std::vector<crclist::Subcommand>& subcommands,
                      const std::vector<std::string>& arguments) {
    std::string names = subcommands.front().parser->get_name();
    for (std::size_t i = 1; i < subcommands.size(); ++i) {
        names += (i + 1 == subcommands.size() ? " or " : ", ") + subcommands[i].parser->get_name();
    }
    const std::string help = " (crclist --help says what each does)";
    if (arguments.size() > 1) {
        // Only --help and --version may come before the command.
        const bool option = !arguments[1].empty() && arguments[1][0] == '-';
        return crclist::ShownSystemText(arguments[1]) +
               (option ? " is not an option of crclist itself: give a command first, " + names +
                             ", then its options"
                       : " is not a command of crclist: give " + names) +
               help;
    }
    return "give a command: " + names + help;
}

// Help and version go to stdout with exit code 0. A wrong command line is told on stderr as
// every other error is, "crclist COMMAND: TEXT", with the way to the help, and gives the
// usage exit code.
int ReportParseError(const CLI::App& app, const std::vector<crclist::Subcommand>& subcommands,
                     const std::vector<std::string>& arguments, const CLI::ParseError& error) {
    if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
        app.exit(error, std::cout, std::cerr);
        return crclist::kExitOk;
    }
    for (const crclist::Subcommand& subcommand : subcommands) {
        if (subcommand.parser->parsed()) {
            const std::string& name = subcommand.parser->get_name();
            return crclist::UsageError(name, Continued(error.what()) + " (crclist " + name +
                                                 " --help lists what it takes)");
        }
    }
    crclist::WriteText(stderr, "crclist: " + NoCommand(subcommands, arguments) + "\n");
    return crclist::kExitUsage;
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
    app.footer(
        "Exit codes: 0 done; 1 failed (lint: errors found; make, update: nothing written); 2 a "
        "wrong command line, or a list, --disc or output that cannot be used; 3 verify: every "
        "file verified, but the list had faults; 130, 143 verify stopped by Ctrl-C or SIGTERM. "
        "Each command's --help tells its own.");

    const std::vector<crclist::Subcommand> subcommands = crclist::AddSubcommands(app);
    std::vector<std::string> arguments = crclist::CommandLineArguments(argc, argv);
    try {
        std::vector<char*> pointers;
        pointers.reserve(arguments.size());
        for (std::string& argument : arguments) {
            pointers.push_back(&argument[0]);
        }
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::ParseError& error) {
        return ReportParseError(app, subcommands, arguments, error);
    }
    return crclist::RunParsed(subcommands);
} catch (const std::exception& error) {
    // Whatever a subcommand could not foresee (memory, a file system error) is told, not a
    // crash; the exit code is that of a run that could not be done.
    crclist::WriteText(stderr, std::string("crclist: ") + error.what() + "\n");
    return crclist::kExitUsage;
}
