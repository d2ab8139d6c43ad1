// crclist verify [--disc DIR]... [--installed] [--json] [--quiet] [--verbose] FILE: every
// listed file of the discs and of the installation, with a verdict for each, in one run.
#pragma once

#include "tools/crclist/commands/subcommand.h"

namespace crclist {

// Exit codes of verify beyond the shared ones; a stop gives 128 + the signal's number.
constexpr int kExitFilesFailed = 1;
constexpr int kExitListNotClean = 3;  // the list did not load cleanly; every file verified

Subcommand AddVerifyCommand(CLI::App& app);

}  // namespace crclist
