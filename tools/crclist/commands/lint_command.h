// crclist lint [--strict] FILE: what the program will make of FILE, one finding a line.
#pragma once

#include "tools/crclist/commands/subcommand.h"

namespace crclist {

Subcommand AddLintCommand(CLI::App& app);

}  // namespace crclist
