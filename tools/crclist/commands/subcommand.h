// How the subcommands of crclist meet its command line: each one adds itself to the parser
// and leaves behind what runs once the line has been parsed.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/crclist/authoring/put_list.h"
#include "tools/crclist/text/console.h"

namespace crclist {

// Exit codes that every subcommand shares.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // what the command was to do could not be done
constexpr int kExitUsage = 2;   // wrong arguments, or a file that cannot be read

// Tells `text` on stderr in the name of `command`: "crclist COMMAND: TEXT". Every error and
// problem of a command is told this way.
inline void Tell(const std::string& command, const std::string& text) {
    WriteText(stderr, "crclist " + command + ": " + text + "\n");
}

// Tells a wrong command line, or a file that cannot be read; gives the exit code for it.
inline int UsageError(const std::string& command, const std::string& reason) {
    Tell(command, reason);
    return kExitUsage;
}

// Tells every problem that keeps a command from writing its list, then that nothing is
// written; gives the exit code for it.
inline int NothingWritten(const std::string& command, const std::vector<std::string>& problems) {
    for (const std::string& problem : problems) {
        Tell(command, problem);
    }
    Tell(command, "nothing is written");
    return kExitFailed;
}

// Tells lint's findings on a list that a command wrote, and why it was not put in place when
// it was not; gives the exit code for it.
inline int ToldPut(const std::string& command, const PutOutcome& outcome) {
    std::string findings;
    for (const std::string& finding : outcome.findings) {
        findings += finding + "\n";
    }
    WriteText(stderr, findings);
    if (!outcome.put) {
        Tell(command, outcome.problem);
        return kExitFailed;
    }
    return kExitOk;
}

// Where a list that the command writes goes: `out`, "-" for standard output. The exit code
// when it cannot go there, or when it would replace a file without `force`; else kExitOk.
inline int TakeListOutput(const std::string& command, const std::string& out, bool force,
                          ListOutput* output) {
    std::string problem;
    if (!FindListOutput(out, output, &problem)) {
        return UsageError(command, problem);
    }
    if (output->Replaces() && !force) {
        Tell(command, output->shown + " exists; give --force to replace it");
        return kExitFailed;
    }
    return kExitOk;
}

struct Subcommand {
    CLI::App* parser = nullptr;
    // Runs the subcommand with the options parsed into it; gives the exit code.
    std::function<int()> run;
};

}  // namespace crclist
