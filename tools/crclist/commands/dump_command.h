// crclist dump FILE: what the program reads from FILE, as one JSON object in UTF-8.
#pragma once

#include "tools/crclist/commands/subcommand.h"

namespace crclist {

Subcommand AddDumpCommand(CLI::App& app);

}  // namespace crclist
