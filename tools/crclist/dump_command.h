// crclist dump FILE: what the program reads from FILE, as one JSON object in UTF-8.
#pragma once

#include "tools/crclist/subcommand.h"

namespace crclist {

Subcommand AddDumpCommand(CLI::App& app);

}  // namespace crclist
