// crclist make -o OUT [options]: a new check list from the files themselves.
#pragma once

#include "tools/crclist/commands/subcommand.h"

namespace crclist {

Subcommand AddMakeCommand(CLI::App& app);

}  // namespace crclist
